#!/usr/bin/env bash
# Builds everything and runs every test: format check, the sanitized native unit tests, and the
# Windows unit and end-to-end tests under Wine on a private X display, for the build that this machine
# can run (see choose_arch in scripts/lib/arch.sh). Where that is the x86-64 build, the x86 build's tests then
# run in an emulated machine that runs 32-bit code (TAPWREN_X86_GUEST=0 skips them, for quick local
# runs only). Arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
begin_command
take_command_lock "$root/build" test
scripts/setup.sh
choose_arch "$root"
scripts/check-format.sh

jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
run_child cmake --build build/native -j "$jobs" >/dev/null
lock_build "$TAPWREN_BUILD"
build_windows "$TAPWREN_BUILD" "$TAPWREN_TOOLCHAIN" -DNATIVE_TEST_EXE="$root/build/native/tapwren_native_tests"

wine_env_start "$TAPWREN_BUILD" test
run_child ctest --test-dir "$TAPWREN_BUILD" --output-on-failure -j "$jobs" "$@"
echo "Tested: $TAPWREN_ARCH, $TAPWREN_BUILD_NAME."
wine_env_stop

if [ "$TAPWREN_ARCH" = x64 ] && ! can_run_x86; then
    if [ "${TAPWREN_X86_GUEST:-1}" = 0 ]; then
        echo "WARNING: TAPWREN_X86_GUEST=0: the x86 program, the one that ships, was NOT tested on this machine." >&2
    else
        # The tree beside the tested one where the x86 program is already compiled.
        x86="$TAPWREN_BUILD/x86-build"
        build_windows "$x86" "$root/cmake/mingw-i686.cmake"
        scripts/setup.sh qemu-system-x86 debootstrap
        run_child scripts/guest/test-x86.sh "$x86" "$root/build/guest"
    fi
fi
