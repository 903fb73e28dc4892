// The yardstick for start-up and exit: the least a Win32 dialog program can do, built the same way.
#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
        ::EndDialog(hWnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    ::DialogBoxParamW(hInstance, MAKEINTRESOURCEW(1), nullptr, DialogProc, 0);
    return 0;
}
