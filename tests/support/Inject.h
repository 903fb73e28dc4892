#pragma once

#include <windows.h>

// Types a key combination given as a key value (modifier flags in bits 8-15) into the system input
// stream, the way a user's keyboard would: modifiers down, key down and up, modifiers up.
inline void InjectCombo(unsigned value) {
    const unsigned flags = (value >> 8) & 0xFF;
    const BYTE vk = static_cast<BYTE>(value & 0xFF);
    const BYTE modifiers[] = {(flags & 0x02) ? BYTE(VK_CONTROL) : BYTE(0), (flags & 0x04) ? BYTE(VK_MENU) : BYTE(0),
                              (flags & 0x01) ? BYTE(VK_SHIFT) : BYTE(0)};
    for (BYTE m : modifiers) {
        if (m != 0)
            ::keybd_event(m, static_cast<BYTE>(::MapVirtualKeyW(m, 0)), 0, 0);
    }
    ::keybd_event(vk, static_cast<BYTE>(::MapVirtualKeyW(vk, 0)), 0, 0);
    ::keybd_event(vk, static_cast<BYTE>(::MapVirtualKeyW(vk, 0)), KEYEVENTF_KEYUP, 0);
    for (BYTE m : modifiers) {
        if (m != 0)
            ::keybd_event(m, static_cast<BYTE>(::MapVirtualKeyW(m, 0)), KEYEVENTF_KEYUP, 0);
    }
}
