#pragma once

#include <windows.h>
#include <shellapi.h>

#include <atomic>

#include "common/KeyValue.h"
#include "common/Setting.h"
#include "framework/Dialog.h"
#include "repeater/Pause.h"
#include "repeater/RepeaterState.h"
#include "res/resource.h"
#include "settings/Config.h"

constexpr int HOTKEY_ID_NEXT = 4001;  // switches between key one and key two
constexpr int HOTKEY_ID_STOP = 4002;  // starts and stops repeating
constexpr UINT_PTR SYNC_TIMER_ID = 0;
constexpr UINT SYNC_PERIOD_MS = 1000;
constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;
constexpr UINT WM_ADDTRAYICON = WM_APP + 1;
constexpr UINT TRAY_ICON_ID = IDR_MAINFRAME;

// The main dialog. It holds all of the program's run-time state: the repeater state that the worker
// thread reads, the settings, the tray icon and the controls it edits them with.
class CTapwrenDlg : public CDialog, public IRepeaterState {
public:
    explicit CTapwrenDlg(CWnd* pParent = nullptr);

    // Acts on the two global hotkeys before anything else sees them.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The RegisterHotKey modifiers of a key value.
    static UINT HotKeyToModifiers(KeyValue value);
    // Once a second: re-registers hotkeys whose control changed and saves the settings if any
    // control did, or if the last save could not be made. Returns whether anything changed.
    BOOL SyncHotKeys();
    // Fills the icon data and asks the shell for the icon; returns 0 whether or not the shell took it.
    LRESULT AddTrayIcon();
    // Once a second: asks the shell again for an icon it refused (busy, or not yet up at log-on), so
    // that a minimised dialog can always be brought back. An icon the shell took is never added again.
    void KeepTrayIcon();
    // The shell's notification area. Virtual so that a test can play a shell that refuses.
    virtual BOOL NotifyIcon(DWORD message);

    // Registers the switch hotkey, then the start/stop hotkey.
    void RegisterHotKeys();
    void UnregisterHotKeys();
    void StartWorker();
    // Clears the alive flag, cuts the worker's current wait short and waits for it to end, serving
    // its read of the interval edit meanwhile. Afterwards nothing reads this object's state.
    void StopWorker();
    void ToggleRunning();
    // Key one becomes current unless it already is; then key two does.
    void SwitchKey();

    // The repeater state as the worker sees it.
    KeyValue CurrentKey() const override { return m_dwCurKey; }
    bool IsRunning() const override { return m_bRunning; }
    bool IsAlive() const override { return m_bAlive; }
    IPause& Pause() override { return m_pause; }
    std::wstring ReadInterval() override { return m_pIntervalEdit->GetWindowText(); }

    HICON m_hIcon;
    NOTIFYICONDATAW m_nid;

    // Repeater state, shared with the worker. The user-interface thread writes the key and the flags,
    // the worker only reads them; each is atomic so that a write is seen at the worker's next test.
    std::atomic<KeyValue> m_dwCurKey{0};
    HANDLE m_hThread = nullptr;
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bAlive{false};
    CWnd* m_pIntervalEdit = nullptr;

    CConfig m_config;
    CSetting m_setting;
    // The controls belong to the dialog's window; these only point at them.
    CWnd* m_pHotKeyNext = nullptr;
    CWnd* m_pHotKeyStop = nullptr;
    CWnd* m_pHotKey1 = nullptr;
    CWnd* m_pHotKey2 = nullptr;

    CPause m_pause;  // the worker's waits, cancelled by teardown
    // Start-up got past the single-instance test. A second instance never does, and its teardown
    // must then leave the settings file, the hotkeys and the tray alone.
    bool m_bStarted = false;
    // The last save could not be made (a full disk, say): the sync tries again until one is.
    bool m_bSaveFailed = false;
    // The shell has the tray icon.
    bool m_bTrayIconShown = false;

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool OnPaint();
    HICON OnQueryDragIcon() const { return m_hIcon; }
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType);
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    void OnEndSession(BOOL bEnding);
    void SaveSettings();
    // Stores the interval edit's number in the settings and saves them.
    void SaveOnClose();
};
