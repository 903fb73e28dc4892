#include "PressKey.h"

#include "common/Cycle.h"

bool PressKey(BYTE vk,
              bool extended,
              IKeyOutput& output,
              IPause& pause,
              const std::function<void(LONGLONG down)>& whileHeld) {
    if (vk == 0)
        return false;
    const LONGLONG before = pause.Now();
    output.KeyDown(vk, extended);
    const LONGLONG after = pause.Now();
    // A key down is sent within a fraction of a millisecond, and the key is down from the start of
    // the call. A slow one went down only as it ended, and the hold starts from there instead of
    // losing that time: the worker's first call into the window system takes 10-30 ms under Wine.
    // Making that call ahead, at the worker's start, brought the first hold only a few tenths of a
    // millisecond closer to 100 ms, and a close in the few hundred milliseconds after start-up took a
    // fifth longer or more (bench/run.sh with and without it).
    const LONGLONG down = after - before > pause.Ticks(1) ? after : before;
    if (whileHeld)
        whileHeld(down);
    pause.WaitUntil(down + pause.Ticks(kHoldMs));
    output.KeyUp(vk, extended);
    return true;
}

bool PressKey(BYTE vk, bool extended) {
    CPause pause;
    CSystemKeyOutput output;
    return PressKey(vk, extended, output, pause);
}
