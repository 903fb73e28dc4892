#include "PressKey.h"

#include "common/Cycle.h"

bool PressKey(BYTE vk, IKeyOutput& output, IPause& pause, const std::function<void()>& whileHeld) {
    if (vk == 0)
        return false;
    output.KeyDown(vk);
    // The hold starts once the key is down: the first input call on a new thread can take 10-15 ms,
    // which would otherwise come off the first press's hold.
    const LONGLONG down = pause.Now();
    if (whileHeld)
        whileHeld();
    pause.WaitUntil(down + pause.Ticks(kHoldMs));
    output.KeyUp(vk);
    return true;
}

bool PressKey(BYTE vk) {
    CPause pause;
    CSystemKeyOutput output;
    return PressKey(vk, output, pause);
}
