#include "Dialog.h"

#include "WinApp.h"

#include <cstring>
#include <vector>

namespace {

// Messages whose dialog-procedure result is returned directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

bool IsKeyDown(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

// A copy of a dialog template without WS_VISIBLE; `visible` tells whether the template had it.
// Created from the template as it is, the dialog manager would show the window the moment
// WM_INITDIALOG returns, whatever start-up decided there.
std::vector<BYTE> HiddenTemplate(HINSTANCE instance, UINT id, bool& visible) {
    visible = false;
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(instance, resource) : nullptr;
    const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = resource != nullptr ? ::SizeofResource(instance, resource) : 0;
    if (data == nullptr || size < sizeof(DLGTEMPLATE))
        return {};
    std::vector<BYTE> copy(data, data + size);
    // An extended template starts with its version 1 and 0xFFFF, and has its style at offset 12.
    const bool extended = size >= 16 && copy[0] == 1 && copy[1] == 0 && copy[2] == 0xFF && copy[3] == 0xFF;
    BYTE* styleAt = copy.data() + (extended ? 12 : 0);
    DWORD style;
    std::memcpy(&style, styleAt, sizeof(style));
    visible = (style & WS_VISIBLE) != 0;
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(styleAt, &style, sizeof(style));
    return copy;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_hParent(pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal() {
    m_bEnded = false;
    m_nResult = -1;
    bool showWhenIdle = false;
    const std::vector<BYTE> dialogTemplate = HiddenTemplate(AfxGetInstanceHandle(), m_nIDTemplate, showWhenIdle);
    if (dialogTemplate.empty())
        return -1;
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetInstanceHandle(),
                                             reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), m_hParent,
                                             DialogProc, reinterpret_cast<LPARAM>(this));
    if (hWnd == nullptr)
        return -1;
    MSG msg;
    while (!m_bEnded) {
        // A visible template's dialog shows when the loop first finds its queue empty, so whatever
        // start-up queued comes first: a quit message ends the dialog before it was ever seen.
        if (showWhenIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            showWhenIdle = false;
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit message for the caller's own loop too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::DestroyWindow(hWnd);
    m_hWnd = nullptr;
    m_controls.clear();
    return m_nResult;
}

void CDialog::EndDialog(int nResult) {
    m_nResult = nResult;
    m_bEnded = true;
    // Wake the modal loop in case the call came from outside a message it is dispatching.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

CWnd* CDialog::GetDlgItem(int nID) {
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem == nullptr)
        return nullptr;
    for (const std::unique_ptr<CWnd>& control : m_controls) {
        if (control->m_hWnd == hItem)
            return control.get();
    }
    m_controls.push_back(std::make_unique<CWnd>(hItem));
    return m_controls.back().get();
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F1 && !IsKeyDown(VK_SHIFT) && !IsKeyDown(VK_CONTROL) &&
        !IsKeyDown(VK_MENU) && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        ::SendMessageW(m_hWnd, WM_COMMAND, ID_HELP, 0);
        return TRUE;
    }
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND)
        return false;
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            break;
        case IDCANCEL:
            OnCancel();
            break;
        case ID_HELP:
            if (AfxGetApp() != nullptr)
                AfxGetApp()->OnHelp(HID_BASE_RESOURCE + m_nIDTemplate);
            break;
        default:
            return false;
    }
    result = 0;
    return true;
}

void CDialog::CenterOnScreen() {
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    if (m_hParent != nullptr || (style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) != 0)
        return;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    const RECT& work = monitor.rcWork;
    const int x = work.left + ((work.right - work.left) - (window.right - window.left)) / 2;
    const int y = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        const BOOL focusDefault = dialog->OnInitDialog();
        dialog->CenterOnScreen();
        return focusDefault;
    }
    dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;
    LRESULT result = 0;
    if (!dialog->OnMessage(message, wParam, lParam, result))
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
