#pragma once

#include <cstdint>
#include <cwctype>
#include <string>

// A deliberately plain reading of the same rules, kept apart from the product code: every digit run
// listed with its value table, a 64-bit accumulator clamped as soon as it passes the 32-bit range.
inline const unsigned kReferenceRunStarts[] = {'0',    0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66,
                                               0x0CE6, 0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};

inline int ReferenceDigit(wchar_t c) {
    for (unsigned start : kReferenceRunStarts) {
        for (unsigned d = 0; d < 10; ++d) {
            if (static_cast<unsigned>(c) == start + d)
                return static_cast<int>(d);
        }
    }
    return -1;
}

// Beyond the six ASCII spaces, white space is whatever the platform's classification says (Windows'
// also counts the no-break space, for one).
inline bool ReferenceSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' ||
           std::iswspace(static_cast<std::wint_t>(c));
}

inline std::int32_t ReferenceParse(const std::wstring& s) {
    size_t i = 0;
    while (i < s.size() && ReferenceSpace(s[i]))
        ++i;
    long long sign = 1;
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) {
        sign = s[i] == L'-' ? -1 : 1;
        ++i;
    }
    long long value = 0;
    for (; i < s.size() && ReferenceDigit(s[i]) >= 0; ++i) {
        value = value * 10 + ReferenceDigit(s[i]);
        if (value > 2147483648LL)
            value = 2147483648LL;
    }
    value *= sign;
    if (value > 2147483647LL)
        return 2147483647;
    if (value < -2147483648LL)
        return -2147483647 - 1;
    return static_cast<std::int32_t>(value);
}
