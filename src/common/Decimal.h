#pragma once

#include <cstdint>
#include <string>

// Reads every number the program parses (the settings file, the interval edit): leading white space,
// one optional sign, then decimal digits, ASCII or from any of the Unicode decimal digit runs, up to
// the first other character. No digits give 0; values beyond 32 bits saturate at the nearest limit.
std::int32_t ParseDecimal(const wchar_t* text);

// The value of a decimal digit character, or -1 when the character is not one.
int DecimalDigitValue(wchar_t c);

// Plain signed base-10 text in ASCII digits, as "%d" writes it.
std::wstring IntToString(std::int32_t n);
