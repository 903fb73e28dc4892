#include <gtest/gtest.h>

#include "common/KeyValue.h"

TEST(KeyValue, SplitsIntoVirtualKeyAndControlWord) {
    struct Row {
        KeyValue value;
        unsigned virtualKey;
        unsigned word;
    };
    const Row rows[] = {
        {0, 0, 0},
        {0x02C0, 0xC0, 0x02C0},
        {0x027B, 0x7B, 0x027B},
        {0x0841, 0x41, 0x0841},
        {0x12345678, 0x78, 0x5678},  // bits above 15 never reach a control
        {0xFFFF0000, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "value 0x" << r.value);
        EXPECT_EQ(VirtualKeyOf(r.value), r.virtualKey);
        EXPECT_EQ(HotKeyWord(r.value), r.word);
    }
}

TEST(KeyValue, RegistrationModifiersComeFromAltShiftAndCtrlOnly) {
    // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4 as RegisterHotKey takes them.
    const struct {
        KeyValue value;
        std::uint32_t expected;
    } rows[] = {
        {0, 0},      {0x0800, 0},     {0x0741, 0x7}, {0x02C0, 0x2},  {0x0141, 0x4},
        {0x0441, 1}, {0x0F41, 0x7},   {0xF041, 0},   {0x12741, 0x7},  // bits above 15 are ignored
        {0x0341, 6}, {0xFFFFFFFF, 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "value 0x" << row.value);
        EXPECT_EQ(RegistrationModifiersOf(row.value), row.expected);
    }
}

TEST(KeyValue, SwitchComparesWholeValues) {
    const struct {
        KeyValue current, key1, key2, expected;
    } rows[] = {
        {0x253, 0x253, 0x76, 0x76},   // key one current: key two
        {0x76, 0x253, 0x76, 0x253},   // key two current: key one
        {0x53, 0x253, 0x76, 0x253},   // S without Ctrl is another value: key one
        {0x41, 0x253, 0x76, 0x253},   // neither (key one edited since): key one
        {0x76, 0x253, 0x253, 0x253},  // key one equal to key two: that value, and it stays
        {0x253, 0x253, 0x253, 0x253}, {0x10253, 0x253, 0x76, 0x253},  // bits above 15 count
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "current 0x" << row.current);
        EXPECT_EQ(SwitchedKey(row.current, row.key1, row.key2), row.expected);
    }
}
