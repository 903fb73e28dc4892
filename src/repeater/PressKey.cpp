#include "PressKey.h"

#include "common/Cycle.h"

bool PressKey(BYTE vk, IKeyOutput& output, IPause& pause, const std::function<void(LONGLONG down)>& whileHeld) {
    if (vk == 0)
        return false;
    const LONGLONG before = pause.Now();
    output.KeyDown(vk);
    const LONGLONG after = pause.Now();
    // A key down is sent within a fraction of a millisecond, and the key is down from the start of
    // the call. The first input call on a new thread is the exception (10-15 ms under Wine, looking up
    // the scan code): then the key went down only as the call ended, and the hold starts from there
    // instead of losing that time.
    const LONGLONG down = after - before > pause.Ticks(1) ? after : before;
    if (whileHeld)
        whileHeld(down);
    pause.WaitUntil(down + pause.Ticks(kHoldMs));
    output.KeyUp(vk);
    return true;
}

bool PressKey(BYTE vk) {
    CPause pause;
    CSystemKeyOutput output;
    return PressKey(vk, output, pause);
}
