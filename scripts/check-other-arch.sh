#!/usr/bin/env bash
# Compiles the other architecture's Tapwren.exe, warnings as errors like every build, so that the
# build not under test here does not rot unseen. Arguments: a work folder and that architecture
# (x86 or x64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
begin_command
set_arch "$root" "$2"
lock_build "$1"
build_windows "$1" "$TAPWREN_TOOLCHAIN" -- Tapwren
