#!/usr/bin/env bash
# Fails when the manifest inside the executable names another architecture than its PE header: the
# loader then binds Common Controls of the wrong architecture, and the program does not start.
# Arguments: the executable and the objdump of its architecture.
set -euo pipefail
exe=$1
objdump=$2
machine=$("$objdump" -f "$exe" | awk '/^architecture:/ {sub(",", "", $2); print $2}')
case "$machine" in
    i386) expected='x86' ;;
    i386:x86-64) expected='amd64|\*' ;;
    *) echo "$exe: $objdump read no known machine ('$machine')" >&2; exit 1 ;;
esac
# The manifest is stored as plain UTF-8 text in the resources.
mapfile -t named < <(grep -ao 'processorArchitecture="[^"]*"' "$exe" | sed 's/.*="\(.*\)"/\1/')
if [ ${#named[@]} -lt 2 ]; then
    echo "$exe: no manifest naming the program's and Common Controls' architecture was found" >&2
    exit 1
fi
status=0
for arch in "${named[@]}"; do
    if [[ "$arch" =~ ^($expected)$ ]]; then
        echo "manifest ok: processorArchitecture=\"$arch\" in a $machine program"
    else
        echo "manifest names processorArchitecture=\"$arch\" in a $machine program" >&2
        status=1
    fi
done
exit $status
