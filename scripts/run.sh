#!/usr/bin/env bash
# Builds Tapwren.exe if needed and starts it under Wine from build/run (where its cfg.ini lives).
# On a desktop it opens there; without a display it runs on a private Xvfb, saves a screenshot of
# the dialog, prints the PNG's path and then ends the program (without its teardown).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
take_command_lock "$root/build/win" run
scripts/setup.sh
lock_build build/win
build_windows build/win -- Tapwren
mkdir -p build/run
cp build/win/Tapwren.exe build/run/
unlock_build

had_display=${DISPLAY:-}
wine_env_start "$root/build/win" run
trap wine_env_stop EXIT
cd build/run
if [ -n "$had_display" ]; then
    wine Tapwren.exe
    exit 0
fi

wine Tapwren.exe &
window=""
for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Tapwren[^"]*Vennar\."/ {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "Tapwren's dialog did not appear." >&2
    exit 1
fi
sleep 1  # let the controls paint
shot="$root/build/run/tapwren.png"
import -window "$window" "$shot"
echo "Tapwren ran on a private display (none was set); its dialog: $shot"
