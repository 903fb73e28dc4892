#pragma once

#include <cstdint>
#include <ostream>

#include "common/Setting.h"

// A settings record from its five values, in the order the file lists them.
inline CSetting SettingOf(KeyValue next, KeyValue stop, KeyValue key1, KeyValue key2, std::int32_t interval) {
    CSetting s;
    s.m_dwNext = next;
    s.m_dwStop = stop;
    s.m_dwKey1 = key1;
    s.m_dwKey2 = key2;
    s.m_nInterval = interval;
    return s;
}

// How a failing comparison shows a record.
inline void PrintTo(const CSetting& s, std::ostream* out) {
    *out << "{next " << s.m_dwNext << ", stop " << s.m_dwStop << ", key1 " << s.m_dwKey1 << ", key2 " << s.m_dwKey2
         << ", interval " << s.m_nInterval << "}";
}
