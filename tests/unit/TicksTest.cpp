#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/Ticks.h"

TEST(Ticks, ConvertExactlyForEveryCycleLengthAtEveryCounterFrequency) {
    // 10 MHz is the counter on current Windows and under Wine; 3 GHz a processor's own clock on older
    // systems, 3.58 MHz the ACPI timer's; 1 kHz and 1 Hz are extremes. The expected values were worked
    // out with exact integers; the longest cycle is the largest interval plus the 100 ms hold.
    const struct {
        std::int64_t frequency, ms, ticks, hundredNs, msBack;
    } rows[] = {
        {10000000, 1, 10000, 10000, 1},
        {10000000, 5000, 50000000, 50000000, 5000},
        {10000000, 100000000, 1000000000000, 1000000000000, 100000000},
        {10000000, 2147483647, 21474836470000, 21474836470000, 2147483647},
        {10000000, 2147483747, 21474837470000, 21474837470000, 2147483747},
        {3000000000, 1, 3000000, 10000, 1},
        {3000000000, 100000000, 300000000000000, 1000000000000, 100000000},
        {3000000000, 2147483747, 6442451241000000, 21474837470000, 2147483747},
        {3579545, 1, 3579, 9999, 1},
        {3579545, 2147483647, 7687014351200, 21474836469999, 2147483647},
        {3579545, 2147483747, 7687014709155, 21474837470000, 2147483747},
        {1000, 2147483747, 2147483747, 21474837470000, 2147483747},
        {1, 100, 0, 0, 0},
        {1, 2147483747, 2147483, 21474830000000, 2147483000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.ms << " ms at " << row.frequency << " ticks a second");
        EXPECT_EQ(TicksFromMilliseconds(row.ms, row.frequency), row.ticks);
        EXPECT_EQ(HundredNanosecondsFromTicks(row.ticks, row.frequency), row.hundredNs);
        EXPECT_EQ(MillisecondsFromTicks(row.ticks, row.frequency), row.msBack);
    }
    EXPECT_EQ(HundredNanosecondsFromTicks(1, 3000000000), 1) << "rounded up, so never 0 for a wait";
    EXPECT_EQ(HundredNanosecondsFromTicks(-5, 10000000), 0);
}

TEST(Ticks, SaturateBeyondSixtyFourBits) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(TicksFromMilliseconds(kMax, 10000000), kMax);
    EXPECT_EQ(HundredNanosecondsFromTicks(kMax, 1), kMax);
    EXPECT_EQ(MillisecondsFromTicks(kMax, 1), kMax);
    EXPECT_EQ(MillisecondsFromTicks(kMax, 1000), kMax);
}
