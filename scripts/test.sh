#!/usr/bin/env bash
# Builds everything and runs every test: format check, the sanitized native unit tests, and the
# Windows unit and end-to-end tests under Wine on a private X display. Arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
take_command_lock "$root/build/win" test
scripts/setup.sh
scripts/check-format.sh

jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs" >/dev/null
lock_build build/win
build_windows build/win -DNATIVE_TEST_EXE="$root/build/native/tapwren_native_tests"

wine_env_start "$root/build/win" test
trap wine_env_stop EXIT

ctest --test-dir build/win --output-on-failure -j "$jobs" "$@"
