#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dialog/TapwrenDlg.h"
#include "repeater/PressKey.h"
#include "repeater/RepeatThreadProc.h"
#include "support/KeyRecorder.h"
#include "support/Pump.h"

// These tests press real keys into the system input stream of their Wine desktop and watch them with a
// low-level hook. They use F-keys and S, which none of the test's windows reacts to.
namespace {

constexpr unsigned kF7 = VK_F7;
constexpr unsigned kF8 = VK_F8;

class RepeaterTest : public testing::Test {
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

    // Starts repeating `key` at the interval text given, as the start/stop hotkey would.
    void Start(KeyValue key, const wchar_t* interval) {
        ::SetWindowTextW(m_hEdit, interval);
        m_dialog.m_dwCurKey = key;
        m_dialog.StartWorker();
        PumpFor(20);
        m_recorder.Clear();
        m_dialog.ToggleRunning();
    }

    // Stops the worker the way teardown does and says how long that took.
    double Teardown() {
        const double before = CKeyRecorder::NowMs();
        m_dialog.StopWorker();
        const double took = CKeyRecorder::NowMs() - before;
        EXPECT_EQ(::WaitForSingleObject(m_dialog.m_hThread, 0), WAIT_OBJECT_0) << "worker still running";
        return took;
    }

    std::vector<double> Downs(unsigned vk) const { return DownTimes(m_recorder.Events(), vk); }

    // At least `atLeast` presses of `vk` so far, one every `period` ms.
    void ExpectCadence(unsigned vk, size_t atLeast, double period, double tolerance = 15) const {
        const std::vector<double> downs = Downs(vk);
        ASSERT_GE(downs.size(), atLeast);
        EXPECT_NEAR(MedianGap(downs), period, tolerance);
    }

    CKeyRecorder m_recorder;
    HWND m_hEdit = nullptr;
    CWnd m_edit;
    CTapwrenDlg m_dialog;
};

}  // namespace

TEST_F(RepeaterTest, PressesOnlyTheVirtualKeyWithHoldAndPause) {
    Start(0x253, L"250");  // Ctrl + S
    PumpFor(1250);
    Teardown();
    const std::vector<KeyEvent> events = m_recorder.Events();
    ASSERT_FALSE(events.empty());
    for (const KeyEvent& e : events) {
        EXPECT_EQ(e.vk, 0x53u) << "only S is pressed, never Ctrl";
        EXPECT_TRUE(e.injected);
    }
    EXPECT_TRUE(EveryDownHasItsUp(events));
    ExpectCadence(0x53, 3, 350);
    EXPECT_LE(Downs(0x53).size(), 5u);
    EXPECT_NEAR(Median(Holds(events, 0x53)), 100, 10);
}

TEST_F(RepeaterTest, EmptyZeroAndNegativeIntervalsPressBackToBack) {
    for (const wchar_t* text : {L"", L"0", L"-500"}) {
        SCOPED_TRACE(testing::Message() << "interval text of " << std::wcslen(text) << " characters");
        m_dialog.m_bRunning = false;
        Start(kF7, text);
        PumpFor(650);
        m_dialog.ToggleRunning();
        PumpFor(150);
        ExpectCadence(kF7, 5, 100, 10);
        EXPECT_NEAR(Median(Holds(m_recorder.Events(), kF7)), 100, 10);
    }
}

TEST_F(RepeaterTest, FullWidthDigitsAreReadAsTheirNumber) {
    Start(kF7, L"\xFF12\xFF15\xFF10");  // full-width 250
    PumpFor(1150);
    ExpectCadence(kF7, 3, 350);
}

TEST_F(RepeaterTest, EmptyKeySendsNothingButStillPauses) {
    Start(0, L"400");
    PumpFor(100);
    m_dialog.m_dwCurKey = kF7;  // switched during the first pause
    PumpFor(600);
    const std::vector<double> downs = Downs(kF7);
    ASSERT_FALSE(downs.empty());
    const double firstAfterStart = downs[0] - (CKeyRecorder::NowMs() - 700);
    EXPECT_GT(firstAfterStart, 350) << "the pause after an empty key was skipped";
    EXPECT_LT(firstAfterStart, 470);
    EXPECT_EQ(m_recorder.Events().front().vk, kF7) << "an empty key sent input";
}

TEST_F(RepeaterTest, StopDuringPauseTakesEffectWhenThePauseEnds) {
    Start(kF7, L"800");
    PumpFor(300);
    m_dialog.ToggleRunning();  // stop, 200 ms into the pause
    PumpFor(1500);
    EXPECT_EQ(Downs(kF7).size(), 1u);
    EXPECT_TRUE(EveryDownHasItsUp(m_recorder.Events()));

    // Started again while idle, the first press follows at once.
    m_recorder.Clear();
    const double startedAt = CKeyRecorder::NowMs();
    m_dialog.ToggleRunning();
    ASSERT_TRUE(PumpUntil([&] { return !Downs(kF7).empty(); }, 1000));
    EXPECT_LT(Downs(kF7)[0] - startedAt, 20);
}

