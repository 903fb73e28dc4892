#!/usr/bin/env bash
# Builds Tapwren.exe, its two yardsticks and the benchmark driver for the build this machine can run
# (see choose_arch in scripts/lib/arch.sh), then measures them side by side under Wine. Arguments:
# [start-up/exit rounds, default 20] [0 to skip the repeating figures].
# Writes bench/results/bench.csv and bench/results/cadence.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
begin_command
take_command_lock "$root/build" bench
# The picture is drawn with the distribution's matplotlib, which only the benchmark needs.
scripts/setup.sh python3-matplotlib
choose_arch "$root"
lock_build "$TAPWREN_BUILD"
build_windows "$TAPWREN_BUILD" "$TAPWREN_TOOLCHAIN" -- tapwren_bench
wine_env_start "$TAPWREN_BUILD" bench
run_child /usr/bin/python3 bench/bench.py "$TAPWREN_BUILD" bench/results "$@"
