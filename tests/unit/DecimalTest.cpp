#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/Decimal.h"

namespace {

struct ParseCase {
    std::wstring text;
    std::int32_t expected;
};

void ExpectParses(const std::vector<ParseCase>& cases) {
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "input of " << c.text.size() << " characters, first code "
                                        << (c.text.empty() ? 0 : static_cast<unsigned>(c.text[0])));
        EXPECT_EQ(ParseDecimal(c.text.c_str()), c.expected);
    }
}

std::wstring Repeat(wchar_t c, size_t count) {
    return std::wstring(count, c);
}

}  // namespace

TEST(ParseDecimal, ReadsSignsWhiteSpaceAndStopsAtFirstNonDigit) {
    ExpectParses({
        {L"", 0},
        {L"abc", 0},
        {L" -12abc", -12},
        {L"5000", 5000},
        {L"+7", 7},
        {L"-0", 0},
        {L"+", 0},
        {L"-", 0},
        {L"--5", 0},
        {L"+-5", 0},
        {L"- 5", 0},
        {L"\t\n\v\f\r 42", 42},
        {L"12 34", 12},
        {L"1.5", 1},
        {L"0x1F", 0},
        {L"007", 7},
        {Repeat(L'0', 1000) + L"123", 123},
    });
    EXPECT_EQ(ParseDecimal(nullptr), 0);
}

TEST(ParseDecimal, SaturatesAtBothThirtyTwoBitLimits) {
    ExpectParses({
        {L"2147483647", 2147483647},
        {L"2147483648", INT32_MAX},
        {L"-2147483648", INT32_MIN},
        {L"-2147483647", -2147483647},
        {L"-2147483649", INT32_MIN},
        {L"4294967296", INT32_MAX},
        {Repeat(L'9', 40), INT32_MAX},
        {L"-" + Repeat(L'9', 40), INT32_MIN},
        {Repeat(L'0', 1000) + L"2147483647", 2147483647},
    });
}

TEST(ParseDecimal, ReadsEveryUnicodeDecimalRunAndNothingJustOutside) {
    const unsigned runs[] = {0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66, 0x0CE6,
                             0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};
    for (unsigned first : runs) {
        SCOPED_TRACE(testing::Message() << std::hex << "run at U+" << first);
        std::wstring all;
        for (unsigned d = 0; d < 10; ++d) {
            EXPECT_EQ(DecimalDigitValue(static_cast<wchar_t>(first + d)), static_cast<int>(d));
            all += static_cast<wchar_t>(first + d);
        }
        EXPECT_EQ(ParseDecimal(all.c_str()), 123456789);
        EXPECT_EQ(DecimalDigitValue(static_cast<wchar_t>(first - 1)), -1);
        EXPECT_EQ(DecimalDigitValue(static_cast<wchar_t>(first + 10)), -1);
        const std::wstring after = std::wstring(1, static_cast<wchar_t>(first + 1)) + static_cast<wchar_t>(first + 10);
        EXPECT_EQ(ParseDecimal(after.c_str()), 1);
    }
    ExpectParses({
        {L"\xFF15\xFF10\xFF10\xFF10", 5000},  // full-width 5000
        {L"-\x0661\x0662", -12},              // Arabic-Indic digits after a sign
        {L"1\x0968\xFF13", 123},              // runs may mix
        {L"\xFF0D\xFF15", 0},                 // a full-width minus is not a sign
    });
}

TEST(IntToString, WritesPlainAsciiDecimal) {
    EXPECT_EQ(IntToString(0), L"0");
    EXPECT_EQ(IntToString(5000), L"5000");
    EXPECT_EQ(IntToString(-5), L"-5");
    EXPECT_EQ(IntToString(INT32_MAX), L"2147483647");
    EXPECT_EQ(IntToString(INT32_MIN), L"-2147483648");
    for (std::int32_t n : {1, -1, 9, 10, 99, 100, 635, 704, -2147483647}) {
        EXPECT_EQ(ParseDecimal(IntToString(n).c_str()), n);
    }
}
