#pragma once

#include <windows.h>

#include <string>

// Starts a program with `dir` as its working folder; the caller closes the two handles.
bool Launch(const std::wstring& exe, const std::wstring& dir, PROCESS_INFORMATION& pi);

// Waits for a process to end, serving this thread's messages (a key hook needs them) meanwhile.
// Waiting on the process itself times the end to the scheduler's precision, where polling would
// round a few milliseconds of exit up to its own period.
bool WaitForProcess(HANDLE process, DWORD timeoutMs);

// Runs a shell command on the Linux side (Wine starts Unix programs but gives no handle to wait on,
// so the command leaves its exit status in a file this waits for). Returns that status, or -1 when the
// command could not be run or did not end within `timeoutMs`.
int RunUnixCommand(const std::string& command, DWORD timeoutMs = 10000);

// The Linux path of an ASCII path on Wine's Z: drive (the whole Unix file system); empty for any other.
std::string UnixPathOf(const std::wstring& path);
