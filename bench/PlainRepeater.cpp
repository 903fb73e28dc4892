// The plain repeater: the straightforward design of such a tool, as a yardstick for what Tapwren's
// design buys. A worker that, while on, reads the interval text, sends key down, sleeps 100 ms, sends
// key up and sleeps for the interval; while off it re-tests its flag in a loop without waiting. The
// same key (S) and the same start/stop hotkey (Ctrl + F12) as Tapwren's defaults, in Tapwren's dialog.
// Built and run by bench/run.sh only.
#include <windows.h>

#include <atomic>

#include "common/Decimal.h"
#include "PlainDialog.h"
#include "res/resource.h"

namespace {

std::atomic<bool> g_running{false};
std::atomic<bool> g_alive{true};
HWND g_edit = nullptr;

DWORD WINAPI Worker(LPVOID) {
    while (g_alive) {
        if (!g_running)
            continue;
        wchar_t text[64] = {};
        ::GetWindowTextW(g_edit, text, 64);
        ::keybd_event('S', static_cast<BYTE>(::MapVirtualKeyW('S', 0)), 0, 0);
        ::Sleep(100);
        ::keybd_event('S', static_cast<BYTE>(::MapVirtualKeyW('S', 0)), KEYEVENTF_KEYUP, 0);
        const int interval = ParseDecimal(text);
        ::Sleep(interval > 0 ? static_cast<DWORD>(interval) : 0);
    }
    return 0;
}

void StartUp(HWND dialog) {
    g_edit = ::GetDlgItem(dialog, IDC_EDIT_INTERVAL);
    ::SetWindowTextW(g_edit, L"5000");
    ::RegisterHotKey(dialog, 4002, MOD_CONTROL, VK_F12);
    ::CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr);
}

bool OnMessage(HWND, UINT message, WPARAM) {
    if (message != WM_HOTKEY)
        return false;
    g_running = !g_running;
    return true;
}

void TearDown(HWND dialog) {
    g_alive = false;
    ::UnregisterHotKey(dialog, 4002);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return RunPlainDialog(instance, {StartUp, OnMessage, TearDown});
}
