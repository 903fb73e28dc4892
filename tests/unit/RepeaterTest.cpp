#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "dialog/TapwrenDlg.h"
#include "repeater/PressKey.h"
#include "support/CpuTime.h"
#include "support/KeyRecorder.h"
#include "support/Pump.h"
#include "support/ScriptedRepeater.h"

// The worker's rules, played against a scripted clock and a recording key output: exact times, no
// real input. The few tests at the end press real keys to prove the system calls.
namespace {

using Event = CScriptedRepeater::Event;
constexpr unsigned kF7 = VK_F7;
constexpr unsigned kF8 = VK_F8;

// Presses of `vk` at the given times, each held `hold` ms.
std::vector<Event> Presses(unsigned vk, std::vector<double> downs, double hold = 100) {
    std::vector<Event> events;
    for (double down : downs) {
        events.push_back({down, vk, false});
        events.push_back({down + hold, vk, true});
    }
    return events;
}

class WorkerRules : public testing::Test {
protected:
    // Starts repeating `key` at `interval` when the scene begins and tears down at `endMs`.
    void Scene(KeyValue key, const wchar_t* interval, double endMs) {
        m_worker.m_dwCurKey = key;
        m_worker.m_interval = interval;
        m_worker.At(0, [this] { m_worker.ToggleRunning(); });
        m_worker.At(endMs, [this] { m_worker.Teardown(); });
    }

    CScriptedRepeater m_worker;
};

}  // namespace

TEST_F(WorkerRules, PressesOnlyTheVirtualKeyHeldForTheHoldThenPausesForTheInterval) {
    Scene(0x253, L"250", 1250);  // Ctrl + S
    EXPECT_EQ(m_worker.Run(), 0u);
    EXPECT_EQ(m_worker.m_events, Presses('S', {0, 350, 700, 1050}));
}

TEST_F(WorkerRules, EmptyZeroAndNegativeIntervalsPressBackToBack) {
    for (const wchar_t* text : {L"", L"0", L"-500", L"-2147483648"}) {
        SCOPED_TRACE(testing::Message() << "interval text of " << std::wcslen(text) << " characters");
        m_worker = CScriptedRepeater();
        Scene(kF7, text, 450);
        m_worker.Run();
        std::vector<Event> expected = Presses(kF7, {0, 100, 200, 300});
        expected.push_back({400, kF7, false});
        expected.push_back({450, kF7, true});  // teardown cuts the hold, the key still goes up
        EXPECT_EQ(m_worker.m_events, expected);
    }
}

TEST_F(WorkerRules, FullWidthAndOtherUnicodeDigitsAreReadAsTheirNumber) {
    Scene(kF7, L"\xFF12\xFF15\xFF10", 1000);  // full-width 250
    m_worker.Run();
    EXPECT_EQ(DownsOf(m_worker.m_events, kF7), (std::vector<double>{0, 350, 700}));
}

TEST_F(WorkerRules, PressOfKeyZeroSendsNothingAndHoldsNothing) {
    EXPECT_FALSE(PressKey(0, false, m_worker, m_worker));
    EXPECT_TRUE(m_worker.m_events.empty());
    EXPECT_EQ(m_worker.NowMs(), 0);
}

TEST_F(WorkerRules, EmptyKeySendsNothingButStillPauses) {
    Scene(0, L"400", 1000);
    m_worker.At(100, [this] { m_worker.m_dwCurKey = kF7; });  // switched during the first pause
    m_worker.Run();
    EXPECT_EQ(m_worker.m_events, Presses(kF7, {400, 900}));
}

TEST_F(WorkerRules, EmptyKeyWithoutAPauseCyclesOnceAMillisecond) {
    Scene(0, L"0", 5.5);
    m_worker.Run();
    EXPECT_TRUE(m_worker.m_events.empty());
    EXPECT_EQ(m_worker.m_reads, (std::vector<double>{0, 1, 2, 3, 4, 5}));
}

TEST_F(WorkerRules, IntervalTextIsReadInsideEachHoldAndAppliesToThePauseAfterIt) {
    Scene(kF7, L"900", 1250);
    m_worker.At(300, [this] { m_worker.m_interval = L"100"; });
    m_worker.Run();
    EXPECT_EQ(DownsOf(m_worker.m_events, kF7), (std::vector<double>{0, 1000, 1200}));
    EXPECT_EQ(m_worker.m_reads, (std::vector<double>{0, 1000, 1200}));
}

