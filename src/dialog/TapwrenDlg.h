#pragma once

#include <windows.h>

#include <atomic>

#include "common/KeyValue.h"
#include "framework/Dialog.h"
#include "repeater/Pause.h"

constexpr UINT IDD_MAIN_DIALOG = 102;
constexpr int IDC_EDIT_INTERVAL = 1001;

// The main dialog. It holds all of the program's run-time state; the worker thread reads the
// repeater state below directly.
class CTapwrenDlg : public CDialog {
public:
    explicit CTapwrenDlg(CWnd* pParent = nullptr);

    // Repeater state, shared with the worker. The user-interface thread writes the key and the flags,
    // the worker only reads them; each is atomic so that a write is seen at the worker's next test.
    std::atomic<KeyValue> m_dwCurKey{0};
    HANDLE m_hThread = nullptr;
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bAlive{false};
    CWnd* m_pIntervalEdit = nullptr;  // not owned
    CPause m_pause;                   // the worker's waits; cancelled by teardown

    // Starts the worker unless it already runs.
    void StartWorker();
    // Clears the alive flag, cuts the worker's current wait short and waits for it to end, serving
    // its read of the interval edit meanwhile. Afterwards nothing reads this object's state.
    void StopWorker();
    void ToggleRunning();
};
