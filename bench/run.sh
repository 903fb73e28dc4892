#!/usr/bin/env bash
# Builds Tapwren.exe, its two yardsticks and the benchmark driver, then measures them side by side
# under Wine. Arguments: [start-up/exit rounds, default 20] [0 to skip the repeating figures].
# Writes bench/results/bench.csv and bench/results/cadence.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
# The picture is drawn with the distribution's matplotlib, which only the benchmark needs.
if ! dpkg-query -W -f='${Status}' python3-matplotlib 2>/dev/null | grep -q 'install ok installed'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends python3-matplotlib >/dev/null
fi
build_windows build/win -- tapwren_bench
wine_env_start "$root/build/win" bench
trap wine_env_stop EXIT
/usr/bin/python3 bench/bench.py build/win bench/results "$@"
