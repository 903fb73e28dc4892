#include <gtest/gtest.h>

#include <cstdint>

#include "common/Cycle.h"

TEST(CycleMilliseconds, HoldPlusIntervalButNeverZero) {
    EXPECT_EQ(CycleMilliseconds(true, 250), 350);
    EXPECT_EQ(CycleMilliseconds(true, 0), 100);
    EXPECT_EQ(CycleMilliseconds(true, -5), 100);
    EXPECT_EQ(CycleMilliseconds(false, 400), 400);
    EXPECT_EQ(CycleMilliseconds(false, 0), 1) << "an empty key without a pause would spin";
    EXPECT_EQ(CycleMilliseconds(false, INT32_MIN), 1);
    EXPECT_EQ(CycleMilliseconds(true, INT32_MAX), 2147483747LL);
}
