#!/usr/bin/env bash
# Builds the release archives reproducibly: Tapwren-<version>-win32.zip, the product, and
# Tapwren-<version>-win64.zip, the same sources for x86-64; each holds the executable, the README and
# the licence. Arguments: the folder to build them in (default build/release), and optionally one
# architecture (x86 or x64) to pack alone, in that folder itself. Prints the archives' paths.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh

# package_release BUILD_DIR ARCH: a fresh release build of ARCH's Tapwren.exe with no link timestamp,
# packed with the README and the licence into Tapwren-<version>-win32.zip (x86) or -win64.zip
# (x64): files with a fixed time, stored in a fixed order. Prints the archive's path.
package_release() {
    local build
    build=$(realpath -m "$1")
    set_arch "$PWD" "$2"
    lock_build "$build"
    build_windows "$build" "$TAPWREN_TOOLCHAIN" -- Tapwren
    local stage="$build/package"
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$build/Tapwren.exe" README.md LICENSE "$stage/"
    touch -d '2026-01-01 00:00:00 UTC' "$stage"/*
    local archive
    archive="$build/Tapwren-$(cat "$build/release-version.txt")-$TAPWREN_RELEASE_SUFFIX.zip"
    rm -f "$archive"
    (cd "$stage" && TZ=UTC zip -X -q "$archive" Tapwren.exe README.md LICENSE)
    unlock_build
    echo "$archive"
}

begin_command
scripts/setup.sh
out=$(realpath -m "${1:-$root/build/release}")
if [ -n "${2:-}" ]; then
    package_release "$out" "$2"
else
    package_release "$out/x86" x86
    package_release "$out/x64" x64
fi
