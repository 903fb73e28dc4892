#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog/TapwrenDlg.h"
#include "support/Inject.h"
#include "support/ProgramFacts.h"
#include "support/Pump.h"
#include "support/Scratch.h"

namespace {

MSG HotKeyMessage(WPARAM id) {
    MSG msg = {};
    msg.message = WM_HOTKEY;
    msg.wParam = id;
    return msg;
}

// The hotkey ids that arrive for `window` within a short while (longer with the patience: a late one
// must still be seen), in order.
std::vector<WPARAM> HotKeysArriving(HWND window) {
    std::vector<WPARAM> ids;
    const double end = CKeyRecorder::NowMs() + 300 * Patience();
    while (CKeyRecorder::NowMs() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, window, WM_HOTKEY, WM_HOTKEY, PM_REMOVE))
            ids.push_back(msg.wParam);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_HOTKEY);
    }
    return ids;
}

// The dialog over a shell that refuses the tray icon a number of times before it takes it.
class CRefusingShellDlg : public CTapwrenDlg {
public:
    BOOL NotifyIcon(DWORD message) override {
        if (message != NIM_ADD)
            return TRUE;
        ++m_adds;
        return m_adds > m_refusals;
    }
    // The program's one-second timer.
    void Tick() {
        LRESULT result = 0;
        OnMessage(WM_TIMER, SYNC_TIMER_ID, 0, result);
    }

    int m_refusals = 0;
    int m_adds = 0;
};

}  // namespace

TEST(HotKeyDispatch, SwitchSwapsByTheWholeValueAndStartStopFlips) {
    CTapwrenDlg dialog;
    dialog.m_setting.m_dwKey1 = 0x253;
    dialog.m_setting.m_dwKey2 = 0x76;
    dialog.m_dwCurKey = 0x253;
    MSG next = HotKeyMessage(HOTKEY_ID_NEXT);
    EXPECT_TRUE(dialog.PreTranslateMessage(&next));
    EXPECT_EQ(dialog.m_dwCurKey, 0x76u);
    EXPECT_TRUE(dialog.PreTranslateMessage(&next));
    EXPECT_EQ(dialog.m_dwCurKey, 0x253u);

    // S without Ctrl is another key value: the switch takes key one, not key two.
    dialog.m_dwCurKey = 0x53;
    dialog.PreTranslateMessage(&next);
    EXPECT_EQ(dialog.m_dwCurKey, 0x253u);

    // Key one equal to key two: the switch settles on that value.
    dialog.m_setting.m_dwKey2 = 0x253;
    dialog.m_dwCurKey = 0x76;
    dialog.PreTranslateMessage(&next);
    EXPECT_EQ(dialog.m_dwCurKey, 0x253u);
    dialog.PreTranslateMessage(&next);
    EXPECT_EQ(dialog.m_dwCurKey, 0x253u);

    MSG stop = HotKeyMessage(HOTKEY_ID_STOP);
    EXPECT_TRUE(dialog.PreTranslateMessage(&stop));
    EXPECT_TRUE(dialog.m_bRunning);
    EXPECT_TRUE(dialog.PreTranslateMessage(&stop));
    EXPECT_FALSE(dialog.m_bRunning);

    MSG other = HotKeyMessage(4003);
    EXPECT_FALSE(dialog.PreTranslateMessage(&other));
    EXPECT_FALSE(dialog.m_bRunning);
    EXPECT_EQ(dialog.m_dwCurKey, 0x253u);
}

// The sync over real hotkey controls, registrations and a settings file in the test's own folder.
class HotKeySyncTest : public testing::Test {
protected:
    HotKeySyncTest() : m_dir(testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    void SetUp() override {
        m_dialog.m_config = CConfig(m_dir.Path());
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        m_hHost = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hHost, nullptr);
        m_dialog.m_hWnd = m_hHost;
        CWnd** bindings[] = {&m_dialog.m_pHotKeyNext, &m_dialog.m_pHotKeyStop, &m_dialog.m_pHotKey1,
                             &m_dialog.m_pHotKey2};
        for (int i = 0; i < 4; ++i) {
            m_controls[i].m_hWnd = ::CreateWindowExW(0, HOTKEY_CLASSW, L"", WS_CHILD, 0, 30 * i, 100, 20, m_hHost,
                                                     nullptr, nullptr, nullptr);
            *bindings[i] = &m_controls[i];
        }
        // Plain keys as hotkeys: see kPlainStop in support/ProgramFacts.h.
        m_dialog.m_setting.m_dwNext = kPlainNext;
        m_dialog.m_setting.m_dwStop = kPlainStop;
        const KeyValue values[] = {m_dialog.m_setting.m_dwNext, m_dialog.m_setting.m_dwStop,
                                   m_dialog.m_setting.m_dwKey1, m_dialog.m_setting.m_dwKey2};
        for (int i = 0; i < 4; ++i)
            Set(m_controls[i], values[i]);
        m_dialog.m_dwCurKey = m_dialog.m_setting.m_dwKey1;
        m_dialog.RegisterHotKeys();
    }

