#include "TapwrenProcess.h"

#include <vector>

#include "KeyRecorder.h"
#include "Launch.h"
#include "ProgramFacts.h"
#include "Pump.h"
#include "Scratch.h"

#include <shellapi.h>
#include <commctrl.h>

namespace {

struct FindWindowOf {
    DWORD pid;
    bool (*matches)(HWND);
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    FindWindowOf* find = reinterpret_cast<FindWindowOf*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == find->pid && find->matches(window)) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first top-level window of a process that matches.
HWND FindWindowOfProcess(DWORD pid, bool (*matches)(HWND)) {
    FindWindowOf find = {pid, matches, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

bool IsDialog(HWND window) {
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    return std::wstring(className) == L"#32770";
}

bool IsVisible(HWND window) {
    return ::IsWindowVisible(window) != FALSE;
}

}  // namespace

HWND FindDialogOf(DWORD pid) {
    return FindWindowOfProcess(pid, IsDialog);
}

CTapwrenProcess::CTapwrenProcess(const std::wstring& dir) : m_dir(dir) {
    ::CopyFileW((ExecutableDir() + L"Tapwren.exe").c_str(), (m_dir + L"Tapwren.exe").c_str(), TRUE);
}

CTapwrenProcess::~CTapwrenProcess() {
    if (IsRunning())
        CloseWith(WM_CLOSE);
    if (IsRunning())
        Kill();
    if (m_pi.hProcess != nullptr) {
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
    }
}

bool CTapwrenProcess::Start() {
    if (!Launch(m_dir + L"Tapwren.exe", m_dir, m_pi))
        return false;
    // Start-up is over once the tray icon is there: the dialog has shown, and the hotkeys, the timer
    // and the worker were set up before it.
    return PumpUntil(
        [&] {
            m_hDialog = FindDialogOf(m_pi.dwProcessId);
            return m_hDialog != nullptr && Control(IDC_HOTKEY_KEY2) != nullptr &&
                   !Text(Control(IDC_EDIT_INTERVAL)).empty() && ::IsWindowVisible(m_hDialog) &&
                   TrayIconExists(m_hDialog);
        },
        10000);
}

bool CTapwrenProcess::StartExpectingExit(DWORD timeoutMs, DWORD& exitCode) {
    if (!Launch(m_dir + L"Tapwren.exe", m_dir, m_pi))
        return false;
    const double end = CKeyRecorder::NowMs() + timeoutMs * Patience();
    while (!WaitForProcess(m_pi.hProcess, 1)) {
        if (FindWindowOfProcess(m_pi.dwProcessId, IsVisible) != nullptr)
            m_bShowedAWindow = true;
        if (CKeyRecorder::NowMs() > end)
            return false;
    }
    ::GetExitCodeProcess(m_pi.hProcess, &exitCode);
    return true;
}

double CTapwrenProcess::CloseWith(UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
    const double before = CKeyRecorder::NowMs();
    ::PostMessageW(m_hDialog, message, wParam, lParam);
    if (!WaitForExit(timeoutMs))
        return -1;
    return CKeyRecorder::NowMs() - before;
}

bool CTapwrenProcess::WaitForExit(DWORD timeoutMs) {
    if (m_pi.hProcess == nullptr)
        return true;
    return WaitForProcess(m_pi.hProcess, timeoutMs);
}

bool CTapwrenProcess::IsRunning() const {
    return m_pi.hProcess != nullptr && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

void CTapwrenProcess::Kill() {
    ::TerminateProcess(m_pi.hProcess, 1);
    ::WaitForSingleObject(m_pi.hProcess, static_cast<DWORD>(5000 * Patience()));
}

std::wstring CTapwrenProcess::Text(HWND window) const {
    // GetWindowTextLength reads 0 across processes under Wine: ask for the text itself.
    std::vector<wchar_t> buffer(40000);
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               SMTO_ABORTIFHUNG, static_cast<UINT>(2000 * Patience()), &copied))
        return std::wstring();
    return std::wstring(buffer.data(), copied);
}

unsigned CTapwrenProcess::HotKey(int id) const {
    return static_cast<unsigned>(::SendMessageW(Control(id), HKM_GETHOTKEY, 0, 0));
}

void CTapwrenProcess::SetHotKey(int id, unsigned value) const {
    ::SendMessageW(Control(id), HKM_SETHOTKEY, value & 0xFFFF, 0);
}

void CTapwrenProcess::SetIntervalText(const wchar_t* text) const {
    ::SendMessageW(Control(IDC_EDIT_INTERVAL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

bool CTapwrenProcess::Sync() const {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(m_hDialog, WM_TIMER, SYNC_TIMER_ID, 0, SMTO_ABORTIFHUNG,
                                 static_cast<UINT>(10000 * Patience()), &result) != 0;
}

bool TrayIconExists(HWND dialog) {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = dialog;
    nid.uID = TRAY_ICON_ID;
    nid.uFlags = NIF_TIP;
    lstrcpynW(nid.szTip, L"Flickpane", ARRAYSIZE(nid.szTip));
    return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}
