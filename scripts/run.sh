#!/usr/bin/env bash
# Builds Tapwren.exe if needed and starts it under Wine from build/run (where its cfg.ini lives), as
# the build this machine can run (see choose_arch in scripts/lib/arch.sh). On a desktop it opens there; without
# a display it runs on a private Xvfb, saves a screenshot of the dialog, prints the PNG's path and then
# ends the program (without its teardown).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
begin_command
take_command_lock "$root/build" run
scripts/setup.sh
choose_arch "$root"
lock_build "$TAPWREN_BUILD"
build_windows "$TAPWREN_BUILD" "$TAPWREN_TOOLCHAIN" -- Tapwren
mkdir -p build/run
cp "$TAPWREN_BUILD/Tapwren.exe" build/run/
unlock_build

had_display=${DISPLAY:-}
wine_env_start "$TAPWREN_BUILD" run
cd build/run
if [ -n "$had_display" ]; then
    run_child "$TAPWREN_WINE" Tapwren.exe
    exit 0
fi

"$TAPWREN_WINE" Tapwren.exe &
if ! window=$(wait_for_dialog 10); then
    echo "Tapwren's dialog did not appear." >&2
    exit 1
fi
sleep 1  # let the controls paint
shot="$root/build/run/tapwren.png"
import -window "$window" "$shot"
echo "Tapwren ($TAPWREN_ARCH) ran on a private display (none was set); its dialog: $shot"
