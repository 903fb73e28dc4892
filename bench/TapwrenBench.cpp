// Measures the real Tapwren.exe under Wine beside its two yardsticks, the work floor (only the work
// Tapwren must do at start-up and exit) and the plain repeater (the straightforward design), each
// figure taken from all of them in the same run, interleaved. Prints raw samples, one
// "figure,program,value" line each, for bench/bench.py to summarise and draw.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/TapwrenProcess.h"
#include "support/CpuTime.h"
#include "support/Inject.h"
#include "support/KeyRecorder.h"
#include "support/Launch.h"
#include "support/ProgramFacts.h"
#include "support/Pump.h"
#include "support/Scratch.h"

namespace {

constexpr UINT kKey = 'S';  // key one by default, and what the plain repeater presses

void Sample(const char* figure, const wchar_t* program, double value) {
    std::printf("%s,%ls,%.3f\n", figure, program, value);
    std::fflush(stdout);
}

// A figure that could not be taken: reported with its cause, never as a sample.
void Failed(const char* figure, const wchar_t* program, const char* cause) {
    std::printf("FAILED,%s,%ls,%s\n", figure, program, cause);
    std::fflush(stdout);
}

// Samples `value` unless it is negative, which the measurements below return when they failed.
void SampleOrFail(const char* figure, const wchar_t* program, double value, const char* cause) {
    if (value < 0)
        Failed(figure, program, cause);
    else
        Sample(figure, program, value);
}

// One of the three programs, started from a folder of its own with Tapwren's default settings.
class CProgram {
public:
    CProgram(const wchar_t* name, const CScratchDir& dir) : m_name(name), m_dir(dir.Path()) {
        ::CopyFileW((ExecutableDir() + name + L".exe").c_str(), (m_dir + name + L".exe").c_str(), FALSE);
    }
    ~CProgram() {
        if (m_pi.hProcess != nullptr) {
            Close();
            ::CloseHandle(m_pi.hProcess);
            ::CloseHandle(m_pi.hThread);
        }
    }
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    // Starts it and returns the milliseconds to its dialog visible, then waits for the rest of its
    // start-up (Tapwren and the floor add their tray icon last); negative when it did not start.
    double Start() {
        // The shell and the server are still busy with the previous program's exit for a while (a
        // removed tray icon, a destroyed window): let that settle so it does not count against this.
        PumpFor(500);
        const double started = CKeyRecorder::NowMs();
        if (!Launch(m_dir + m_name + L".exe", m_dir, m_pi))
            return -1;
        if (!PumpUntil(
                [&] { return (m_hDialog = FindDialogOf(m_pi.dwProcessId)) != nullptr && ::IsWindowVisible(m_hDialog); },
                10000))
            return -1;
        const double startup = CKeyRecorder::NowMs() - started;
        if (HasTrayIcon())
            PumpUntil([&] { return TrayIconExists(m_hDialog); }, 5000);
        SettleKeyboardAfterFocusMoved();  // the new dialog took the focus
        return startup;
    }

    // Posts WM_CLOSE and returns the milliseconds until the process has ended.
    double Close() {
        const double closing = CKeyRecorder::NowMs();
        ::PostMessageW(m_hDialog, WM_CLOSE, 0, 0);
        if (!WaitForProcess(m_pi.hProcess, 10000)) {
            ::TerminateProcess(m_pi.hProcess, 1);
            return -1;
        }
        return CKeyRecorder::NowMs() - closing;
    }

    void SetInterval(int ms) const {
        ::SendMessageW(::GetDlgItem(m_hDialog, IDC_EDIT_INTERVAL), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(std::to_wstring(ms).c_str()));
    }
    double CpuSecondsOver(double ms) const {
        const std::wstring stat = StatFileOfProgram(m_dir + m_name + L".exe");
        const double before = CpuSeconds(stat);
        PumpFor(ms);
        const double after = CpuSeconds(stat);
        return before < 0 || after < 0 ? -1 : after - before;
    }
    const wchar_t* Name() const { return m_name; }

private:
    bool HasTrayIcon() const { return std::wstring(m_name) != L"PlainRepeater"; }

