#pragma once

#include <windows.h>

// The worker's waits: until a deadline on the performance counter, or while idle until woken.
// Every wait ends at once when the pause is cancelled, which only teardown does.
class CPause {
public:
    // Uses a high-resolution waitable timer where the system has one (Windows 10 1803 and later),
    // unless `allowHighResolution` is false; otherwise waits in whole milliseconds.
    explicit CPause(bool allowHighResolution = true);
    ~CPause();
    CPause(const CPause&) = delete;
    CPause& operator=(const CPause&) = delete;

    static LONGLONG Now();
    static LONGLONG Ticks(LONGLONG milliseconds);

    // Returns false when cancelled before the deadline; a deadline already past returns at once.
    bool WaitUntil(LONGLONG deadline);
    // Blocks until Wake or Cancel; returns false when cancelled.
    bool WaitForWake();

    void Wake();
    void Cancel();
    bool IsCancelled() const;
    bool HasHighResolutionTimer() const { return m_hTimer != nullptr; }

private:
    HANDLE m_hCancel;  // manual reset: stays set once teardown has begun
    HANDLE m_hWake;    // auto reset: one wake per change of the running flag
    HANDLE m_hTimer;   // null when only the millisecond wait is available
    // How late the timer's waits tend to end, learnt from the waits so far; each wait aims this much
    // early so that waits end on their deadline on average instead of always after it.
    LONGLONG m_llLate = 0;
};
