#include "Cycle.h"

std::int64_t CycleMilliseconds(bool pressed, std::int32_t interval) {
    // A negative number in the edit (pasted, or from the settings file) means no pause at all.
    const std::int64_t milliseconds = (pressed ? kHoldMs : 0) + (interval > 0 ? interval : 0);
    // With no key to press and no pause the loop would spin, and every turn asks the user-interface
    // thread for the edit's text: give each such cycle a millisecond.
    return milliseconds > 0 ? milliseconds : 1;
}
