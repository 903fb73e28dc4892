#!/usr/bin/env bash
# The commands end what they started, and let go of their locks, however they end: when their Wine
# cannot start, and when they are interrupted by SIGTERM or Ctrl+C while a child runs. Each case runs
# a small command built from the commands' own pieces, with a Wine that fails or does nothing; every
# process it starts carries a mark in its environment, by which any that outlives it is found.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

fail() {
    echo "FAIL: $*" >&2
    case_ok=0
}

# A fake Wine: "fail" exits as a 32-bit loader does where the kernel refuses it; "ok" makes the
# prefix's registry file, as wineboot does.
printf '#!/bin/sh\nexit 126\n' >"$work/wine-fail"
printf '#!/bin/sh\n[ "$1" = wineboot ] && mkdir -p "$WINEPREFIX" && touch "$WINEPREFIX/system.reg"\nexit 0\n' >"$work/wine-ok"
chmod +x "$work/wine-fail" "$work/wine-ok"

# command WINE CHILD: a command as the scripts make one, on a private display.
command_script() {
    cat <<SCRIPT
set -euo pipefail
cd "$root"
source scripts/common.sh
begin_command
take_command_lock "$work/build" demo
set_arch "$root" x64
TAPWREN_ARCH=x64 TAPWREN_WINE="$work/$1" TAPWREN_WINESERVER=true
wine_env_start "$work/build" demo
$2
SCRIPT
}

# Processes that carry MARK in their environment (a zombie's reads empty).
marked() {
    grep -lzx "TAPWREN_TEST_MARK=$1" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3
}

# after MARK CASE: the case is over when nothing of the command is left (its lock watcher polls every 0.1 s), and the
# command's lock can be taken at once.
after() {
    local mark=$1 name=$2 left
    for _ in $(seq 40); do
        left=$(marked "$mark")
        [ -z "$left" ] && break
        sleep 0.05
    done
    [ -z "$left" ] || fail "$name: left running: $(for p in $left; do tr '\0' ' ' <"/proc/$p/cmdline"; echo; done)"
    flock -n "$work/build/demo.lock" true || fail "$name: the command's lock is still held"
    if [ "$case_ok" = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}

# Wine cannot start: the command fails at once, says why, and leaves nothing behind.
case_ok=1
mark=$RANDOM$RANDOM
start=$(date +%s)
env -u DISPLAY TAPWREN_TEST_MARK=$mark bash -c "$(command_script wine-fail 'echo reached >&2')" 2>"$work/err"
status=$?
[ "$status" -ne 0 ] || fail "Wine failing to start: the command succeeded"
[ $(($(date +%s) - start)) -lt 10 ] || fail "Wine failing to start: the command took $(($(date +%s) - start)) s"
grep -q "could not make its prefix" "$work/err" || fail "Wine failing to start: no cause given: $(cat "$work/err")"
grep -q reached "$work/err" && fail "Wine failing to start: the command went on"
after "$mark" "Wine failing to start"

# Interrupted while a child (with a child of its own) runs: ended within seconds, all of it. SIGTERM
# goes to the command alone; Ctrl+C sends SIGINT to the terminal's whole process group, which the
# command leads here (and an async job's SIGINT, ignored by default, is let through).
for signal in TERM INT; do
    case_ok=1
    mark=$RANDOM$RANDOM
    rm -rf "$work/build"
    env -u DISPLAY --default-signal=INT TAPWREN_TEST_MARK=$mark setsid \
        bash -c "$(command_script wine-ok "run_child sh -c 'sleep 300 & touch $work/running; sleep 300'")" &
    pid=$!
    for _ in $(seq 200); do [ -e "$work/running" ] && break; sleep 0.05; done
    rm -f "$work/running"
    if [ "$signal" = TERM ]; then kill -TERM "$pid"; else kill -INT -- "-$pid"; fi
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "SIG$signal: the command was still running 10 s later" && kill -KILL "$pid"
    wait "$pid"
    after "$mark" "SIG$signal"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
