#!/usr/bin/env bash
# Builds Tapwren-<version>-win32.zip (the executable, the README, the licence) reproducibly.
# Argument: the build folder to use (default build/release). Prints the archive's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
scripts/setup.sh
package_release "${1:-$root/build/release}"
