#pragma once

#include <windows.h>

// Where the worker's key presses go. The program sends them into the system input stream; a test
// can record them instead.
class IKeyOutput {
public:
    virtual ~IKeyOutput() = default;
    virtual void KeyDown(BYTE vk) = 0;
    virtual void KeyUp(BYTE vk) = 0;
};

// Synthesised keyboard input, as if typed: the virtual key with its scan code looked up afresh for
// each event, never flagged as an extended key.
class CSystemKeyOutput : public IKeyOutput {
public:
    void KeyDown(BYTE vk) override;
    void KeyUp(BYTE vk) override;
};
