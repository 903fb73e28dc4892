#include "Launch.h"

#include <string>

#include "KeyRecorder.h"
#include "Pump.h"
#include "Scratch.h"

bool Launch(const std::wstring& exe, const std::wstring& dir, PROCESS_INFORMATION& pi) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    return ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            dir.empty() ? nullptr : dir.c_str(), &si, &pi) != FALSE;
}

bool WaitForProcess(HANDLE process, DWORD timeoutMs) {
    const double end = CKeyRecorder::NowMs() + timeoutMs * Patience();
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

int RunUnixCommand(const std::string& command, DWORD timeoutMs) {
    static int count = 0;
    const std::string status =
        "/tmp/tapwren-command-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++count);
    const std::wstring statusFile = L"Z:" + std::wstring(status.begin(), status.end());
    std::string line =
        "/bin/sh -c \"" + command + "; echo $? > " + status + ".part && mv " + status + ".part " + status + "\"";
    std::wstring commandLine(line.begin(), line.end());
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    if (pi.hProcess != nullptr)
        ::CloseHandle(pi.hProcess);
    if (pi.hThread != nullptr)
        ::CloseHandle(pi.hThread);
    std::string result;
    const bool done = PumpUntil([&] { return ReadBytes(statusFile, result) && !result.empty(); }, timeoutMs);
    ::DeleteFileW(statusFile.c_str());
    return done ? std::atoi(result.c_str()) : -1;
}

std::string UnixPathOf(const std::wstring& path) {
    if (path.size() < 2 || (path[0] != L'Z' && path[0] != L'z') || path[1] != L':')
        return std::string();
    std::string unix;
    for (wchar_t c : path.substr(2)) {
        if (c > 0x7F)
            return std::string();  // the tests' own folders are ASCII
        unix += c == L'\\' ? '/' : static_cast<char>(c);
    }
    return unix;
}
