// Measures the real Tapwren.exe under Wine and prints raw samples, one "figure,value" line each, for
// bench/bench.py to summarise. Lines starting with "#" mark phases the Linux side acts on.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e/TapwrenProcess.h"
#include "support/Inject.h"
#include "support/KeyRecorder.h"
#include "support/Launch.h"
#include "support/ProgramFacts.h"
#include "support/Pump.h"
#include "support/Scratch.h"

namespace {

constexpr UINT kKey = VK_F8;

void Sample(const char* figure, double value) {
    std::printf("%s,%.3f\n", figure, value);
    std::fflush(stdout);
}

void Phase(const char* name) {
    std::printf("# %s\n", name);
    std::fflush(stdout);
}

// Starts a program, returns its start-up time (to its dialog visible) and its exit time after
// WM_CLOSE, optionally after `beforeClose` ran.
struct Run {
    double startup;
    double exit;
};

template <typename BeforeClose>
Run StartAndClose(const std::wstring& exe, const std::wstring& dir, BeforeClose beforeClose) {
    Run run = {-1, -1};
    // The shell and the server are still busy with the previous program's exit for a while (a removed
    // tray icon, a destroyed window): let that settle so it does not count against this start.
    PumpFor(500);
    PROCESS_INFORMATION pi = {};
    const double started = CKeyRecorder::NowMs();
    if (!Launch(exe, dir, pi))
        return run;
    HWND window = nullptr;
    if (PumpUntil([&] { return (window = FindDialogOf(pi.dwProcessId)) != nullptr && ::IsWindowVisible(window); },
                  10000))
        run.startup = CKeyRecorder::NowMs() - started;
    PumpFor(300);  // let start-up finish before anything else
    beforeClose(window);
    const double closing = CKeyRecorder::NowMs();
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForProcess(pi.hProcess, 10000))
        run.exit = CKeyRecorder::NowMs() - closing;
    else
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return run;
}

void WriteConfig(const CScratchDir& dir, int interval) {
    WriteBytes(dir.File(L"cfg.ini"), ConfigWith(kKey, kDefaultKey2, interval));
}

void MeasureStartupAndExit(CKeyRecorder& recorder, int rounds) {
    CScratchDir dir("bench-startup");
    const std::wstring minimal = ExecutableDir() + L"MinimalDialog.exe";
    const std::wstring minimalWithTrayIcon = ExecutableDir() + L"MinimalTrayDialog.exe";
    ::CopyFileW((ExecutableDir() + L"Tapwren.exe").c_str(), dir.File(L"Tapwren.exe").c_str(), FALSE);
    for (int i = 0; i < rounds; ++i) {
        const Run baseline = StartAndClose(minimal, dir.Path(), [](HWND) {});
        Sample("minimal_startup_ms", baseline.startup);
        Sample("minimal_exit_ms", baseline.exit);
        Sample("minimal_with_tray_icon_exit_ms", StartAndClose(minimalWithTrayIcon, dir.Path(), [](HWND) {}).exit);

        WriteConfig(dir, 5000);
        const Run idle = StartAndClose(dir.File(L"Tapwren.exe"), dir.Path(), [](HWND) {});
        Sample("startup_ms", idle.startup);
        Sample("exit_idle_ms", idle.exit);

        const Run pausing = StartAndClose(dir.File(L"Tapwren.exe"), dir.Path(), [&](HWND) {
            recorder.Clear();
            InjectCombo(kCtrlF12);
            PumpUntil([&] { return Holds(recorder.Events(), kKey).size() == 1; }, 2000);
            PumpFor(500);  // well inside the 5000 ms pause
        });
        Sample("startup_ms", pausing.startup);
        Sample("exit_pausing_ms", pausing.exit);
    }
}

void MeasureRepeating(CKeyRecorder& recorder, int starts) {
    CScratchDir dir("bench-repeat");
    WriteConfig(dir, 0);
    CTapwrenProcess app(dir.Path());
    if (!app.Start())
        return;

    Phase("idle-start");  // the Linux side reads the process's CPU time now and when idle-end comes
    PumpFor(10000);
    Phase("idle-end");

    // Start latency: from the start/stop hotkey to the first key down, each start from idle.
    for (int i = 0; i < starts; ++i) {
        recorder.Clear();
        const double injected = CKeyRecorder::NowMs();
        InjectCombo(kCtrlF12);
        if (PumpUntil([&] { return !DownTimes(recorder.Events(), kKey).empty(); }, 2000))
            Sample("start_latency_ms", DownTimes(recorder.Events(), kKey)[0] - injected);
        InjectCombo(kCtrlF12);
        PumpFor(250);
    }

    // Hold and period at several intervals, and the drift over 100 presses at 20 ms.
    const int intervals[] = {0, 20, 250, 1000};
    const int cycles[] = {60, 101, 55, 52};
    for (int k = 0; k < 4; ++k) {
        app.SetIntervalText(std::to_wstring(intervals[k]).c_str());
        recorder.Clear();
        InjectCombo(kCtrlF12);
        PumpUntil([&] { return DownTimes(recorder.Events(), kKey).size() >= static_cast<size_t>(cycles[k]) + 1; },
                  (100.0 + intervals[k]) * (cycles[k] + 3) + 2000);
        InjectCombo(kCtrlF12);
        PumpFor(300.0 + intervals[k]);
        const std::vector<KeyEvent> events = recorder.Events();
        const std::vector<double> downs = DownTimes(events, kKey);
        for (double hold : Holds(events, kKey))
            Sample("hold_ms", hold);
        const std::string figure = "period_error_ms_interval_" + std::to_string(intervals[k]);
        for (size_t i = 1; i < downs.size() && i <= static_cast<size_t>(cycles[k]); ++i)
            Sample(figure.c_str(), downs[i] - downs[i - 1] - (100.0 + intervals[k]));
        if (intervals[k] == 20 && downs.size() >= 100)
            Sample("drift_100th_press_ms", downs[99] - downs[0] - 99 * 120.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const int starts = argc > 2 ? std::atoi(argv[2]) : 30;
    CKeyRecorder recorder;
    // No starts asked for: only start-up and exit, which is what most changes to the program touch.
    if (starts > 0)
        MeasureRepeating(recorder, starts);
    MeasureStartupAndExit(recorder, rounds);
    Phase("done");
    return 0;
}
