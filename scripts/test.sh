#!/usr/bin/env bash
# Builds everything and runs every test: format check, the sanitized native unit tests, and the
# Windows unit and end-to-end tests under Wine on a private X display, for the build that this machine
# can run (see choose_arch in common.sh). Arguments go to ctest.
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
