#pragma once

#include <cstdint>

#include "KeyValue.h"

// The user's five settings. The constructor gives the defaults used when there is no settings file.
class CSetting {
public:
    CSetting();

    KeyValue m_dwNext;         // hotkey that switches between key one and key two
    KeyValue m_dwStop;         // hotkey that starts and stops repeating
    KeyValue m_dwKey1;         // key one
    KeyValue m_dwKey2;         // key two
    std::int32_t m_nInterval;  // pause after each press, in milliseconds

    bool operator==(const CSetting& other) const {
        return m_dwNext == other.m_dwNext && m_dwStop == other.m_dwStop && m_dwKey1 == other.m_dwKey1 &&
               m_dwKey2 == other.m_dwKey2 && m_nInterval == other.m_nInterval;
    }
    bool operator!=(const CSetting& other) const { return !(*this == other); }
};

constexpr KeyValue kDefaultNext = 0x2C0;  // Ctrl + VK_OEM_3
constexpr KeyValue kDefaultStop = 0x27B;  // Ctrl + F12
constexpr KeyValue kDefaultKey1 = 0x253;  // Ctrl + S (S alone is pressed)
constexpr KeyValue kDefaultKey2 = 0x76;   // F7
constexpr std::int32_t kDefaultInterval = 5000;
