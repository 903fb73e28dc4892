#pragma once

#include <cstdint>

// How long each press holds its key down.
constexpr std::int64_t kHoldMs = 100;

// How long one cycle of the worker lasts: the hold when a key was pressed, plus the interval, never
// less than 1 ms.
std::int64_t CycleMilliseconds(bool pressed, std::int32_t interval);