TEST_F(WorkerRules, StopDuringAPauseTakesEffectWhenItEndsAndAStartFromIdleIsImmediate) {
    Scene(kF7, L"800", 2050);
    m_worker.At(300, [this] { m_worker.ToggleRunning(); });   // stop, 200 ms into the pause
    m_worker.At(2000, [this] { m_worker.ToggleRunning(); });  // start again, long after
    m_worker.Run();
    std::vector<Event> expected = Presses(kF7, {0});
    expected.push_back({2000, kF7, false});
    expected.push_back({2050, kF7, true});
    EXPECT_EQ(m_worker.m_events, expected);
}

TEST_F(WorkerRules, StopAndStartWithinOnePauseGoUnnoticed) {
    Scene(kF7, L"500", 1900);
    m_worker.At(250, [this] { m_worker.ToggleRunning(); });
    m_worker.At(350, [this] { m_worker.ToggleRunning(); });
    m_worker.Run();
    EXPECT_EQ(m_worker.m_events, Presses(kF7, {0, 600, 1200, 1800}));
}

TEST_F(WorkerRules, SwitchDuringAPauseAppliesToTheNextPress) {
    Scene(kF7, L"300", 850);
    m_worker.At(200, [this] { m_worker.m_dwCurKey = kF8; });
    m_worker.Run();
    const std::vector<Event> expected = {{0, kF7, false},  {100, kF7, true},  {400, kF8, false},
                                         {500, kF8, true}, {800, kF8, false}, {850, kF8, true}};
    EXPECT_EQ(m_worker.m_events, expected);
}

TEST_F(WorkerRules, CyclesKeepTheirScheduleWhenLateAndStartAfreshOnceAWholeCycleBehind) {
    Scene(kF7, L"20", 1050);
    int read = 0;
    // The third read keeps the worker 150 ms (past its 100 ms hold), the sixth 300 ms (past a cycle).
    m_worker.m_readCost = [&] { return ++read == 3 ? 150.0 : read == 6 ? 300.0 : 0.0; };
    m_worker.Run();
    EXPECT_EQ(DownsOf(m_worker.m_events, kF7), (std::vector<double>{0, 120, 240, 390, 490, 600, 900, 1020}));
}

TEST_F(WorkerRules, HoldAndScheduleAreTimedFromASlowFirstKeyDown) {
    // The first input call on a fresh thread is slow (10-15 ms under Wine): the key goes down late,
    // but it is still held in full, and the presses after it keep the period from it.
    Scene(kF7, L"250", 750);
    m_worker.SlowNextKeyDown(12);
    m_worker.Run();
    ASSERT_GE(m_worker.m_events.size(), 5u);
    const std::vector<Event> expected = {
        {12, kF7, false}, {112, kF7, true}, {362, kF7, false}, {462, kF7, true}, {712, kF7, false}};
    EXPECT_EQ(std::vector<Event>(m_worker.m_events.begin(), m_worker.m_events.begin() + 5), expected);
}

TEST_F(WorkerRules, PressWaitsWhileAModifierIsHeldAndItsCycleFollowsFromIt) {
    // Started with Ctrl + F12, Ctrl let go 250 ms later; then the switch hotkey's Ctrl held from 600
    // to 720 ms, over the press due at 650, which is made with the switched key once Ctrl is up.
    m_worker.m_bModifierDown = true;
    Scene(kF7, L"300", 1200);
    m_worker.At(250, [this] { m_worker.m_bModifierDown = false; });
    m_worker.At(600, [this] {
        m_worker.m_bModifierDown = true;
        m_worker.m_dwCurKey = kF8;
    });
    m_worker.At(720, [this] { m_worker.m_bModifierDown = false; });
    m_worker.Run();
    const std::vector<Event> expected = {{250, kF7, false}, {350, kF7, true},   {720, kF8, false},
                                         {820, kF8, true},  {1120, kF8, false}, {1200, kF8, true}};
    EXPECT_EQ(m_worker.m_events, expected);
}

TEST_F(WorkerRules, ModifierHeldLongIsLookedAtTwentyTimesASecond) {
    // Shift held through the first 1234 ms: looked at every 5 ms for half a second, then every 50 ms.
    m_worker.m_bModifierDown = true;
    Scene(kF7, L"5000", 1400);
    m_worker.At(1234, [this] { m_worker.m_bModifierDown = false; });
    m_worker.Run();
    EXPECT_EQ(m_worker.m_events, Presses(kF7, {1250}));
}

