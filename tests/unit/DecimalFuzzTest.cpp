#include <gtest/gtest.h>

#include <cstdint>
#include <cwctype>
#include <random>
#include <string>

#include "common/Decimal.h"
#include "support/ReferenceDecimal.h"

namespace {

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
            return static_cast<wchar_t>(kReferenceRunStarts[rng() % 18] + rng() % 10);
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
