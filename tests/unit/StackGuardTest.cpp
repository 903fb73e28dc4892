#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

constexpr DWORD kStackBufferOverrun = 0xC0000409;

// Sizes the compiler cannot see, so that neither the copy nor the overrun is decided at build time.
volatile size_t g_length = 64;

__attribute__((noinline)) void OverrunLocalBuffer() {
    char buffer[16];
    for (size_t i = 0; i < g_length; ++i)
        reinterpret_cast<volatile char*>(buffer)[i] = 'x';
    EXPECT_NE(buffer[0], 0);
}

__attribute__((noinline)) void CheckedCopyTooLong() {
    char source[64] = {};
    char target[16];
    std::memcpy(target, source, g_length);
    EXPECT_EQ(target[0], 0);
}

}  // namespace

TEST(StackGuardTest, CanaryIsSeededWithRandomBits) {
    EXPECT_NE(__stack_chk_guard, 0u);
    EXPECT_NE(__stack_chk_guard, 0xFF0A0D00u) << "the fallback canary: no random bits were had";
}

TEST(StackGuardDeathTest, OverrunStackBufferEndsTheProcess) {
    testing::GTEST_FLAG(death_test_style) = "threadsafe";
    EXPECT_EXIT(OverrunLocalBuffer(), testing::ExitedWithCode(kStackBufferOverrun), "");
    EXPECT_EXIT(CheckedCopyTooLong(), testing::ExitedWithCode(kStackBufferOverrun), "");
}
