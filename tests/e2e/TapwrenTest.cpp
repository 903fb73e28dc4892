#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "support/TapwrenProcess.h"
#include "support/Inject.h"
#include "support/KeyRecorder.h"
#include "support/ProgramFacts.h"
#include "support/Pump.h"
#include "support/Scratch.h"

// Each test starts the real Tapwren.exe from a folder of its own and drives it from outside. They
// assume a US keyboard layout (the default switch hotkey is Ctrl + `) and no other instance running;
// keys are observed with a low-level hook in this process.
namespace {

bool IsModifier(unsigned vk) {
    return vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL || vk == VK_SHIFT || vk == VK_LSHIFT ||
           vk == VK_RSHIFT || vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
}

class TapwrenTest : public testing::Test {
protected:
    TapwrenTest() : m_dir(testing::UnitTest::GetInstance()->current_test_info()->name()), m_app(m_dir.Path()) {}

    std::wstring ConfigFile() const { return m_dir.File(L"cfg.ini"); }
    std::string Config() const { return m_dir.Bytes(L"cfg.ini"); }
    bool ConfigExists() const { return ::GetFileAttributesW(ConfigFile().c_str()) != INVALID_FILE_ATTRIBUTES; }

    CScratchDir m_dir;
    CTapwrenProcess m_app;
    CKeyRecorder m_recorder;
};

}  // namespace

TEST_F(TapwrenTest, FirstRunShowsTheDefaultsAndCloseWritesThem) {
    ASSERT_TRUE(m_app.Start());
    EXPECT_EQ(m_app.Text(m_app.Dialog()), kTitle);
    EXPECT_EQ(m_app.Text(m_app.Control(IDC_EDIT_INTERVAL)), L"5000");
    EXPECT_EQ(m_app.HotKey(IDC_HOTKEY_NEXT), 0x2C0u);
    EXPECT_EQ(m_app.HotKey(IDC_HOTKEY_STOP), 0x27Bu);
    EXPECT_EQ(m_app.HotKey(IDC_HOTKEY_KEY1), 0x253u);
    EXPECT_EQ(m_app.HotKey(IDC_HOTKEY_KEY2), 0x76u);
    EXPECT_TRUE(TrayIconExists(m_app.Dialog()));
    ASSERT_TRUE(m_app.Sync());
    EXPECT_FALSE(ConfigExists()) << "the sync saved although nothing changed";
    const HWND dialog = m_app.Dialog();
    EXPECT_GE(m_app.CloseWith(WM_CLOSE), 0);
    EXPECT_EQ(Config(), kDefaultsFile);
    EXPECT_FALSE(TrayIconExists(dialog));
    EXPECT_EQ(m_dir.List(), (std::vector<std::wstring>{L"Tapwren.exe", L"cfg.ini"}));
}

TEST_F(TapwrenTest, StartStopHotkeyRepeatsKeyOneWithoutItsModifiers) {
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWithPlainHotKeys(0x253, 0x76, 250)));  // key one Ctrl + S
    ASSERT_TRUE(m_app.Start());
    InjectCombo(kPlainStop);
    ASSERT_TRUE(PumpUntil([&] { return DownTimes(m_recorder.Events(), 'S').size() >= 3; }, 10000));
    InjectCombo(kPlainStop);
    const size_t pressesBeforeTheStop = DownTimes(m_recorder.Events(), 'S').size();
    WatchFor(1000);
    const std::vector<KeyEvent> events = m_recorder.Events();
    const std::vector<double> downs = DownTimes(events, 'S');
    // A press whose cycle began before the stop arrived may still come; none after it.
    EXPECT_LE(downs.size(), pressesBeforeTheStop + 1) << "presses went on after the stop";
    // 100 ms held and 250 ms paused; a program that missed the interval would press every 100 ms.
    EXPECT_GE(AverageGap(downs), 300);
    size_t modifierDowns = 0;
    for (const KeyEvent& e : events)
        modifierDowns += !e.up && IsModifier(e.vk) ? 1 : 0;
    EXPECT_EQ(modifierDowns, 0u) << "a modifier was pressed with key one";
    EXPECT_TRUE(EveryDownHasItsUp(OfKeys(events, {'S'})));
    EXPECT_GE(m_app.CloseWith(WM_CLOSE), 0);
}

TEST_F(TapwrenTest, FirstPressAfterStartUpIsHeldInFull) {
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWith(VK_F8, VK_F7, 5000)));
    ASSERT_TRUE(m_app.Start());
    m_app.PostHotKey(HOTKEY_ID_STOP);  // the worker's very first press, on its fresh thread
    ASSERT_TRUE(PumpUntil([&] { return Holds(m_recorder.Events(), VK_F8).size() == 1; }, 10000));
    // Load only lengthens the hold; one timed from before a slow first key down came out at 89 ms.
    EXPECT_GE(Holds(m_recorder.Events(), VK_F8)[0], 97);
    m_app.PostHotKey(HOTKEY_ID_STOP);
}

