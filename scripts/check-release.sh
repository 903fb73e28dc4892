#!/usr/bin/env bash
# Two release builds of the same sources in different folders must give identical bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$1
rm -rf "$work/one" "$work/two"
a=$("$root/scripts/release.sh" "$work/one")
b=$("$root/scripts/release.sh" "$work/two")
cmp "$work/one/Tapwren.exe" "$work/two/Tapwren.exe"
cmp "$a" "$b"
unzip -l "$a"
echo "reproducible: $(sha256sum "$a" | cut -c1-16)"
