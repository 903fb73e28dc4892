#include "Pause.h"

#include <algorithm>

#include "common/Ticks.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

LONGLONG Frequency() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

}  // namespace

CPause::CPause(bool allowHighResolution)
    : m_hCancel(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_hWake(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_hTimer(allowHighResolution
                   ? ::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS)
                   : nullptr) {}

CPause::~CPause() {
    if (m_hTimer != nullptr)
        ::CloseHandle(m_hTimer);
    ::CloseHandle(m_hWake);
    ::CloseHandle(m_hCancel);
}

LONGLONG CPause::Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LONGLONG CPause::Ticks(LONGLONG milliseconds) {
    return TicksFromMilliseconds(milliseconds, Frequency());
}

bool CPause::WaitUntil(LONGLONG deadline) {
    for (;;) {
        if (IsCancelled())
            return false;
        const LONGLONG remaining = deadline - m_llLate - Now();
        if (remaining <= 0)
            return true;
        DWORD waited;
        if (m_hTimer != nullptr) {
            LARGE_INTEGER due;
            // Relative due times are negative, in 100 ns units. A due time that overflowed to a
            // positive number would be a date long past, and the timer would fire at once, over and
            // over, for the whole of a long pause.
            due.QuadPart = -HundredNanosecondsFromTicks(remaining, Frequency());
            ::SetWaitableTimer(m_hTimer, &due, 0, nullptr, nullptr, FALSE);
            const HANDLE handles[] = {m_hCancel, m_hTimer};
            waited = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        } else {
            const LONGLONG ms = MillisecondsFromTicks(remaining, Frequency());
            waited = ::WaitForSingleObject(m_hCancel, ms > 0x7FFFFFFE ? 0x7FFFFFFE : static_cast<DWORD>(ms));
        }
        if (waited == WAIT_OBJECT_0)
            return false;
        if (waited == WAIT_FAILED) {
            ::Sleep(1);  // never spin if a handle is unusable
            continue;
        }
        // Learn slowly, and only from small lateness: a long delay (a busy machine) is not the timer's.
        const LONGLONG limit = Frequency() / 500;  // 2 ms
        const LONGLONG late = std::clamp(Now() - deadline, -limit, limit);
        m_llLate = std::clamp(m_llLate + late / 8, LONGLONG{0}, limit);
    }
}

bool CPause::WaitForWake() {
    const HANDLE handles[] = {m_hCancel, m_hWake};
    return ::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0;
}

void CPause::Wake() {
    ::SetEvent(m_hWake);
}

void CPause::Cancel() {
    ::SetEvent(m_hCancel);
}

bool CPause::IsCancelled() const {
    return ::WaitForSingleObject(m_hCancel, 0) == WAIT_OBJECT_0;
}
