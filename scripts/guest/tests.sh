#!/bin/sh
# Runs inside the emulated machine, from the shared folder (see init): the x86 build's tests under
# the 32-bit Wine, each test program's results as XML and its output as text in results/.
share=/mnt
# The tests make folders with Chinese names, which need a UTF-8 locale on the Unix side.
export LANG=C.UTF-8 HOME=/tmp/home WINEPREFIX=/tmp/home/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Everything here runs several times slower than on the host: the tests wait that much longer for
# what should arrive.
export TAPWREN_TEST_PATIENCE=5
mkdir -p "$HOME" "$share/results"
Xvfb :1 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=:1
# Bounded, so that an Xvfb that failed ends the run at once with its cause, not at the host's limit.
waited=0
while [ ! -e /tmp/.X11-unix/X1 ]; do
    waited=$((waited + 1))
    if [ "$waited" -gt 600 ]; then
        echo "Xvfb did not start within 60 s" | tee "$share/results/xvfb.txt"
        exit 1
    fi
    sleep 0.1
done
wineboot -i
wineserver -w
# Without a window manager Wine waits for one every time a window hides.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
wineserver -w
# One server for every program started: a fresh one for each start is slow here.
wineserver -p
cp -r "$share/x86" /tmp/x86
cd /tmp/x86

# run PROGRAM [ARGS...]
run() {
    name=$(basename "$1" .exe)
    echo "$(date +%T) $name"
    wine "$@" "--gtest_output=xml:Z:\\mnt\\results\\$name.xml" >"$share/results/$name.txt" 2>&1 </dev/null
    echo "$(date +%T) $name: exit $?"
}

run tapwren_unit_tests.exe
# Left out here, as their bounds cannot hold in an emulated machine on a busy host, where everything
# runs about ten times slower: the processor time of a whole test program over 0.6 s of pausing
# (the x86 program's long pauses are still measured end to end, by
# RobustnessTest.LongestIntervalFromTheFilePausesWithoutProcessorTime), and the two upper bounds of
# 98 ms on a hold cut short by a teardown or a close, which take longer than that in here (the rule
# is still tested exactly, by WorkerRules.TeardownDuringAHoldCutsItShortButSendsTheKeyUp).
run tapwren_win_tests.exe \
    --gtest_filter=-RealPause.PausesOfADayAndMoreCostNoProcessorTime:RealWorker.TeardownDuringAHoldSendsTheKeyUp
run tapwren_e2e_tests.exe --gtest_filter=-TapwrenTest.ClosingDuringAHoldSendsTheKeyUp
run tapwren_game_input_tests.exe
WINEDLLOVERRIDES="version=n,b;mscoree,mshtml=" run planted/tapwren_planting_tests.exe
wineserver -k
