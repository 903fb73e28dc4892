#include "WinApp.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)) {
    g_pApp = this;
    // Without a string table of its own, the application is named after its executable.
    const std::wstring path = GetModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    m_strAppName = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    const size_t dot = m_strAppName.find_last_of(L'.');
    if (dot != std::wstring::npos)
        m_strAppName.erase(dot);
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconW(m_hInstance, MAKEINTRESOURCEW(nIDResource));
}

void CWinApp::OnHelp(DWORD dwContext) {
    std::wstring helpFile = GetModulePath();
    const size_t dot = helpFile.find_last_of(L'.');
    const size_t slash = helpFile.find_last_of(L'\\');
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        helpFile.erase(dot);
    helpFile += L".HLP";
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    if (!::WinHelpW(owner, helpFile.c_str(), HELP_CONTEXT, dwContext))
        ::MessageBoxW(owner, L"Failed to launch help.", m_strAppName.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_pApp != nullptr ? g_pApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

std::wstring GetModulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(path, length);
}
