#pragma once

#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"

// What the two yardsticks share with each other but not with Tapwren: Tapwren's dialog template
// created by the dialog manager and run by a plain message loop, without any framework.
inline int RunPlainDialog(HINSTANCE instance, DLGPROC dialogProc) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND dialog = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, dialogProc, 0);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}
