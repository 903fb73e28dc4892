#include <gtest/gtest.h>

#include "common/KeyValue.h"
#include "common/Setting.h"

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

TEST(Setting, DefaultsAreTheFirstRunSettings) {
    const CSetting s;
    EXPECT_EQ(s.m_dwNext, 704u);
    EXPECT_EQ(s.m_dwStop, 635u);
    EXPECT_EQ(s.m_dwKey1, 595u);
    EXPECT_EQ(s.m_dwKey2, 118u);
    EXPECT_EQ(s.m_nInterval, 5000);
    EXPECT_EQ(VirtualKeyOf(s.m_dwKey1), 0x53u);  // Ctrl + S presses S alone
}
