#pragma once

#include <windows.h>

#include <string>

// A window object: a thin wrapper over an HWND that it does not own.
class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    std::wstring GetWindowText() const;
    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }

    // Sees each message the window's modal loop takes from the queue before it is dispatched;
    // returning TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    HWND m_hWnd = nullptr;
};