TEST_F(RepeaterTest, StopAndStartWithinOnePauseGoUnnoticed) {
    Start(kF7, L"500");
    PumpFor(250);
    m_dialog.ToggleRunning();
    PumpFor(100);
    m_dialog.ToggleRunning();
    PumpFor(1200);
    ExpectCadence(kF7, 3, 600);
}

TEST_F(RepeaterTest, SwitchDuringPauseAppliesToNextPress) {
    Start(kF7, L"300");
    PumpFor(200);
    m_dialog.m_dwCurKey = kF8;
    PumpFor(400);
    EXPECT_EQ(Downs(kF7).size(), 1u);
    ASSERT_EQ(Downs(kF8).size(), 1u);
    EXPECT_NEAR(Downs(kF8)[0] - Downs(kF7)[0], 400, 30);
}

TEST_F(RepeaterTest, TeardownWhileIdleIsPromptAndPressesNothing) {
    m_dialog.m_dwCurKey = kF7;
    m_dialog.StartWorker();
    PumpFor(50);
    EXPECT_LT(Teardown(), 100);
    EXPECT_TRUE(m_recorder.Events().empty());
}

TEST_F(RepeaterTest, TeardownDuringPauseEndsThePauseAtOnce) {
    Start(kF7, L"5000");
    PumpFor(1000);
    EXPECT_LT(Teardown(), 100);
    EXPECT_EQ(Downs(kF7).size(), 1u);
    EXPECT_TRUE(EveryDownHasItsUp(m_recorder.Events()));
}

TEST_F(RepeaterTest, TeardownDuringHoldSendsTheKeyUp) {
    Start(kF7, L"5000");
    ASSERT_TRUE(PumpUntil([&] { return !Downs(kF7).empty(); }, 1000));
    PumpFor(30);
    EXPECT_LT(Teardown(), 60);
    const std::vector<KeyEvent> events = m_recorder.Events();
    EXPECT_TRUE(EveryDownHasItsUp(events));
    ASSERT_EQ(Holds(events, kF7).size(), 1u);
    EXPECT_LT(Holds(events, kF7)[0], 90) << "the hold was not cut short";
}

TEST(Pause, MillisecondFallbackKeepsDeadlinesAndCancels) {
    for (bool highResolution : {true, false}) {
        CPause pause(highResolution);
        if (!highResolution) {
            EXPECT_FALSE(pause.HasHighResolutionTimer());
        }
        const LONGLONG start = CPause::Now();
        EXPECT_TRUE(pause.WaitUntil(start + CPause::Ticks(50)));
        const double waited = static_cast<double>(CPause::Now() - start) / static_cast<double>(CPause::Ticks(1));
        EXPECT_GE(waited, 50);
        EXPECT_LT(waited, 70);
        EXPECT_TRUE(pause.WaitUntil(start));  // a deadline already past returns at once

        std::thread canceller([&] {
            ::Sleep(30);
            pause.Cancel();
        });
        const LONGLONG before = CPause::Now();
        EXPECT_FALSE(pause.WaitUntil(before + CPause::Ticks(5000)));
        EXPECT_LT(CPause::Now() - before, CPause::Ticks(500));
        EXPECT_FALSE(pause.WaitForWake());
        canceller.join();
    }
}

TEST(CycleMilliseconds, HoldPlusIntervalButNeverZero) {
    EXPECT_EQ(CycleMilliseconds(true, 250), 350);
    EXPECT_EQ(CycleMilliseconds(true, 0), 100);
    EXPECT_EQ(CycleMilliseconds(true, -5), 100);
    EXPECT_EQ(CycleMilliseconds(false, 400), 400);
    EXPECT_EQ(CycleMilliseconds(false, 0), 1) << "an empty key without a pause would spin";
    EXPECT_EQ(CycleMilliseconds(false, INT32_MIN), 1);
    EXPECT_EQ(CycleMilliseconds(true, INT32_MAX), 2147483747LL);
}

TEST(PressKey, EmptyKeySendsNothingAndDoesNotHold) {
    CKeyRecorder recorder;
    CPause pause;
    const LONGLONG before = CPause::Now();
    EXPECT_FALSE(PressKey(0, pause));
    EXPECT_LT(CPause::Now() - before, CPause::Ticks(20));
    EXPECT_TRUE(PressKey(VK_F9, pause));
    PumpFor(50);
    const std::vector<KeyEvent> events = recorder.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].vk, static_cast<unsigned>(VK_F9));
    EXPECT_FALSE(events[0].up);
    EXPECT_TRUE(events[1].up);
    EXPECT_NEAR(events[1].ms - events[0].ms, 100, 10);
}
