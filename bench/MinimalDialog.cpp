// The yardstick for start-up and exit: the least a Win32 dialog program can do, built the same way.
// Built as MinimalTrayDialog it also shows an icon in the notification area, as Tapwren does, which
// tells how much of an exit the shell's removal of an icon takes.
#include <windows.h>
#include <shellapi.h>

namespace {

#ifdef WITH_TRAY_ICON
NOTIFYICONDATAW g_icon = {};

void AddTrayIcon(HWND hWnd) {
    g_icon.cbSize = sizeof(g_icon);
    g_icon.hWnd = hWnd;
    g_icon.uID = 1;
    g_icon.uFlags = NIF_ICON;
    g_icon.hIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    ::Shell_NotifyIconW(NIM_ADD, &g_icon);
}

void DeleteTrayIcon() {
    ::Shell_NotifyIconW(NIM_DELETE, &g_icon);
}
#else
void AddTrayIcon(HWND) {}
void DeleteTrayIcon() {}
#endif

INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            AddTrayIcon(hWnd);
            return TRUE;
        case WM_DESTROY:
            DeleteTrayIcon();
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                ::EndDialog(hWnd, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    ::DialogBoxParamW(hInstance, MAKEINTRESOURCEW(1), nullptr, DialogProc, 0);
    return 0;
}
