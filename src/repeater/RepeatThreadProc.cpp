#include "RepeatThreadProc.h"

#include "common/Decimal.h"
#include "dialog/TapwrenDlg.h"
#include "PressKey.h"

LONGLONG CycleMilliseconds(bool pressed, std::int32_t interval) {
    // A negative number in the edit (pasted, or from the settings file) means no pause at all.
    const LONGLONG milliseconds = (pressed ? kHoldMs : 0) + (interval > 0 ? interval : 0);
    // With no key to press and no pause the loop would spin, and every turn asks the user-interface
    // thread for the edit's text: give each such cycle a millisecond.
    return milliseconds > 0 ? milliseconds : 1;
}

DWORD WINAPI RepeatThreadProc(LPVOID param) {
    CTapwrenDlg* dialog = static_cast<CTapwrenDlg*>(param);
    CPause& pause = dialog->m_pause;
    // When the coming cycle is due. Cycles follow a fixed schedule so that the time spent reading
    // the edit and sending input does not add up over many presses; once the worker is a whole
    // cycle behind (or was idle), the schedule starts again from now instead of pressing in a burst.
    LONGLONG due = 0;
    LONGLONG period = 0;
    while (dialog->m_bAlive) {
        if (!dialog->m_bRunning) {
            pause.WaitForWake();
            due = 0;
            continue;
        }
        const LONGLONG now = CPause::Now();
        const LONGLONG start = (due != 0 && now - due <= period) ? due : now;
        if (pause.IsCancelled())
            break;
        // The interval is read as the key goes down: reading it goes through the user-interface thread,
        // and done inside the hold it neither delays the press nor lengthens the cycle.
        std::wstring text;
        const auto readInterval = [&] { text = dialog->m_pIntervalEdit->GetWindowText(); };
        const bool pressed = PressKey(VirtualKeyOf(dialog->m_dwCurKey), pause, readInterval);
        if (!pressed)
            readInterval();
        period = CPause::Ticks(CycleMilliseconds(pressed, ParseDecimal(text.c_str())));
        due = start + period;
        pause.WaitUntil(due);
    }
    return 0;
}
