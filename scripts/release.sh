#!/usr/bin/env bash
# Builds Tapwren-<version>-win32.zip (the executable, the README, the licence) reproducibly: a fresh
# release build with no link timestamp, files with a fixed time, stored in a fixed order.
# Argument: the build folder to use (default build/release). Prints the archive's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/release}")
cd "$root"

source scripts/common.sh
build_windows "$build" -- Tapwren

stage="$build/package"
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/Tapwren.exe" README.md LICENSE "$stage/"
touch -d '2026-01-01 00:00:00 UTC' "$stage"/*
archive="$build/Tapwren-$(cat "$build/release-version.txt")-win32.zip"
rm -f "$archive"
(cd "$stage" && TZ=UTC zip -X -q "$archive" Tapwren.exe README.md LICENSE)
echo "$archive"