TEST_F(WorkerRules, StopOrTeardownWhileAModifierIsHeldPressesNothing) {
    for (bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "stop" : "teardown");
        m_worker = CScriptedRepeater();
        m_worker.m_bModifierDown = true;
        Scene(kF7, L"300", 1000);
        m_worker.At(100, [this, stop] { stop ? m_worker.ToggleRunning() : m_worker.Teardown(); });
        m_worker.At(400, [this] { m_worker.m_bModifierDown = false; });
        m_worker.Run();
        EXPECT_TRUE(m_worker.m_events.empty());
        EXPECT_TRUE(m_worker.m_reads.empty());
    }
}

TEST_F(WorkerRules, ExtendedKeysArePressedAsExtendedAndOthersAsTyped) {
    Scene(0x825, L"0", 250);                                      // the Left arrow as the hotkey control reports it
    m_worker.At(150, [this] { m_worker.m_dwCurKey = VK_LEFT; });  // as a hand-written file gives it
    m_worker.Run();
    const std::vector<Event> expected = {{0, VK_LEFT, false, true},    {100, VK_LEFT, true, true},
                                         {100, VK_LEFT, false, true},  {200, VK_LEFT, true, true},
                                         {200, VK_LEFT, false, false}, {250, VK_LEFT, true, false}};
    EXPECT_EQ(m_worker.m_events, expected);
}

TEST_F(WorkerRules, TeardownDuringAHoldCutsItShortButSendsTheKeyUp) {
    Scene(kF7, L"5000", 30);
    m_worker.Run();
    EXPECT_EQ(m_worker.m_events, Presses(kF7, {0}, 30));
}

TEST_F(WorkerRules, TeardownDuringAPauseEndsItAtOnce) {
    Scene(kF7, L"2147483647", 1000);
    m_worker.Run();
    EXPECT_EQ(m_worker.m_events, Presses(kF7, {0}));
    EXPECT_EQ(m_worker.NowMs(), 1000);
}

TEST_F(WorkerRules, TeardownWhileIdleEndsTheWorkerWithoutAPress) {
    m_worker.m_dwCurKey = kF7;
    m_worker.At(50, [this] { m_worker.Teardown(); });
    EXPECT_EQ(m_worker.Run(), 0u);
    EXPECT_TRUE(m_worker.m_events.empty());
    EXPECT_TRUE(m_worker.m_reads.empty());
}

TEST_F(WorkerRules, CancelWhileIdleEndsTheWorkerEvenWithTheAliveFlagStillSet) {
    m_worker.m_dwCurKey = kF7;
    m_worker.At(50, [this] { m_worker.CancelOnly(); });
    EXPECT_EQ(m_worker.Run(), 0u);
    EXPECT_EQ(m_worker.m_cancelledWakeWaits, 0) << "the worker waited again after the cancel";
    EXPECT_TRUE(m_worker.m_events.empty());
}

TEST(RealPause, KeepsDeadlinesWithBothTimersAndEndsAtOnceWhenCancelled) {
    for (bool highResolution : {true, false}) {
        CPause pause(highResolution);
        if (!highResolution) {
            EXPECT_FALSE(pause.HasHighResolutionTimer());
        }
        const LONGLONG start = pause.Now();
        EXPECT_TRUE(pause.WaitUntil(start + pause.Ticks(50)));
        const double waited = static_cast<double>(pause.Now() - start) / static_cast<double>(pause.Ticks(1));
        EXPECT_GE(waited, 50);
        // A due time in the wrong unit would wait ten times as long or more; load adds far less.
        EXPECT_LT(waited, 250);
        EXPECT_TRUE(pause.WaitUntil(start));  // a deadline already past returns at once

        std::thread canceller([&] {
            ::Sleep(30);
            pause.Cancel();
        });
        const LONGLONG before = pause.Now();
        EXPECT_FALSE(pause.WaitUntil(before + pause.Ticks(5000)));
        EXPECT_LT(pause.Now() - before, pause.Ticks(2500)) << "the cancel did not cut the wait short";
        EXPECT_FALSE(pause.WaitForWake());
        canceller.join();
    }
}

