#include "PressKey.h"

#include "common/Cycle.h"

bool PressKey(BYTE vk, IKeyOutput& output, IPause& pause, const std::function<void()>& whileHeld) {
    if (vk == 0)
        return false;
    const LONGLONG down = pause.Now();
    output.KeyDown(vk);
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
