#include "KeyOutput.h"

namespace {

BYTE ScanCodeOf(BYTE vk) {
    return static_cast<BYTE>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
}

}  // namespace

void CSystemKeyOutput::KeyDown(BYTE vk) {
    ::keybd_event(vk, ScanCodeOf(vk), 0, 0);
}

void CSystemKeyOutput::KeyUp(BYTE vk) {
    ::keybd_event(vk, ScanCodeOf(vk), KEYEVENTF_KEYUP, 0);
}
