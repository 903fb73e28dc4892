#pragma once

#include <windows.h>

#include <string>

// The real Tapwren.exe, copied into a folder of the test's own (so its cfg.ini lands there), started
// and driven from outside the way the system and a user would.
class CTapwrenProcess {
public:
    // Copies Tapwren.exe from beside this test program into `dir` unless it is there already.
    explicit CTapwrenProcess(const std::wstring& dir);
    ~CTapwrenProcess();
    CTapwrenProcess(const CTapwrenProcess&) = delete;
    CTapwrenProcess& operator=(const CTapwrenProcess&) = delete;

    // Starts the program; waits until its start-up is over: the dialog shown with its controls
    // filled, and the tray icon added.
    bool Start();
    // Starts the program and waits for it to end by itself; returns whether it did within the time.
    // Meanwhile looks every millisecond for a visible window of the program's (see ShowedAWindow).
    bool StartExpectingExit(DWORD timeoutMs, DWORD& exitCode);
    bool ShowedAWindow() const { return m_bShowedAWindow; }
    // Posts `message` to the dialog and waits for the process to end. Returns the milliseconds taken,
    // or a negative number when it did not end in time.
    double CloseWith(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, DWORD timeoutMs = 5000);
    bool WaitForExit(DWORD timeoutMs);
    bool IsRunning() const;

    HWND Dialog() const { return m_hDialog; }
    HWND Control(int id) const { return ::GetDlgItem(m_hDialog, id); }
    std::wstring Text(HWND window) const;
    unsigned HotKey(int id) const;
    void SetHotKey(int id, unsigned value) const;
    void SetIntervalText(const wchar_t* text) const;
    // Delivers a hotkey the way the system does, posted to the dialog, for tests whose subject is not
    // the registration: the input system's matching of injected keys is left out of them.
    // Returns whether it reached the queue.
    bool PostHotKey(int id) const { return ::PostMessageW(m_hDialog, WM_HOTKEY, static_cast<WPARAM>(id), 0) != FALSE; }
    // Runs the settings sync now, as the program's one-second timer does, and returns once it is over:
    // a control changed before it has then been compared, and saved or refused.
    bool Sync() const;
    DWORD ProcessId() const { return m_pi.dwProcessId; }
    const std::wstring& Dir() const { return m_dir; }
    // Kills the process outright, as a crash or a task manager would.
    void Kill();

private:
    std::wstring m_dir;
    PROCESS_INFORMATION m_pi = {};
    HWND m_hDialog = nullptr;
    bool m_bShowedAWindow = false;
};

// The dialog window of a process, or null.
HWND FindDialogOf(DWORD pid);

// Whether the program's tray icon is present: only an existing icon can be modified.
bool TrayIconExists(HWND dialog);
