#pragma once

#include <windows.h>

// The worker's clock and its waits, in performance-counter ticks. The worker sees only this, so that
// its rules can be run against a clock of a test's own.
class IPause {
public:
    virtual ~IPause() = default;

    virtual LONGLONG Now() = 0;
    virtual LONGLONG Ticks(LONGLONG milliseconds) = 0;
    // Returns false when cancelled before the deadline; a deadline already past returns at once.
    virtual bool WaitUntil(LONGLONG deadline) = 0;
    // Blocks until woken or cancelled; returns false when cancelled.
    virtual bool WaitForWake() = 0;
    virtual bool IsCancelled() const = 0;
};

// The real waits: until a deadline on the performance counter, or while idle until woken. Every
// wait ends at once when the pause is cancelled, which only teardown does.
class CPause : public IPause {
public:
    // Uses a high-resolution waitable timer where the system has one (Windows 10 1803 and later),
    // unless `allowHighResolution` is false; otherwise waits in whole milliseconds.
    explicit CPause(bool allowHighResolution = true);
    ~CPause() override;
    CPause(const CPause&) = delete;
    CPause& operator=(const CPause&) = delete;

    LONGLONG Now() override;
    LONGLONG Ticks(LONGLONG milliseconds) override;
    bool WaitUntil(LONGLONG deadline) override;
    bool WaitForWake() override;
    bool IsCancelled() const override;

    // Called from the user-interface thread.
    void Wake();
    void Cancel();

    bool HasHighResolutionTimer() const { return m_hTimer != nullptr; }

private:
    HANDLE m_hCancel;  // manual reset: stays set once teardown has begun
    HANDLE m_hWake;    // auto reset: one wake per change of the running flag
    HANDLE m_hTimer;   // null when only the millisecond wait is available
    // How late the timer's waits tend to end, learnt from the waits so far; each wait aims this much
    // early so that waits end on their deadline on average instead of always after it.
    LONGLONG m_llLate = 0;
};
