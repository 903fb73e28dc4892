#include "WinApp.h"

#include "ModulePath.h"
#include "common/Path.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)) {
    g_pApp = this;
    // Without a string table of its own, the application is named after its executable.
    m_strAppName = WithoutExtension(FileNameOf(GetModulePath()));
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
    const std::wstring helpFile = WithoutExtension(GetModulePath()) + L".HLP";
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
