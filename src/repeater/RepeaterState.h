#pragma once

#include <string>

#include "Pause.h"
#include "common/KeyValue.h"

// What the worker reads of the repeater state, and how it waits. The main dialog provides it; the
// user-interface thread writes the key and the flags, the worker only reads them.
class IRepeaterState {
public:
    virtual KeyValue CurrentKey() const = 0;
    virtual bool IsRunning() const = 0;
    virtual bool IsAlive() const = 0;
    virtual IPause& Pause() = 0;
    // The interval edit's whole text, as it is now.
    virtual std::wstring ReadInterval() = 0;

protected:
    ~IRepeaterState() = default;
};
