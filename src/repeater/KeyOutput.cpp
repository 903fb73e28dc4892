#include "KeyOutput.h"

namespace {

BYTE ScanCodeOf(BYTE vk) {
    return static_cast<BYTE>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
}

DWORD ExtendedFlag(bool extended) {
    return extended ? KEYEVENTF_EXTENDEDKEY : 0;
}

}  // namespace

void CSystemKeyOutput::KeyDown(BYTE vk, bool extended) {
    ::keybd_event(vk, ScanCodeOf(vk), ExtendedFlag(extended), 0);
}

void CSystemKeyOutput::KeyUp(BYTE vk, bool extended) {
    ::keybd_event(vk, ScanCodeOf(vk), ExtendedFlag(extended) | KEYEVENTF_KEYUP, 0);
}
