#!/usr/bin/env bash
# Builds everything and runs every test: format check, the sanitized native unit tests, and the
# Windows unit and end-to-end tests under Wine on a private X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/check-format.sh

jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs" >/dev/null
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DNATIVE_TEST_EXE="$root/build/native/tapwren_native_tests" >/dev/null
cmake --build build/win -j "$jobs" >/dev/null

source scripts/wine-env.sh
wine_env_start "$root/build/win"
trap wine_env_stop EXIT

ctest --test-dir build/win --output-on-failure -j "$jobs" "$@"
