#pragma once

#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"

// What the two yardsticks share with each other but not with Tapwren: Tapwren's dialog template
// created by the dialog manager and run by a plain message loop, without any framework, ended by
// Enter, Escape or the close box.
struct PlainDialogParts {
    void (*startUp)(HWND dialog);
    // Returns whether it handled the message.
    bool (*onMessage)(HWND dialog, UINT message, WPARAM wParam);
    void (*tearDown)(HWND dialog);
};

inline const PlainDialogParts* g_plainDialogParts = nullptr;

inline INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            g_plainDialogParts->startUp(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)
                ::DestroyWindow(dialog);
            return TRUE;
        case WM_DESTROY:
            g_plainDialogParts->tearDown(dialog);
            ::PostQuitMessage(0);
            return TRUE;
        default:
            return g_plainDialogParts->onMessage(dialog, message, wParam) ? TRUE : FALSE;
    }
}

inline int RunPlainDialog(HINSTANCE instance, const PlainDialogParts& parts) {
    g_plainDialogParts = &parts;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND dialog = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, PlainDialogProc, 0);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}
