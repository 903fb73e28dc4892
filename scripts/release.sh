#!/usr/bin/env bash
# Builds Tapwren-1.0.2-win32.zip (the executable, the README, the licence) reproducibly: a fresh
# release build with no link timestamp, files with a fixed time, stored in a fixed order.
# Argument: the build folder to use (default build/release). Prints the archive's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/release}")
cd "$root"

scripts/setup.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target Tapwren >/dev/null

stage="$build/package"
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/Tapwren.exe" README.md LICENSE "$stage/"
touch -d '2026-01-01 00:00:00 UTC' "$stage"/*
archive="$build/Tapwren-1.0.2-win32.zip"
rm -f "$archive"
(cd "$stage" && TZ=UTC zip -X -q "$archive" Tapwren.exe README.md LICENSE)
echo "$archive"
