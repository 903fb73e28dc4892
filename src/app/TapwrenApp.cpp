#include "TapwrenApp.h"

#include <commctrl.h>

#include "dialog/TapwrenDlg.h"

CTapwrenApp theApp;

BOOL CTapwrenApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    CTapwrenDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    // The dialog was the whole program: end the process instead of running a message loop.
    return FALSE;
}
