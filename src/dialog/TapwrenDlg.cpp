#include "TapwrenDlg.h"

#include "repeater/RepeatThreadProc.h"

CTapwrenDlg::CTapwrenDlg(CWnd* pParent) : CDialog(IDD_MAIN_DIALOG, pParent) {}

void CTapwrenDlg::StartWorker() {
    if (m_hThread != nullptr)
        return;
    m_bAlive = true;
    m_hThread = ::CreateThread(nullptr, 0, RepeatThreadProc, this, 0, nullptr);
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

void CTapwrenDlg::ToggleRunning() {
    m_bRunning = !m_bRunning;
    m_pause.Wake();
}
