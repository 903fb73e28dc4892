#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Wnd.h"

// A dialog made from a template and run modally by a loop of its own, so that every message taken
// from the queue passes PreTranslateMessage before it is dispatched.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs it until it ends or WM_QUIT arrives, destroys the window and
    // returns the result given to EndDialog (-1 when the dialog could not be created or the
    // quit message ended it). A template with WS_VISIBLE is shown once start-up is over and the
    // loop first goes idle, never when a quit message was queued before that.
    INT_PTR DoModal();
    void EndDialog(int nResult);

    // The window object of a control; the dialog owns it until its window is destroyed.
    CWnd* GetDlgItem(int nID);

    // Offers the dialog manager its keyboard handling (Tab, Enter, Escape) and turns F1 into the
    // help command.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // The messages a dialog class handles. Returns true when it handled the message, with its
    // result in `result`; false passes the message on to the default dialog processing.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    UINT m_nIDTemplate;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CenterOnScreen();

    HWND m_hParent;
    bool m_bEnded = false;
    INT_PTR m_nResult = -1;
    std::vector<std::unique_ptr<CWnd>> m_controls;
};
