#include "RepeatThreadProc.h"

#include "PressKey.h"
#include "common/Cycle.h"
#include "common/Decimal.h"

namespace {

// Waits while the user holds a modifier, so that the press does not join it in a chord. Returns
// false, at once, when repeating stops or the worker is ending meanwhile: that press is not made.
// `waited` tells whether the press was held back at all.
bool WaitForModifiersUp(IRepeaterState& state, IKeyState& keys, bool& waited) {
    IPause& pause = state.Pause();
    waited = false;
    const LONGLONG since = pause.Now();
    while (keys.IsModifierDown()) {
        waited = true;
        const LONGLONG now = pause.Now();
        const bool quick = now - since < pause.Ticks(kModifierQuickPollingMs);
        if (!pause.WaitUntil(now + pause.Ticks(quick ? kModifierPollMs : kModifierSlowPollMs)))
            return false;
        if (!state.IsRunning() || !state.IsAlive())
            return false;
    }
    return true;
}

}  // namespace

DWORD RunRepeater(IRepeaterState& state, IKeyOutput& output, IKeyState& keys) {
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
        bool waited = false;
        if (VirtualKeyOf(state.CurrentKey()) != 0 && !WaitForModifiersUp(state, keys, waited))
            continue;
        if (pause.IsCancelled())
            break;
        const LONGLONG now = pause.Now();
        // A press that waited for the user's modifiers starts the schedule afresh, from its key down.
        const bool onSchedule = !waited && due != 0 && now - due <= period;
        LONGLONG start = onSchedule ? due : now;
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
        // Read after the wait, so that a switch made with the modifiers still down applies to this press.
        const KeyValue key = state.CurrentKey();
        const bool pressed = PressKey(VirtualKeyOf(key), IsExtendedKey(key), output, pause, whileHeld);
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
    CSystemKeyState keys;
    return RunRepeater(*static_cast<IRepeaterState*>(param), output, keys);
}
