#pragma once

#include <string>

#include "common/Setting.h"
#include "dialog/TapwrenDlg.h"
#include "res/resource.h"
#include "Settings.h"

// What the tests know of the program, from the program's own headers: control ids, hotkey ids, the
// tray callback, the default hotkeys, and settings files written as the program writes them.

// The version shown in the title (project()'s, without its fourth number) and the title itself.
inline const std::wstring kShownVersion = TAPWREN_SHOWN_VERSION;
inline const std::wstring kTitle = L"Tapwren Ver" + kShownVersion + L" Design by Tovrik Vennar.";

constexpr unsigned kCtrlF12 = kDefaultStop;

// Hotkeys without modifiers, for the tests that inject their hotkeys as keys. Wine matches an injected
// combination against the modifier state it keeps, and under load it lost about one Ctrl + F12 in ten
// thousand although every key reached the input stream; a plain key it never lost (60,000 in a row).
constexpr unsigned kPlainNext = 0x79;  // F10
constexpr unsigned kPlainStop = 0x7B;  // F12

// The bytes of a settings file as the program's first save writes it.
inline std::string ConfigText(const CSetting& s) {
    return "[setting]\r\nnext=" + std::to_string(static_cast<std::int32_t>(s.m_dwNext)) +
           "\r\nstop=" + std::to_string(static_cast<std::int32_t>(s.m_dwStop)) +
           "\r\nkey1=" + std::to_string(static_cast<std::int32_t>(s.m_dwKey1)) +
           "\r\nkey2=" + std::to_string(static_cast<std::int32_t>(s.m_dwKey2)) +
           "\r\ninterval=" + std::to_string(s.m_nInterval) + "\r\n";
}

// The defaults but for the two keys and the interval.
inline std::string ConfigWith(KeyValue key1, KeyValue key2, std::int32_t interval) {
    return ConfigText(SettingOf(kDefaultNext, kDefaultStop, key1, key2, interval));
}

// The same with the plain hotkeys.
inline std::string ConfigWithPlainHotKeys(KeyValue key1, KeyValue key2, std::int32_t interval) {
    return ConfigText(SettingOf(kPlainNext, kPlainStop, key1, key2, interval));
}

inline const std::string kDefaultsFile = ConfigText(CSetting());
