// The work floor: only the work Tapwren itself must do at start-up and at exit, in plain Win32 with
// nothing of its framework or program logic around it. Same dialog template, manifest, icon and
// version block (it is built from Tapwren's resources); common controls; the instance mutex; the
// title with the version; the five settings read from cfg.ini and, at exit, saved the way Tapwren
// saves them; both hotkeys registered and unregistered; the tray icon added and removed; the sync
// timer; one worker thread that waits on an event and is joined at exit. Its start-up and exit are
// the least Tapwren's can be. Built and run by bench/run.sh only.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "common/Decimal.h"
#include "common/KeyValue.h"
#include "framework/ModulePath.h"
#include "PlainDialog.h"
#include "res/resource.h"
#include "settings/Config.h"
#include "shell/FileVersion.h"
#include "shell/Title.h"

namespace {

constexpr UINT WM_ADDTRAYICON = WM_APP + 1;
const int kHotKeyControls[] = {IDC_HOTKEY_NEXT, IDC_HOTKEY_STOP, IDC_HOTKEY_KEY1, IDC_HOTKEY_KEY2};

CSetting g_setting;
NOTIFYICONDATAW g_nid = {};
HANDLE g_stop = nullptr;
HANDLE g_worker = nullptr;

DWORD WINAPI Worker(LPVOID) {
    ::WaitForSingleObject(g_stop, INFINITE);
    return 0;
}

// As Tapwren's dialog is placed: centred in the work area of its monitor.
void CenterOnScreen(HWND dialog) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT window;
    ::GetWindowRect(dialog, &window);
    const RECT& work = monitor.rcWork;
    ::SetWindowPos(dialog, nullptr, work.left + ((work.right - work.left) - (window.right - window.left)) / 2,
                   work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void StartUp(HWND dialog) {
    ::CreateMutexW(nullptr, TRUE, L"TOVRIK_TAPWREN_WORK_FLOOR");
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    std::wstring version;
    if (GetFileVersionString(GetModulePath().c_str(), version) != 0)
        version.clear();
    ::SetWindowTextW(dialog, TitleForVersion(version).c_str());
    CConfig().Load(g_setting);
    ::SetDlgItemTextW(dialog, IDC_EDIT_INTERVAL, IntToString(g_setting.m_nInterval).c_str());
    const KeyValue values[] = {g_setting.m_dwNext, g_setting.m_dwStop, g_setting.m_dwKey1, g_setting.m_dwKey2};
    for (int i = 0; i < 4; ++i)
        ::SendDlgItemMessageW(dialog, kHotKeyControls[i], HKM_SETHOTKEY, HotKeyWord(values[i]), 0);
    CenterOnScreen(dialog);
    ::RegisterHotKey(dialog, 4001, RegistrationModifiersOf(g_setting.m_dwNext), VirtualKeyOf(g_setting.m_dwNext));
    ::RegisterHotKey(dialog, 4002, RegistrationModifiersOf(g_setting.m_dwStop), VirtualKeyOf(g_setting.m_dwStop));
    ::PostMessageW(dialog, WM_ADDTRAYICON, 0, 0);  // once shown, as Tapwren does
    ::SetTimer(dialog, 0, 1000, nullptr);
    g_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_worker = ::CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr);
}

void AddTrayIcon(HWND dialog) {
    g_nid.cbSize = sizeof(g_nid);
    g_nid.hWnd = dialog;
    g_nid.uID = IDR_MAINFRAME;
    g_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_nid.uCallbackMessage = WM_USER + 100;
    g_nid.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    lstrcpynW(g_nid.szTip, L"Flickpane", ARRAYSIZE(g_nid.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &g_nid);
}

void TearDown(HWND dialog) {
    ::SetEvent(g_stop);
    ::WaitForSingleObject(g_worker, INFINITE);
    wchar_t text[64] = {};
    ::GetDlgItemTextW(dialog, IDC_EDIT_INTERVAL, text, 64);
    g_setting.m_nInterval = ParseDecimal(text);
    CConfig().Save(g_setting);
    ::UnregisterHotKey(dialog, 4001);
    ::UnregisterHotKey(dialog, 4002);
    ::Shell_NotifyIconW(NIM_DELETE, &g_nid);
}

bool OnMessage(HWND dialog, UINT message, WPARAM) {
    if (message != WM_ADDTRAYICON)
        return false;
    AddTrayIcon(dialog);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return RunPlainDialog(instance, {StartUp, OnMessage, TearDown});
}
