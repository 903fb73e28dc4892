#!/usr/bin/env bash
# Compiles the other architecture's Tapwren.exe, warnings as errors like every build, so that the
# build not under test here does not rot unseen; checks the architecture its manifest names; and,
# where this machine runs that architecture too, starts it once under its own Wine and prefix and
# waits for its dialog: a program that compiles can still be refused by the loader.
# Arguments: a work folder and that architecture (x86 or x64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
begin_command
set_arch "$root" "$2"
lock_build "$1"
build_windows "$1" "$TAPWREN_TOOLCHAIN" -- Tapwren
objdump=$(awk -F= '/^CMAKE_OBJDUMP:/ {print $2}' "$1/CMakeCache.txt")
scripts/check-manifest.sh "$1/Tapwren.exe" "$objdump"

if [ "$2" = x86 ] && ! can_run_x86; then
    echo "This machine cannot run 32-bit programs: the x86 program was compiled, not started."
    exit 0
fi
TAPWREN_ARCH=$2
unset DISPLAY  # a display of its own, away from the tests' windows
wine_env_start "$1" start
run="$1/start-run"
rm -rf "$run"
mkdir -p "$run"
cp "$1/Tapwren.exe" "$run/"
(cd "$run" && exec "$TAPWREN_WINE" Tapwren.exe) >/dev/null 2>&1 &
if ! window=$(wait_for_dialog 90); then
    echo "The $2 program did not show its dialog within 90 s." >&2
    exit 1
fi
echo "The $2 program started under $TAPWREN_WINE and showed its dialog (window $window)."
