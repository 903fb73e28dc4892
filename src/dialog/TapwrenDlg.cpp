#include "TapwrenDlg.h"

#include <commctrl.h>

#include "common/Decimal.h"
#include "framework/PaintDC.h"
#include "framework/ScopedMenu.h"
#include "framework/WinApp.h"
#include "repeater/RepeatThreadProc.h"
#include "shell/SingleInstance.h"
#include "shell/Title.h"

namespace {

// Broadcast by the shell when the taskbar is created again (Explorer restarted): every icon is gone.
const UINT WM_TASKBARCREATED = ::RegisterWindowMessageW(L"TaskbarCreated");

// The icon data up to and including guidItem, without the balloon icon: its size follows the size of
// the handles in it.
#ifdef _WIN64
constexpr DWORD kNotifyIconDataSize = 968;
#else
constexpr DWORD kNotifyIconDataSize = 952;
#endif
static_assert(offsetof(NOTIFYICONDATAW, hBalloonIcon) == kNotifyIconDataSize, "NOTIFYICONDATAW layout");

// The four hotkey controls, in the order they are filled, read and compared: each with its global
// hotkey (the two keys have none), its control and the setting it edits.
constexpr int kNotRegistered = 0;
struct HotKeyControl {
    int hotKeyId;
    int controlId;
    CWnd* CTapwrenDlg::*control;
    KeyValue CSetting::*setting;
};
constexpr HotKeyControl kHotKeyControls[] = {
    {HOTKEY_ID_NEXT, IDC_HOTKEY_NEXT, &CTapwrenDlg::m_pHotKeyNext, &CSetting::m_dwNext},
    {HOTKEY_ID_STOP, IDC_HOTKEY_STOP, &CTapwrenDlg::m_pHotKeyStop, &CSetting::m_dwStop},
    {kNotRegistered, IDC_HOTKEY_KEY1, &CTapwrenDlg::m_pHotKey1, &CSetting::m_dwKey1},
    {kNotRegistered, IDC_HOTKEY_KEY2, &CTapwrenDlg::m_pHotKey2, &CSetting::m_dwKey2},
};
constexpr size_t kHotKeyControlCount = sizeof(kHotKeyControls) / sizeof(kHotKeyControls[0]);

}  // namespace

