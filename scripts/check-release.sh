#!/usr/bin/env bash
# A release build must give the same bytes as the test tree's build of the same sources in another
# folder, and packing it again later must give the same archive.
# Arguments: a work folder, the architecture (x86 or x64) and the Tapwren.exe of the tree the tests
# were built in.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$1
arch=$2
built=$3
cd "$root"

rm -rf "$work/one"
a=$(scripts/release.sh "$work/one" "$arch")
cp "$a" "$work/first.zip"
sleep 1  # a later packing, so that a time stamp that leaked in would show
b=$(scripts/release.sh "$work/one" "$arch")
cmp "$built" "$work/one/Tapwren.exe"
cmp "$work/first.zip" "$b"
unzip -l "$b"
echo "reproducible: $(basename "$b") $(sha256sum "$b" | cut -c1-16)"
