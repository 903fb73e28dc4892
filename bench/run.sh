#!/usr/bin/env bash
# Builds Tapwren.exe and the benchmark driver, then measures the real program under Wine.
# Arguments: [start-up/exit rounds, default 20] [start-latency samples, default 30; 0 measures only
# start-up, exit and size].
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
build_windows build/win -- Tapwren tapwren_bench MinimalDialog MinimalTrayDialog
wine_env_start "$root/build/win" bench
trap wine_env_stop EXIT
python3 bench/bench.py build/win bench/results "$@"