CTapwrenDlg::CTapwrenDlg(CWnd* pParent) : CDialog(IDD_MAIN_DIALOG, pParent), m_nid{} {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

UINT CTapwrenDlg::HotKeyToModifiers(KeyValue value) {
    return RegistrationModifiersOf(value);
}

BOOL CTapwrenDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_HOTKEY) {
        switch (pMsg->wParam) {
            case HOTKEY_ID_NEXT:
                SwitchKey();
                return TRUE;
            case HOTKEY_ID_STOP:
                ToggleRunning();
                return TRUE;
            default:
                break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CTapwrenDlg::SwitchKey() {
    m_dwCurKey = SwitchedKey(m_dwCurKey, m_setting.m_dwKey1, m_setting.m_dwKey2);
}

void CTapwrenDlg::ToggleRunning() {
    m_bRunning = !m_bRunning;
    m_pause.Wake();
}

void CTapwrenDlg::RegisterHotKeys() {
    for (const HotKeyControl& c : kHotKeyControls) {
        if (c.hotKeyId == kNotRegistered)
            continue;
        const KeyValue value = m_setting.*c.setting;
        ::RegisterHotKey(m_hWnd, c.hotKeyId, HotKeyToModifiers(value), VirtualKeyOf(value));
    }
}

void CTapwrenDlg::UnregisterHotKeys() {
    for (const HotKeyControl& c : kHotKeyControls) {
        if (c.hotKeyId != kNotRegistered)
            ::UnregisterHotKey(m_hWnd, c.hotKeyId);
    }
}

BOOL CTapwrenDlg::SyncHotKeys() {
    KeyValue values[kHotKeyControlCount];
    for (size_t i = 0; i < kHotKeyControlCount; ++i)
        values[i] = static_cast<KeyValue>((this->*kHotKeyControls[i].control)->SendMessage(HKM_GETHOTKEY));
    bool changed = false;
    for (size_t i = 0; i < kHotKeyControlCount; ++i) {
        const HotKeyControl& c = kHotKeyControls[i];
        KeyValue& stored = m_setting.*c.setting;
        if (values[i] == stored)
            continue;
        // The old registration goes first, so a combination the other hotkey or another program holds
        // leaves this hotkey unregistered until its control changes again.
        if (c.hotKeyId != kNotRegistered) {
            ::UnregisterHotKey(m_hWnd, c.hotKeyId);
            ::RegisterHotKey(m_hWnd, c.hotKeyId, HotKeyToModifiers(values[i]), VirtualKeyOf(values[i]));
        }
        stored = values[i];
        changed = true;
    }
    if (changed || m_bSaveFailed)
        SaveSettings();
    return changed;
}

void CTapwrenDlg::StartWorker() {
    if (m_hThread != nullptr)
        return;
    m_bAlive = true;
    IRepeaterState* state = this;
    m_hThread = ::CreateThread(nullptr, 0, RepeatThreadProc, state, 0, nullptr);
}

void CTapwrenDlg::StopWorker() {
    m_bAlive = false;
    m_pause.Cancel();
    if (m_hThread == nullptr)
        return;
    // The worker may be waiting for this thread to hand it the edit's text, so serve sent messages
    // while waiting instead of blocking outright.
    for (;;) {
        const DWORD waited = ::MsgWaitForMultipleObjects(1, &m_hThread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (waited != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

LRESULT CTapwrenDlg::AddTrayIcon() {
    m_nid.cbSize = kNotifyIconDataSize;
    m_nid.hWnd = m_hWnd;
    m_nid.uID = TRAY_ICON_ID;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAYNOTIFY;
    m_nid.hIcon = ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    lstrcpynW(m_nid.szTip, L"Flickpane", ARRAYSIZE(m_nid.szTip));
    m_bTrayIconShown = NotifyIcon(NIM_ADD) != FALSE;
    return 0;
}

void CTapwrenDlg::KeepTrayIcon() {
    if (m_nid.hWnd != nullptr && !m_bTrayIconShown)
        m_bTrayIconShown = NotifyIcon(NIM_ADD) != FALSE;
}

BOOL CTapwrenDlg::NotifyIcon(DWORD message) {
    return ::Shell_NotifyIconW(message, &m_nid);
}

BOOL CTapwrenDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    if (!CheckSingleInstance(kInstanceMutexName))
        return FALSE;
    m_bStarted = true;
    // A copy run as administrator receives no message from a program of lower integrity, the shell's
    // included, but those it lets in: without this its icon would not come back after Explorer restarts.
    ::ChangeWindowMessageFilterEx(m_hWnd, WM_TASKBARCREATED, MSGFLT_ALLOW, nullptr);
    ComposeTitle(*this);
    m_config.Load(m_setting);
    m_dwCurKey = m_setting.m_dwKey1;
    m_bRunning = false;
    m_hThread = nullptr;

    m_pIntervalEdit = GetDlgItem(IDC_EDIT_INTERVAL);
    for (const HotKeyControl& c : kHotKeyControls)
        this->*c.control = GetDlgItem(c.controlId);
    m_pIntervalEdit->SetWindowText(IntToString(m_setting.m_nInterval).c_str());
    for (const HotKeyControl& c : kHotKeyControls)
        (this->*c.control)->SendMessage(HKM_SETHOTKEY, HotKeyWord(m_setting.*c.setting));

    RegisterHotKeys();
    // The tray icon follows when the dialog first shows (WM_SHOWWINDOW below): adding it waits on
    // the shell for longer than the rest of start-up takes.
    ::SetTimer(m_hWnd, SYNC_TIMER_ID, SYNC_PERIOD_MS, nullptr);
    StartWorker();
    return TRUE;
}

bool CTapwrenDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TASKBARCREATED && m_bStarted) {
        // Every icon went with the old taskbar.
        m_bTrayIconShown = false;
        KeepTrayIcon();
        return false;
    }
    switch (message) {
        case WM_PAINT:
            return OnPaint();
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
            return true;
        case WM_TRAYNOTIFY:
            result = OnTrayNotify(wParam, lParam);
            return true;
        case WM_SHOWWINDOW:
            if (wParam && m_bStarted && m_nid.hWnd == nullptr)
                ::PostMessageW(m_hWnd, WM_ADDTRAYICON, 0, 0);
            return false;
        case WM_ADDTRAYICON:
            if (m_bStarted && m_nid.hWnd == nullptr)
                AddTrayIcon();
            return true;
        case WM_SIZE:
            OnSize(static_cast<UINT>(wParam));
            return false;
        case WM_DESTROY:
            OnDestroy();
            return false;
        case WM_TIMER:
            OnTimer(wParam);
            return false;
        case WM_ENDSESSION:
            OnEndSession(static_cast<BOOL>(wParam));
            return false;
        default:
            return CDialog::OnMessage(message, wParam, lParam, result);
    }
}

bool CTapwrenDlg::OnPaint() {
    if (!::IsIconic(m_hWnd))
        return false;
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()));
    RECT rect;
    ::GetClientRect(m_hWnd, &rect);
    const int x = (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.Get(), x, y, m_hIcon);
    return true;
}

LRESULT CTapwrenDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    if (wParam != TRAY_ICON_ID)
        return 1;
    switch (lParam) {
        case WM_LBUTTONDBLCLK:
            ShowWindow(SW_SHOWNORMAL);
            ::SetForegroundWindow(m_hWnd);
            break;
        case WM_RBUTTONUP: {
            POINT cursor;
            ::GetCursorPos(&cursor);
            CScopedMenu menu;
            ::AppendMenuW(menu.Get(), MF_STRING, IDCANCEL, L"Quit(&Q)");
            // Deliberately without SetForegroundWindow first, though that is the usual way to make a
            // click elsewhere close the menu: the window the user works in keeps the focus while the
            // menu is open, as it always has in this program.
            ::TrackPopupMenu(menu.Get(), 0, cursor.x, cursor.y, 0, m_hWnd, nullptr);
            break;
        }
        default:
            break;
    }
    return 0;
}

void CTapwrenDlg::OnSize(UINT nType) {
    if (nType == SIZE_MINIMIZED)
        ShowWindow(SW_HIDE);
}

void CTapwrenDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == SYNC_TIMER_ID && m_bStarted) {
        SyncHotKeys();
        KeepTrayIcon();
    }
}

void CTapwrenDlg::SaveSettings() {
    m_bSaveFailed = !m_config.Save(m_setting);
}

void CTapwrenDlg::SaveOnClose() {
    m_setting.m_nInterval = ParseDecimal(m_pIntervalEdit->GetWindowText().c_str());
    SaveSettings();
}

void CTapwrenDlg::OnDestroy() {
    if (!m_bStarted)
        return;
    StopWorker();
    SaveOnClose();
    UnregisterHotKeys();
    NotifyIcon(NIM_DELETE);
    m_bStarted = false;
}

void CTapwrenDlg::OnEndSession(BOOL bEnding) {
    // The session may end this process without a teardown: save now and let go of any key held down.
    if (!bEnding || !m_bStarted)
        return;
    StopWorker();
    SaveOnClose();
}
