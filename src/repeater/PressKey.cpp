#include "PressKey.h"

bool PressKey(BYTE vk, CPause& pause, const std::function<void()>& whileHeld) {
    if (vk == 0)
        return false;
    const LONGLONG down = CPause::Now();
    ::keybd_event(vk, static_cast<BYTE>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), 0, 0);
    if (whileHeld)
        whileHeld();
    pause.WaitUntil(down + CPause::Ticks(kHoldMs));
    ::keybd_event(vk, static_cast<BYTE>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
    return true;
}
