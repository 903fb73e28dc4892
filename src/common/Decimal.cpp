#include "Decimal.h"

#include <cwctype>

namespace {

// First characters of the ten-character Unicode decimal digit runs besides ASCII. All lie in the
// 16-bit range, so they mean the same whether wchar_t has 16 bits (Windows) or 32 (Linux).
constexpr char32_t kDigitRuns[] = {0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66, 0x0CE6,
                                   0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};

}  // namespace

int DecimalDigitValue(wchar_t c) {
    const char32_t ch = static_cast<char32_t>(c);
    if (ch >= U'0' && ch <= U'9')
        return static_cast<int>(ch - U'0');
    for (char32_t first : kDigitRuns) {
        if (ch >= first && ch < first + 10)
            return static_cast<int>(ch - first);
    }
    return -1;
}

std::int32_t ParseDecimal(const wchar_t* text) {
    if (text == nullptr)
        return 0;
    while (*text != L'\0' && std::iswspace(static_cast<std::wint_t>(*text)))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') {
        negative = *text == L'-';
        ++text;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it passes the largest magnitude
    // a 32-bit value can take, so any number of digits is safe.
    constexpr std::int64_t kLimit = 2147483648LL;
    std::int64_t magnitude = 0;
    for (int digit; (digit = DecimalDigitValue(*text)) >= 0; ++text) {
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude >= kLimit ? INT32_MIN : static_cast<std::int32_t>(-magnitude);
    return magnitude >= kLimit ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

std::wstring IntToString(std::int32_t n) {
    // Work on the magnitude in 64 bits so that the most negative value has one too.
    std::int64_t magnitude = n < 0 ? -static_cast<std::int64_t>(n) : n;
    wchar_t digits[12];
    int length = 0;
    do {
        digits[length++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::wstring text;
    if (n < 0)
        text += L'-';
    while (length > 0)
        text += digits[--length];
    return text;
}
