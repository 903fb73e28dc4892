#pragma once

#include <cstdint>

// Conversions between milliseconds, the timer's 100 ns units and performance-counter ticks at
// `frequency` ticks a second. Exact for every count the worker can ask for (a cycle of up to
// 2^31 + 100 ms at any counter frequency), where the plain product of count and unit overflows
// 64 bits once a wait is longer than about a day; beyond what 64 bits hold they saturate.

std::int64_t TicksFromMilliseconds(std::int64_t milliseconds, std::int64_t frequency);
// Rounded up, so that a wait of the result never ends before the ticks have passed.
std::int64_t HundredNanosecondsFromTicks(std::int64_t ticks, std::int64_t frequency);
std::int64_t MillisecondsFromTicks(std::int64_t ticks, std::int64_t frequency);
