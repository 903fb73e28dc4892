#pragma once

#include <windows.h>

#include <vector>

#include "Pump.h"

// The modifier keys of a key value's flags (bits 8-15), in the order a hand presses them.
inline std::vector<BYTE> ModifiersOf(unsigned value) {
    const unsigned flags = (value >> 8) & 0xFF;
    std::vector<BYTE> modifiers;
    if (flags & 0x02)
        modifiers.push_back(VK_CONTROL);
    if (flags & 0x04)
        modifiers.push_back(VK_MENU);
    if (flags & 0x01)
        modifiers.push_back(VK_SHIFT);
    return modifiers;
}

inline void InjectKey(BYTE vk, bool up) {
    ::keybd_event(vk, static_cast<BYTE>(::MapVirtualKeyW(vk, 0)), up ? KEYEVENTF_KEYUP : 0, 0);
}

// Types a key combination given as a key value into the system input stream, the way a script would:
// modifiers down, key down and up, modifiers up, all at once.
inline void InjectCombo(unsigned value) {
    const std::vector<BYTE> modifiers = ModifiersOf(value);
    for (BYTE m : modifiers)
        InjectKey(m, false);
    InjectKey(static_cast<BYTE>(value & 0xFF), false);
    InjectKey(static_cast<BYTE>(value & 0xFF), true);
    for (BYTE m : modifiers)
        InjectKey(m, true);
}

// Types a key combination the way a person does: the modifiers go down, the key is struck, and the
// modifiers are let go only `holdMs` after they went down (a hand lifts Ctrl 100-300 ms after the key).
inline void TypeLikeAPerson(unsigned value, double holdMs) {
    const std::vector<BYTE> modifiers = ModifiersOf(value);
    const BYTE vk = static_cast<BYTE>(value & 0xFF);
    const double start = CKeyRecorder::NowMs();
    for (BYTE m : modifiers)
        InjectKey(m, false);
    PumpFor(30);
    InjectKey(vk, false);
    PumpFor(60);
    InjectKey(vk, true);
    PumpFor(holdMs - (CKeyRecorder::NowMs() - start));
    for (BYTE m : modifiers)
        InjectKey(m, true);
}

// Soon after the focus moves to another window, Wine takes the keyboard's state from the X server
// again, and X knows nothing of injected keys: a Ctrl injected just then reads as up 10-25 ms later,
// though it is still held. Tapping a key nothing uses lets that happen first.
inline void SettleKeyboardAfterFocusMoved() {
    InjectKey(VK_F24, false);
    InjectKey(VK_F24, true);
    PumpFor(200);
}