TEST_F(TapwrenTest, SwitchHotkeyAlternatesKeyOneAndKeyTwo) {
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWithPlainHotKeys(VK_F8, VK_F7, 200)));
    ASSERT_TRUE(m_app.Start());
    // The keys pressed, one digit for each run of presses of one key: 1 for key one, 2 for key two.
    const auto runs = [&] {
        std::string sequence;
        for (const KeyEvent& e : m_recorder.Events()) {
            if (!e.up && (e.vk == VK_F7 || e.vk == VK_F8)) {
                const char c = e.vk == VK_F8 ? '1' : '2';
                if (sequence.empty() || sequence.back() != c)
                    sequence += c;
            }
        }
        return sequence;
    };
    InjectCombo(kPlainStop);
    ASSERT_TRUE(PumpUntil([&] { return runs() == "1"; }, 10000));
    InjectCombo(kPlainNext);
    ASSERT_TRUE(PumpUntil([&] { return runs() == "12"; }, 10000));
    InjectCombo(kPlainNext);
    ASSERT_TRUE(PumpUntil([&] { return runs() == "121"; }, 10000));
    InjectCombo(kPlainStop);
    WatchFor(400);
    EXPECT_EQ(runs(), "121");
    EXPECT_TRUE(EveryDownHasItsUp(OfKeys(m_recorder.Events(), {VK_F8, VK_F7})));
}

// The one test that waits for the program's own one-second timer; the others run the sync at once.
TEST_F(TapwrenTest, EditedHotkeyControlIsRegisteredAndSavedByTheTimersSync) {
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWithPlainHotKeys(VK_F8, VK_F7, 300)));
    ASSERT_TRUE(m_app.Start());
    m_app.SetHotKey(IDC_HOTKEY_STOP, VK_F11);  // start/stop becomes F11
    ASSERT_TRUE(PumpUntil([&] { return Config().find("stop=122\r\n") != std::string::npos; }, 5000));
    EXPECT_EQ(Config(), "[setting]\r\nnext=121\r\nstop=122\r\nkey1=119\r\nkey2=118\r\ninterval=300\r\n");
    InjectCombo(kPlainStop);
    WatchFor(300);
    EXPECT_TRUE(DownTimes(m_recorder.Events(), VK_F8).empty()) << "the old start/stop hotkey still works";
    InjectCombo(VK_F11);
    EXPECT_TRUE(PumpUntil([&] { return !DownTimes(m_recorder.Events(), VK_F8).empty(); }, 10000));
    InjectCombo(VK_F11);
}

TEST_F(TapwrenTest, IntervalEditReachesTheFileOnlyAtClose) {
    ASSERT_TRUE(m_app.Start());
    m_app.SetIntervalText(L"250");
    ASSERT_TRUE(m_app.Sync());
    EXPECT_FALSE(ConfigExists());
    EXPECT_GE(m_app.CloseWith(WM_SYSCOMMAND, SC_CLOSE), 0);
    EXPECT_EQ(Config(), ConfigWith(0x253, 0x76, 250));
}

TEST_F(TapwrenTest, SecondInstanceEndsAtOnceAndChangesNothing) {
    const std::string original = ConfigWithPlainHotKeys(VK_F8, VK_F7, 1234);
    ASSERT_TRUE(WriteBytes(ConfigFile(), original));
    ASSERT_TRUE(m_app.Start());
    {
        CTapwrenProcess second(m_dir.Path());
        DWORD exitCode = 99;
        ASSERT_TRUE(second.StartExpectingExit(5000, exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_FALSE(second.ShowedAWindow()) << "the second copy's dialog flashed up";
    }
    {
        CScratchDir otherDir("SecondInstanceElsewhere");
        CTapwrenProcess elsewhere(otherDir.Path());
        DWORD exitCode = 99;
        ASSERT_TRUE(elsewhere.StartExpectingExit(5000, exitCode));
        EXPECT_FALSE(elsewhere.ShowedAWindow());
        EXPECT_EQ(otherDir.List(), std::vector<std::wstring>{L"Tapwren.exe"});
    }
    EXPECT_EQ(Config(), original);
    EXPECT_TRUE(m_app.IsRunning());
    EXPECT_TRUE(TrayIconExists(m_app.Dialog()));
    InjectCombo(kPlainStop);  // the first instance's hotkeys still work
    EXPECT_TRUE(PumpUntil([&] { return !DownTimes(m_recorder.Events(), VK_F8).empty(); }, 10000));
    InjectCombo(kPlainStop);
}

TEST_F(TapwrenTest, CopyBesideOneRunAsAdministratorEndsAtOnce) {
    // A copy run as administrator holds the instance mutex with a security descriptor that grants an
    // ordinary copy nothing; this test's empty DACL does the same.
    SECURITY_DESCRIPTOR descriptor;
    ACL acl;
    ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::InitializeAcl(&acl, sizeof(acl), ACL_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE));
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    const HANDLE elevated = ::CreateMutexW(&attributes, TRUE, L"TOVRIK_TAPWREN_RUNNING_INSTANCE");
    ASSERT_NE(elevated, nullptr);
    DWORD exitCode = 99;
    EXPECT_TRUE(m_app.StartExpectingExit(5000, exitCode));
    ::CloseHandle(elevated);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(m_app.ShowedAWindow()) << "a second copy ran beside the elevated one";
    EXPECT_EQ(m_dir.List(), std::vector<std::wstring>{L"Tapwren.exe"});
}

TEST_F(TapwrenTest, MinimiseHidesAndTheTrayBringsItBackOrQuits) {
    ASSERT_TRUE(m_app.Start());
    const HWND dialog = m_app.Dialog();
    ::SendMessageW(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(dialog); }, 10000));
    EXPECT_EQ(::SendMessageW(dialog, WM_TRAYNOTIFY, TRAY_ICON_ID - 1, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(::SendMessageW(dialog, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN), 0);
    WatchFor(200);
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(::SendMessageW(dialog, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(dialog) && !::IsIconic(dialog); }, 10000));
    // The menu's "Quit(&Q)" sends IDCANCEL.
    EXPECT_GE(m_app.CloseWith(WM_COMMAND, IDCANCEL), 0);
    EXPECT_EQ(Config(), kDefaultsFile);
}

