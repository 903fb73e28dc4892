#!/usr/bin/env bash
# Tests the x86 build, the product, on a host that cannot run 32-bit programs: in an emulated x86-64
# machine with 32-bit support (qemu's software emulation, no KVM), built from Debian's packages by
# image.sh and kept until its inputs change. The test programs go in, and their results come back,
# through a shared folder. Arguments: the x86 build folder and the folder for the machine. Prints
# one line of counts; fails when a test failed, none ran, or the machine did not finish in time
# (TAPWREN_GUEST_LIMIT seconds, default 1800).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
dir=$2
limit=${TAPWREN_GUEST_LIMIT:-1800}

"$here/image.sh" "$dir/image"

share="$dir/share"
rm -rf "$share"
mkdir -p "$share/x86/planted"
cp "$build"/Tapwren.exe "$build"/tapwren_{unit,win,e2e,game_input}_tests.exe "$build/trace-files.sh" "$share/x86/"
cp -r "$build/corpus" "$share/x86/"
cp "$build"/planted/*.exe "$build"/planted/*.dll "$share/x86/planted/"
cp "$here/tests.sh" "$share/run.sh"
console="$dir/console.log"
echo "Testing the x86 build in an emulated machine (about 5 minutes; console $console, log $share/guest.log)."
status=0
timeout --foreground --kill-after=10 "$limit" qemu-system-x86_64 -accel tcg -smp 2 -m 4096 -display none -monitor none \
    -serial "file:$console" -nic none -no-reboot \
    -kernel "$dir/image/vmlinuz" -initrd "$dir/image/initrd.img" \
    -append "root=/dev/vda ro console=ttyS0 init=/sbin/tapwren-init" \
    -drive "file=$dir/image/root.img,format=raw,if=virtio,readonly=on" \
    -virtfs "local,path=$share,mount_tag=host,security_model=none" || status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "The emulated machine had not finished after $limit s and was ended." \
        "Its console: $console; its log: $share/guest.log" >&2
    exit 1
fi
if [ ! -f "$share/guest.status" ]; then
    echo "The emulated machine stopped before its tests had run (qemu's exit $status); its console: $console" >&2
    exit 1
fi

python3 - "$share/results" tapwren_unit_tests tapwren_win_tests tapwren_e2e_tests tapwren_game_input_tests tapwren_planting_tests <<'PY'
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ran = passed = 0
failed = []
for program in sys.argv[2:]:
    report = Path(sys.argv[1]) / f"{program}.xml"
    if not report.exists():
        failed.append(f"{program} (it gave no results: see {report.with_suffix('.txt')})")
        continue
    for case in ET.parse(report).iter("testcase"):
        if case.get("result") == "skipped" or case.get("status") == "notrun":
            continue
        ran += 1
        if case.find("failure") is None:
            passed += 1
        else:
            failed.append(f"{case.get('classname')}.{case.get('name')}")
print(f"x86 tests in the emulated machine: {ran} ran, {passed} passed, {len(failed)} failed.")
for name in failed:
    print(f"  failed: {name}", file=sys.stderr)
sys.exit(0 if ran > 0 and not failed else 1)
PY
