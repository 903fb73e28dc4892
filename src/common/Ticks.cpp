#include "Ticks.h"

#include <limits>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// count * numerator / denominator for a count of 0 or more, the quotient rounded up when asked:
// the whole part and the remainder are scaled apart so that no product leaves 64 bits.
std::int64_t Scale(std::int64_t count, std::int64_t numerator, std::int64_t denominator, bool roundUp) {
    if (count <= 0)
        return 0;
    const std::int64_t whole = count / denominator;
    const std::int64_t rest = count % denominator;
    if (whole > kMax / numerator)
        return kMax;
    const std::int64_t part = (rest * numerator + (roundUp ? denominator - 1 : 0)) / denominator;
    return whole * numerator > kMax - part ? kMax : whole * numerator + part;
}

}  // namespace

std::int64_t TicksFromMilliseconds(std::int64_t milliseconds, std::int64_t frequency) {
    return Scale(milliseconds, frequency, 1000, false);
}

std::int64_t HundredNanosecondsFromTicks(std::int64_t ticks, std::int64_t frequency) {
    return Scale(ticks, 10000000, frequency, true);
}

std::int64_t MillisecondsFromTicks(std::int64_t ticks, std::int64_t frequency) {
    return Scale(ticks, 1000, frequency, true);
}