TEST_F(TapwrenTest, TrayMenuOffersQuit) {
    ASSERT_TRUE(m_app.Start());
    ::PostMessageW(m_app.Dialog(), WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            menu = ::FindWindowW(L"#32768", nullptr);
            return menu != nullptr && ::IsWindowVisible(menu);
        },
        10000));
    // Menus cannot be read across processes under Wine: choose the one item from the keyboard instead.
    ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(m_app.WaitForExit(10000));
    EXPECT_EQ(Config(), kDefaultsFile);
}

TEST_F(TapwrenTest, EscapeAndEnterCloseAndSave) {
    for (UINT key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_ESCAPE ? "Escape" : "Enter");
        RemoveTree(ConfigFile());
        CTapwrenProcess app(m_dir.Path());
        ASSERT_TRUE(app.Start());
        app.SetIntervalText(L"777");
        // Posted to the focused edit, the key passes through the dialog's own loop as a typed key does.
        ::PostMessageW(app.Control(IDC_EDIT_INTERVAL), WM_KEYDOWN, key, 1);
        EXPECT_TRUE(app.WaitForExit(10000));
        EXPECT_EQ(Config(), ConfigWith(0x253, 0x76, 777));
    }
}

TEST_F(TapwrenTest, ClosingDuringALongPauseIsPromptAndLeavesNoKeyDown) {
    // The longest pause: a close that waited for it could not pass however late the hold was seen.
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWith(VK_F8, VK_F7, 2147483647)));
    ASSERT_TRUE(m_app.Start());
    m_app.PostHotKey(HOTKEY_ID_STOP);
    ASSERT_TRUE(PumpUntil([&] { return Holds(m_recorder.Events(), VK_F8).size() == 1; }, 10000));
    PumpFor(500);
    const double took = m_app.CloseWith(WM_CLOSE);
    EXPECT_GE(took, 0);
    EXPECT_LT(took, 4000) << "the close waited for the pause to end";
    EXPECT_TRUE(EveryDownHasItsUp(OfKeys(m_recorder.Events(), {VK_F8, VK_F7})));
    EXPECT_EQ(Config(), ConfigWith(VK_F8, VK_F7, 2147483647));
}

TEST_F(TapwrenTest, ClosingDuringAHoldSendsTheKeyUp) {
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWith(VK_F8, VK_F7, 5000)));
    ASSERT_TRUE(m_app.Start());
    m_app.PostHotKey(HOTKEY_ID_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !DownTimes(m_recorder.Events(), VK_F8).empty(); }, 10000));
    EXPECT_GE(m_app.CloseWith(WM_CLOSE), 0);
    const std::vector<KeyEvent> pressed = OfKeys(m_recorder.Events(), {VK_F8});
    EXPECT_TRUE(EveryDownHasItsUp(pressed));
    ASSERT_EQ(Holds(pressed, VK_F8).size(), 1u);
    // A first hold that runs its course is never seen shorter than 99 ms.
    EXPECT_LT(Holds(pressed, VK_F8)[0], 98) << "the close waited for the hold instead of ending it";
}

TEST_F(TapwrenTest, EndOfSessionSavesTheTypedInterval) {
    ASSERT_TRUE(m_app.Start());
    m_app.SetIntervalText(L"4321");
    ::SendMessageW(m_app.Dialog(), WM_QUERYENDSESSION, 0, 0);
    ::SendMessageW(m_app.Dialog(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(Config(), ConfigWith(0x253, 0x76, 4321));
    m_app.Kill();  // the session ends the process without a teardown
    EXPECT_EQ(Config(), ConfigWith(0x253, 0x76, 4321));
}

TEST_F(TapwrenTest, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    ASSERT_TRUE(m_app.Start());
    const HWND dialog = m_app.Dialog();
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = dialog;
    nid.uID = TRAY_ICON_ID;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &nid));  // as if the shell had lost it
    EXPECT_FALSE(TrayIconExists(dialog));
    ::SendMessageW(dialog, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconExists(dialog));
}
