#!/bin/sh
# Traces the file writes, flushes and renames of a Windows program under Wine: in its own process and
# in the wineserver of its prefix, which does its renames.
#   trace-files.sh start PID OUT   attaches strace to the Linux process PID and that wineserver,
#                                  writing to OUT; returns once both are attached
#   trace-files.sh stop OUT        ends the trace, OUT then complete
# Exit status 4: strace may not attach here (no ptrace permission).
set -eu
case "$1" in
start)
    pid=$2
    out=$3
    # A prefix's wineserver works in <temporary folder>/server-<device>-<inode> of the prefix.
    server=$(printf 'server-%s-%x' $(stat -c '%D %i' "$WINEPREFIX"))
    wineserver=""
    for p in /proc/[0-9]*; do
        case "$(readlink "$p/cwd" 2>/dev/null || true)" in
            */"$server") wineserver=${p#/proc/} ;;
        esac
    done
    [ -n "$wineserver" ] || exit 2
    strace -f -y -ttt -e trace=write,pwrite64,writev,pwritev,pwritev2,fsync,fdatasync,sync_file_range,rename,renameat,renameat2 \
        -o "$out" -p "$pid" -p "$wineserver" 2>"$out.err" &
    echo $! >"$out.pid"
    for _ in $(seq 200); do
        grep -q 'Operation not permitted' "$out.err" && exit 4
        [ "$(grep -c 'attached' "$out.err")" -ge 2 ] && exit 0
        sleep 0.05
    done
    exit 3
    ;;
stop)
    strace=$(cat "$2.pid")
    kill "$strace"
    # Done once it has gone, or is a zombie that nobody has reaped yet.
    while [ "$(cut -d' ' -f3 "/proc/$strace/stat" 2>/dev/null || echo Z)" != Z ]; do sleep 0.02; done
    ;;
esac
