#pragma once

#include <cstdint>

// A key value holds one key combination exactly as a hotkey control reports it: bits 0-7 are the
// virtual-key code, bits 8-15 the control's modifier flags. Bits above 15 never come from a control
// but are kept as they are, so key values are always compared whole.
using KeyValue = std::uint32_t;

// The hotkey control's modifier flags (HOTKEYF_* in <commctrl.h>), named here so that this header
// stays free of the Windows headers.
constexpr std::uint32_t kHotKeyShift = 0x01;
constexpr std::uint32_t kHotKeyControl = 0x02;
constexpr std::uint32_t kHotKeyAlt = 0x04;
constexpr std::uint32_t kHotKeyExt = 0x08;

constexpr std::uint8_t VirtualKeyOf(KeyValue value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

constexpr std::uint8_t ModifierFlagsOf(KeyValue value) {
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// The word sent with HKM_SETHOTKEY: a control holds 16 bits, so higher bits are dropped.
constexpr std::uint16_t HotKeyWord(KeyValue value) {
    return static_cast<std::uint16_t>(VirtualKeyOf(value) | (ModifierFlagsOf(value) << 8));
}
