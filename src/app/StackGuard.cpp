// The stack-protector runtime for the hardened build, in place of the compiler's own. That one seeds
// the canary from the CryptoAPI, which loads a cryptographic provider at every start of the program
// (about 20 ms more start-up under Wine when measured with bench/run.sh with and without this file);
// RtlGenRandom gives the same random bits without it.
// Defining these symbols here keeps the compiler's version out of the link.
#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>

namespace {

// What the program ends with when a check fails, as the system's own stack checks report it.
constexpr UINT kStackBufferOverrun = 0xC0000409;

// A canary that ends strings and lines, for the unlikely case that no random bits are to be had.
constexpr std::uintptr_t kTerminatorCanary = 0xFF0A0D00;

}  // namespace

extern "C" {

std::uintptr_t __stack_chk_guard = kTerminatorCanary;

// Runs before any other constructor, while only the start-up code, which checks no canary, is on
// the stack: a frame that outlived the change of the canary would fail its check.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    std::uintptr_t seed = 0;
    if (RtlGenRandom(&seed, sizeof(seed)) && seed != 0)
        __stack_chk_guard = seed;
}

// A frame's canary was overwritten: the stack can no longer be trusted, so end at once without
// unwinding or running anything else of the program.
[[noreturn]] void __stack_chk_fail() {
    ::TerminateProcess(::GetCurrentProcess(), kStackBufferOverrun);
    __builtin_unreachable();
}

// A checked copy or format (buffer sizes known at compile time) would have overrun its buffer.
[[noreturn]] void __chk_fail() {
    ::TerminateProcess(::GetCurrentProcess(), kStackBufferOverrun);
    __builtin_unreachable();
}
}
