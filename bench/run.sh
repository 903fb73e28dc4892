#!/usr/bin/env bash
# Builds Tapwren.exe, its two yardsticks and the benchmark driver, then measures them side by side
# under Wine. Arguments: [start-up/exit rounds, default 20] [0 to skip the repeating figures].
# Writes bench/results/bench.csv and bench/results/cadence.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
take_command_lock "$root/build/win" bench
# The picture is drawn with the distribution's matplotlib, which only the benchmark needs.
scripts/setup.sh python3-matplotlib
lock_build build/win
build_windows build/win -- tapwren_bench
wine_env_start "$root/build/win" bench
trap wine_env_stop EXIT
/usr/bin/python3 bench/bench.py build/win bench/results "$@"
