#pragma once

#include <windows.h>

#include <string>

#include "Wnd.h"

// The application object. Exactly one exists, constructed statically; the entry point runs its
// InitInstance, and the process ends when that returns (this program always returns FALSE).
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();

    HICON LoadIcon(UINT nIDResource) const;

    // The help command: asks WinHelp for the help file named like the executable, and says so
    // when that fails.
    virtual void OnHelp(DWORD dwContext);

    HINSTANCE m_hInstance;
    std::wstring m_strAppName;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
// The module the program's resources come from: the application object's, or the executable's
// when there is no application object (a test program).
HINSTANCE AfxGetInstanceHandle();

// Help contexts of dialog templates start here, as WinHelp projects number them.
constexpr DWORD HID_BASE_RESOURCE = 0x20000;
constexpr UINT ID_HELP = 0xE146;
