#pragma once

#include <windows.h>

#include <cwchar>
#include <functional>

#include "KeyRecorder.h"

// How many times longer than the time given the tests wait for what should arrive. Each such wait is
// generous, and returns as soon as the thing has arrived; in the emulated x86 machine, where everything
// runs several times slower, TAPWREN_TEST_PATIENCE lengthens them. What never arrives still fails.
inline double Patience() {
    static const double patience = [] {
        wchar_t value[16] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"TAPWREN_TEST_PATIENCE", value, 16);
        const double given = length > 0 && length < 16 ? std::wcstod(value, nullptr) : 1;
        return given > 1 ? given : 1;
    }();
    return patience;
}

// Serves this thread's messages (a window the worker reads from belongs to it) for a while, or until
// a condition holds; returns whether it did within the time given (times the patience).
inline bool PumpUntil(const std::function<bool()>& done, double timeoutMs) {
    const double end = CKeyRecorder::NowMs() + (done ? timeoutMs * Patience() : timeoutMs);
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

// Serves messages through a window in which something must not happen (a press after a stop, a
// hotkey that no longer works). It grows with the patience: where everything is slower, a late
// arrival would otherwise land after the window and the fault pass unseen.
inline void WatchFor(double ms) {
    PumpFor(ms * Patience());
}
