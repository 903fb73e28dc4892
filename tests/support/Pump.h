#pragma once

#include <windows.h>

#include <functional>

#include "KeyRecorder.h"

// Serves this thread's messages (a window the worker reads from belongs to it) for a while, or until
// a condition holds; returns whether it did within the time given.
inline bool PumpUntil(const std::function<bool()>& done, double timeoutMs) {
    const double end = CKeyRecorder::NowMs() + timeoutMs;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done && done())
            return true;
        const double left = end - CKeyRecorder::NowMs();
        if (left <= 0)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 5 ? static_cast<DWORD>(left) + 1 : 5, QS_ALLINPUT);
    }
}

inline void PumpFor(double ms) {
    PumpUntil(nullptr, ms);
}
