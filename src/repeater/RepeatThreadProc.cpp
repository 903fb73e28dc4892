#include "RepeatThreadProc.h"

#include "PressKey.h"
#include "common/Cycle.h"
#include "common/Decimal.h"

DWORD RunRepeater(IRepeaterState& state, IKeyOutput& output) {
    IPause& pause = state.Pause();
    // When the coming cycle is due. Cycles follow a fixed schedule so that the time spent reading
    // the edit and sending input does not add up over many presses; once the worker is a whole
    // cycle behind (or was idle), the schedule starts again from now instead of pressing in a burst.
    LONGLONG due = 0;
    LONGLONG period = 0;
    while (state.IsAlive()) {
        if (!state.IsRunning()) {
            if (!pause.WaitForWake())
                break;
            due = 0;
            continue;
        }
        const LONGLONG now = pause.Now();
        const bool onSchedule = due != 0 && now - due <= period;
        LONGLONG start = onSchedule ? due : now;
        if (pause.IsCancelled())
            break;
        // The interval is read as the key goes down: reading it goes through the user-interface thread,
        // and done inside the hold it neither delays the press nor lengthens the cycle. A schedule
        // starting afresh starts when the key went down, so a slow first key down does not shorten
        // the first cycle.
        std::wstring text;
        const auto whileHeld = [&](LONGLONG down) {
            if (!onSchedule)
                start = down;
            text = state.ReadInterval();
        };
        const bool pressed = PressKey(VirtualKeyOf(state.CurrentKey()), output, pause, whileHeld);
        if (!pressed)
            text = state.ReadInterval();
        period = pause.Ticks(CycleMilliseconds(pressed, ParseDecimal(text.c_str())));
        due = start + period;
        pause.WaitUntil(due);
    }
    return 0;
}

DWORD WINAPI RepeatThreadProc(LPVOID param) {
    CSystemKeyOutput output;
    return RunRepeater(*static_cast<IRepeaterState*>(param), output);
}