    const wchar_t* m_name;
    std::wstring m_dir;
    PROCESS_INFORMATION m_pi = {};
    HWND m_hDialog = nullptr;
};

// From the release of the last Ctrl to the first key down of `vk`; negative when that key went down
// while Ctrl was held, or never.
double FirstDownAfterRelease(const std::vector<KeyEvent>& events, unsigned vk) {
    double released = -1;
    for (const KeyEvent& e : events) {
        const bool ctrl = e.vk == VK_CONTROL || e.vk == VK_LCONTROL;
        if (ctrl)
            released = e.up ? e.ms : -1;
        else if (e.vk == vk && !e.up)
            return released < 0 ? -1 : e.ms - released;
    }
    return -1;
}

// Start-up and exit of Tapwren against the floor, and the first press of a freshly started Tapwren
// and plain repeater, round after round.
void MeasureStartUpAndExit(CKeyRecorder& recorder, int rounds) {
    CScratchDir dir("bench-startup");
    for (int i = 0; i < rounds; ++i) {
        for (const wchar_t* name : {L"WorkFloor", L"Tapwren"}) {
            WriteBytes(dir.File(L"cfg.ini"), kDefaultsFile);
            CProgram program(name, dir);
            SampleOrFail("startup_ms", name, program.Start(), "no dialog showed within 10 s");
            SampleOrFail("exit_idle_ms", name, program.Close(), "still running 10 s after WM_CLOSE");
        }
        for (const wchar_t* name : {L"Tapwren", L"PlainRepeater"}) {
            WriteBytes(dir.File(L"cfg.ini"), kDefaultsFile);  // interval 5000
            CProgram program(name, dir);
            const double startup = program.Start();
            recorder.Clear();
            // The worker's very first press, started as a hand does: Ctrl let go 250 ms after it went down.
            TypeLikeAPerson(kCtrlF12, 250);
            if (PumpUntil([&] { return !Holds(recorder.Events(), kKey).empty(); }, 2000)) {
                const std::vector<KeyEvent> events = recorder.Events();
                Sample("first_hold_ms", name, Holds(events, kKey)[0]);
                // The plain repeater presses into the held Ctrl by design.
                if (std::wstring(name) == L"Tapwren")
                    SampleOrFail("first_press_after_release_ms", name, FirstDownAfterRelease(events, kKey),
                                 "the first press went down while Ctrl was held");
            } else {
                Failed("first_hold_ms", name, "no press within 2 s of the start/stop hotkey");
            }
            if (std::wstring(name) == L"Tapwren") {
                SampleOrFail("startup_ms", name, startup, "no dialog showed within 10 s");
                PumpFor(500);  // well inside the pause
                SampleOrFail("exit_pausing_ms", name, program.Close(), "still running 10 s after WM_CLOSE");
            }
        }
    }
}

// Hold, period and drift at several intervals, and processor time idle and in the longest pause.
void MeasureRepeating(CKeyRecorder& recorder) {
    CScratchDir dir("bench-repeat");
    const int intervals[] = {20, 250, 1000};
    const int cycles[] = {101, 40, 20};
    for (int k = 0; k < 3; ++k) {
        for (const wchar_t* name : {L"Tapwren", L"PlainRepeater"}) {
            WriteBytes(dir.File(L"cfg.ini"), kDefaultsFile);
            CProgram program(name, dir);
            program.Start();
            program.SetInterval(intervals[k]);
            recorder.Clear();
            InjectCombo(kCtrlF12);
            if (!PumpUntil(
                    [&] { return DownTimes(recorder.Events(), kKey).size() >= static_cast<size_t>(cycles[k]) + 1; },
                    (100.0 + intervals[k]) * (cycles[k] + 5) + 2000))
                Failed("period_error_ms", name, "fewer presses than asked for arrived");
            InjectCombo(kCtrlF12);
            PumpFor(300.0 + intervals[k]);
            const std::vector<KeyEvent> events = recorder.Events();
            const std::vector<double> downs = DownTimes(events, kKey);
            const std::vector<double> holds = Holds(events, kKey);
            // The first press is measured apart, from freshly started programs.
            for (size_t i = 1; i < holds.size(); ++i)
                Sample("hold_ms", name, holds[i]);
            const double cycle = 100.0 + intervals[k];
            const std::string period = "period_error_ms_" + std::to_string(intervals[k]);
            for (size_t i = 1; i < downs.size() && i <= static_cast<size_t>(cycles[k]); ++i)
                Sample(period.c_str(), name, downs[i] - downs[i - 1] - cycle);
            if (intervals[k] == 20) {
                for (size_t i = 0; i < downs.size() && i < 100; ++i)
                    Sample("press_error_ms_20", name, downs[i] - downs[0] - static_cast<double>(i) * cycle);
            }
        }
    }
    for (const wchar_t* name : {L"Tapwren", L"PlainRepeater"}) {
        WriteBytes(dir.File(L"cfg.ini"), kDefaultsFile);
        CProgram program(name, dir);
        program.Start();
        const double cpu = program.CpuSecondsOver(10000);
        SampleOrFail("idle_cpu_percent", name, cpu < 0 ? -1 : 100 * cpu / 10, "its processor time could not be read");
    }
    {
        // A press that falls due while the user holds a modifier waits for it: Ctrl held for 10 s.
        WriteBytes(dir.File(L"cfg.ini"), ConfigWith(kDefaultKey1, kDefaultKey2, 0));
        CProgram tapwren(L"Tapwren", dir);
        tapwren.Start();
        InjectCombo(kCtrlF12);
        PumpFor(300);
        InjectKey(VK_CONTROL, false);
        PumpFor(500);
        const double cpu = tapwren.CpuSecondsOver(10000);
        InjectKey(VK_CONTROL, true);
        SampleOrFail("held_modifier_cpu_percent", tapwren.Name(), cpu < 0 ? -1 : 100 * cpu / 10,
                     "its processor time could not be read");
        InjectCombo(kCtrlF12);
    }
    WriteBytes(dir.File(L"cfg.ini"), ConfigWith(kDefaultKey1, kDefaultKey2, 2147483647));
    CProgram tapwren(L"Tapwren", dir);
    tapwren.Start();
    recorder.Clear();
    InjectCombo(kCtrlF12);
    PumpUntil([&] { return !Holds(recorder.Events(), kKey).empty(); }, 2000);
    const double cpu = tapwren.CpuSecondsOver(5000);
    SampleOrFail("longest_pause_cpu_percent", tapwren.Name(), cpu < 0 ? -1 : 100 * cpu / 5,
                 "its processor time could not be read");
    InjectCombo(kCtrlF12);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const bool repeating = argc > 2 ? std::atoi(argv[2]) != 0 : true;
    CKeyRecorder recorder;
    if (repeating)
        MeasureRepeating(recorder);
    MeasureStartUpAndExit(recorder, rounds);
    return 0;
}