TEST(RealPause, PausesOfADayAndMoreCostNoProcessorTime) {
    const struct {
        LONGLONG ms;
        bool highResolution;
    } rows[] = {{100000000, true}, {2147483647, true}, {2147483647, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.ms << " ms, high-resolution timer " << row.highResolution);
        CPause pause(row.highResolution);
        bool ended = true;
        std::thread waiter([&] { ended = pause.WaitUntil(pause.Now() + pause.Ticks(row.ms)); });
        ::Sleep(100);  // into its wait
        const double before = CpuSeconds(L"Z:\\proc\\self\\stat");
        ASSERT_GE(before, 0) << "cannot read this process's processor time";
        ::Sleep(600);
        const double used = CpuSeconds(L"Z:\\proc\\self\\stat") - before;
        pause.Cancel();
        waiter.join();
        EXPECT_FALSE(ended) << "the pause ended long before its deadline";
        EXPECT_LT(used, 0.05) << "seconds of processor time in 0.6 s of waiting";
    }
}

// These press real keys into the system input stream of their Wine desktop and watch them with a
// low-level hook. They use F-keys and S, which none of the test's windows reacts to.
TEST(RealInput, PressKeySendsTheVirtualKeyWithItsScanCodeHeldForTheHold) {
    CKeyRecorder recorder;
    EXPECT_FALSE(PressKey(0));
    EXPECT_TRUE(PressKey('S'));
    EXPECT_TRUE(PressKey(VK_LEFT, true));
    PumpFor(50);
    const std::vector<KeyEvent> events = recorder.Events();
    ASSERT_EQ(events.size(), 4u) << "only the presses of S and Left, nothing for key 0";
    for (size_t i = 0; i < events.size(); ++i) {
        const bool left = i >= 2;
        EXPECT_EQ(events[i].vk, left ? unsigned{VK_LEFT} : unsigned{'S'});
        EXPECT_EQ(events[i].scan, left ? 0x4Bu : 0x1Fu);
        EXPECT_TRUE(events[i].injected);
        EXPECT_EQ(events[i].extended, left);
        EXPECT_EQ(events[i].up, i % 2 == 1);
    }
    // Load only lengthens the hold; one timed from before a slow first key down came out at 89 ms.
    EXPECT_GE(events[1].ms - events[0].ms, 97);
}

namespace {

// The real worker thread over the real dialog's repeater state and a real interval edit.
class RealWorker : public testing::Test {
protected:
    void SetUp() override {
        m_hEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_NUMBER, 0, 0, 80, 20, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_hEdit, nullptr);
        m_edit.m_hWnd = m_hEdit;
        m_dialog.m_pIntervalEdit = &m_edit;
    }

    void TearDown() override {
        m_dialog.StopWorker();
        ::DestroyWindow(m_hEdit);
    }

    void Start(KeyValue key, const wchar_t* interval) {
        ::SetWindowTextW(m_hEdit, interval);
        m_dialog.m_dwCurKey = key;
        m_dialog.StartWorker();
        PumpFor(20);
        m_recorder.Clear();
        m_dialog.ToggleRunning();
    }

    // Stops the worker the way teardown does.
    void Teardown() {
        m_dialog.StopWorker();
        EXPECT_EQ(::WaitForSingleObject(m_dialog.m_hThread, 0), WAIT_OBJECT_0) << "worker still running";
    }

    CKeyRecorder m_recorder;
    HWND m_hEdit = nullptr;
    CWnd m_edit;
    CTapwrenDlg m_dialog;
};

}  // namespace

TEST_F(RealWorker, RepeatsTheVirtualKeyAtTheEditsInterval) {
    Start(0x253, L"250");  // Ctrl + S
    ASSERT_TRUE(PumpUntil([&] { return DownTimes(m_recorder.Events(), 'S').size() >= 3; }, 10000));
    Teardown();
    const std::vector<KeyEvent> events = m_recorder.Events();
    for (const KeyEvent& e : events) {
        EXPECT_EQ(e.vk, 0x53u) << "only S is pressed, never Ctrl";
    }
    EXPECT_TRUE(EveryDownHasItsUp(events));
    // 100 ms held and 250 ms paused; a worker that missed the edit's text would press every 100 ms.
    EXPECT_GE(AverageGap(DownTimes(events, 'S')), 300);
}

TEST_F(RealWorker, TeardownDuringAHoldSendsTheKeyUp) {
    Start(kF7, L"5000");
    ASSERT_TRUE(PumpUntil([&] { return !DownTimes(m_recorder.Events(), kF7).empty(); }, 10000));
    PumpFor(30);
    Teardown();
    const std::vector<KeyEvent> events = m_recorder.Events();
    EXPECT_TRUE(EveryDownHasItsUp(events));
    ASSERT_EQ(Holds(events, kF7).size(), 1u);
    // A first hold that runs its course is never seen shorter than 99 ms; this one is cut at about 30.
    EXPECT_LT(Holds(events, kF7)[0], 98) << "the hold was not cut short";
}
