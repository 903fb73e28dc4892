#pragma once

#include <cstdint>

// A key value holds one key combination exactly as a hotkey control reports it: bits 0-7 are the
// virtual-key code, bits 8-15 the control's modifier flags. Bits above 15 never come from a control
// but are kept as they are, so key values are always compared whole.
using KeyValue = std::uint32_t;

// The hotkey control's modifier flags (HOTKEYF_* in <commctrl.h>) and RegisterHotKey's (MOD_* in
// <winuser.h>), named here so that this header stays free of the Windows headers.
constexpr std::uint32_t kHotKeyShift = 0x01;
constexpr std::uint32_t kHotKeyControl = 0x02;
constexpr std::uint32_t kHotKeyAlt = 0x04;
constexpr std::uint32_t kHotKeyExt = 0x08;
constexpr std::uint32_t kModAlt = 0x0001;
constexpr std::uint32_t kModControl = 0x0002;
constexpr std::uint32_t kModShift = 0x0004;

constexpr std::uint8_t VirtualKeyOf(KeyValue value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

constexpr std::uint8_t ModifierFlagsOf(KeyValue value) {
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Whether the control marked the key as one of the extended set (the arrows, Insert and the like),
// which must be pressed as extended to be told from the keypad key with the same scan code.
constexpr bool IsExtendedKey(KeyValue value) {
    return (ModifierFlagsOf(value) & kHotKeyExt) != 0;
}

// The word sent with HKM_SETHOTKEY: a control holds 16 bits, so higher bits are dropped.
constexpr std::uint16_t HotKeyWord(KeyValue value) {
    return static_cast<std::uint16_t>(VirtualKeyOf(value) | (ModifierFlagsOf(value) << 8));
}

// The RegisterHotKey modifiers of a key value: Alt, Shift and Ctrl. The extended-key flag and every
// other bit are ignored, and neither the Windows key nor "no repeat" is ever asked for.
constexpr std::uint32_t RegistrationModifiersOf(KeyValue value) {
    const KeyValue flags = value >> 8;
    std::uint32_t modifiers = 0;
    if (flags & kHotKeyAlt)
        modifiers |= kModAlt;
    if (flags & kHotKeyShift)
        modifiers |= kModShift;
    if (flags & kHotKeyControl)
        modifiers |= kModControl;
    return modifiers;
}

// The key the switch hotkey makes current, comparing whole values: key two when key one is current,
// otherwise key one (also when the current key is neither, because key one was edited since).
constexpr KeyValue SwitchedKey(KeyValue current, KeyValue key1, KeyValue key2) {
    return current == key1 ? key2 : key1;
}
