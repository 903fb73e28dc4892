#include <gtest/gtest.h>

#include <cstdint>
#include <cwctype>
#include <random>
#include <string>

#include "common/Decimal.h"

namespace {

// A deliberately plain reading of the same rules, kept apart from the product code: every digit run
// listed with its value table, a 64-bit accumulator clamped as soon as it passes the 32-bit range.
const unsigned kRunStarts[] = {'0',    0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66,
                               0x0CE6, 0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};

int ReferenceDigit(wchar_t c) {
    for (unsigned start : kRunStarts) {
        for (unsigned d = 0; d < 10; ++d) {
            if (static_cast<unsigned>(c) == start + d)
                return static_cast<int>(d);
        }
    }
    return -1;
}

// Beyond the six ASCII spaces, white space is whatever the platform's classification says (Windows'
// also counts the no-break space, for one).
bool ReferenceSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' ||
           std::iswspace(static_cast<std::wint_t>(c));
}

std::int32_t ReferenceParse(const std::wstring& s) {
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

// Pieces a text is built from: the generator is biased towards what the parser must get right.
wchar_t RandomPiece(std::mt19937& rng) {
    static const wchar_t kOther[] = {L'a', L'Z', L'.', L'x', L'=', 0x065F, 0x066A, 0xFF0F, 0xFF1A, 0x4E00, 0x00A0};
    static const wchar_t kSpaces[] = {L' ', L'\t', L'\n', L'\v', L'\f', L'\r'};
    switch (rng() % 8) {
        case 0:
            return kSpaces[rng() % 6];
        case 1:
            return (rng() % 2) ? L'-' : L'+';
        case 2:
            return kOther[rng() % (sizeof(kOther) / sizeof(kOther[0]))];
        default:
            return static_cast<wchar_t>(kRunStarts[rng() % 18] + rng() % 10);
    }
}

}  // namespace

TEST(ParseDecimalDifferential, AgreesWithPlainReferenceOnGeneratedTexts) {
    const unsigned seed = 20261208;
    std::mt19937 rng(seed);
    for (int n = 0; n < 100000; ++n) {
        std::wstring text;
        // Mostly short texts, some long enough to overflow many times over.
        const size_t length = (rng() % 10 == 0) ? rng() % 60 : rng() % 14;
        if (rng() % 3 == 0) {
            text.append(rng() % 3, L' ');
            if (rng() % 2)
                text += (rng() % 2) ? L'-' : L'+';
        }
        for (size_t i = 0; i < length; ++i)
            text += RandomPiece(rng);
        const std::int32_t expected = ReferenceParse(text);
        const std::int32_t actual = ParseDecimal(text.c_str());
        if (actual != expected) {
            std::string codes;
            for (wchar_t c : text)
                codes += std::to_string(static_cast<unsigned>(c)) + " ";
            FAIL() << "seed " << seed << ", case " << n << ": codes [" << codes << "] parsed " << actual
                   << ", reference " << expected;
        }
    }
}
