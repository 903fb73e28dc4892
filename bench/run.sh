#!/usr/bin/env bash
# Builds Tapwren.exe and the benchmark driver, then measures the real program under Wine.
# Arguments: [start-up/exit rounds, default 20] [start-latency samples, default 30; 0 measures only
# start-up, exit and size].
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j "$(nproc)" --target Tapwren tapwren_bench MinimalDialog MinimalTrayDialog >/dev/null

source scripts/wine-env.sh
wine_env_start "$root/build/win"
trap wine_env_stop EXIT
python3 bench/bench.py build/win bench/results "$@"
