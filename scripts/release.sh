#!/usr/bin/env bash
# Builds the release archives reproducibly: Tapwren-<version>-win32.zip, the product, and
# Tapwren-<version>-win64.zip, the same sources for x86-64; each holds the executable, the README and
# the licence. Argument: the folder to build them in (default build/release). Prints their paths.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/common.sh
begin_command
scripts/setup.sh
out=$(realpath -m "${1:-$root/build/release}")
package_release "$out/x86" x86
package_release "$out/x64" x64