    void TearDown() override {
        ::UnregisterHotKey(m_hHost, HOTKEY_ID_NEXT);
        ::UnregisterHotKey(m_hHost, HOTKEY_ID_STOP);
        m_dialog.m_hWnd = nullptr;
        ::DestroyWindow(m_hHost);
    }

    static void Set(const CWnd& control, KeyValue value) { control.SendMessage(HKM_SETHOTKEY, value & 0xFFFF); }
    std::wstring ConfigFile() const { return m_dir.File(L"cfg.ini"); }
    std::string Saved() const { return m_dir.Bytes(L"cfg.ini"); }

    CScratchDir m_dir;
    HWND m_hHost = nullptr;
    CWnd m_controls[4];
    CRefusingShellDlg m_dialog;
};

TEST_F(HotKeySyncTest, UnchangedControlsNeitherSaveNorReRegister) {
    EXPECT_FALSE(m_dialog.SyncHotKeys());
    EXPECT_EQ(::GetFileAttributesW(ConfigFile().c_str()), INVALID_FILE_ATTRIBUTES);
    InjectCombo(kPlainStop);
    EXPECT_EQ(HotKeysArriving(m_hHost), std::vector<WPARAM>{HOTKEY_ID_STOP});
}

TEST_F(HotKeySyncTest, ChangedStopControlMovesTheRegistrationAndSavesOnce) {
    Set(m_controls[1], VK_F11);
    EXPECT_TRUE(m_dialog.SyncHotKeys());
    EXPECT_EQ(Saved(), "[setting]\r\nnext=121\r\nstop=122\r\nkey1=595\r\nkey2=118\r\ninterval=5000\r\n");
    InjectCombo(VK_F11);
    EXPECT_EQ(HotKeysArriving(m_hHost), std::vector<WPARAM>{HOTKEY_ID_STOP});
    InjectCombo(kPlainStop);
    EXPECT_TRUE(HotKeysArriving(m_hHost).empty()) << "the old combination still arrives";

    RemoveTree(ConfigFile());
    EXPECT_FALSE(m_dialog.SyncHotKeys());
    EXPECT_EQ(::GetFileAttributesW(ConfigFile().c_str()), INVALID_FILE_ATTRIBUTES) << "saved with nothing changed";
}

TEST_F(HotKeySyncTest, KeyEditsAreStoredButTheRepeatedKeyStaysUntilSwitched) {
    Set(m_controls[2], 0x41);  // key one becomes A
    EXPECT_TRUE(m_dialog.SyncHotKeys());
    EXPECT_EQ(m_dialog.m_setting.m_dwKey1, 0x41u);
    EXPECT_EQ(m_dialog.m_dwCurKey, 0x253u);
    MSG next = HotKeyMessage(HOTKEY_ID_NEXT);
    m_dialog.PreTranslateMessage(&next);
    EXPECT_EQ(m_dialog.m_dwCurKey, 0x41u) << "a current key equal to neither becomes key one";
}

TEST_F(HotKeySyncTest, ValueWithBitsAboveFifteenIsReplacedByTheControlsAtTheFirstSync) {
    m_dialog.m_setting.m_dwKey2 = 0x10076;  // as loaded from a hand-edited file; the control shows 0x76
    EXPECT_TRUE(m_dialog.SyncHotKeys());
    EXPECT_EQ(m_dialog.m_setting.m_dwKey2, 0x76u);
    EXPECT_NE(Saved().find("key2=118\r\n"), std::string::npos);
}

TEST_F(HotKeySyncTest, CombinationTheOtherHotkeyHoldsLeavesTheEditedOneUnregistered) {
    Set(m_controls[0], kPlainStop);  // the switch control set to the start/stop hotkey
    EXPECT_TRUE(m_dialog.SyncHotKeys());
    EXPECT_EQ(m_dialog.m_setting.m_dwNext, kPlainStop);
    EXPECT_NE(Saved().find("next=123\r\nstop=123\r\n"), std::string::npos);
    InjectCombo(kPlainStop);
    EXPECT_EQ(HotKeysArriving(m_hHost), std::vector<WPARAM>{HOTKEY_ID_STOP});
    InjectCombo(kPlainNext);
    EXPECT_TRUE(HotKeysArriving(m_hHost).empty());
}

TEST_F(HotKeySyncTest, TrayIconTheShellRefusedIsAskedForEachSecondUntilTakenAndOnlyThen) {
    m_dialog.m_refusals = 2;
    m_dialog.m_bStarted = true;
    m_dialog.Tick();
    EXPECT_EQ(m_dialog.m_adds, 0) << "an icon asked for before the dialog first showed";
    m_dialog.AddTrayIcon();
    for (int second = 0; second < 4; ++second)
        m_dialog.Tick();
    EXPECT_EQ(m_dialog.m_adds, 3) << "refused twice, then taken once and never again";
    m_dialog.m_bStarted = false;
}
