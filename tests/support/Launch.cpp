#include "Launch.h"

#include "KeyRecorder.h"

bool Launch(const std::wstring& exe, const std::wstring& dir, PROCESS_INFORMATION& pi) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    return ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            dir.empty() ? nullptr : dir.c_str(), &si, &pi) != FALSE;
}

bool WaitForProcess(HANDLE process, DWORD timeoutMs) {
    const double end = CKeyRecorder::NowMs() + timeoutMs;
    for (;;) {
        const double left = end - CKeyRecorder::NowMs();
        if (left <= 0)
            return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        if (::MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
}
