#pragma once

#include <windows.h>

#include <string>

// Starts a program with `dir` as its working folder; the caller closes the two handles.
bool Launch(const std::wstring& exe, const std::wstring& dir, PROCESS_INFORMATION& pi);

// Waits for a process to end, serving this thread's messages (a key hook needs them) meanwhile.
// Waiting on the process itself times the end to the scheduler's precision, where polling would
// round a few milliseconds of exit up to its own period.
bool WaitForProcess(HANDLE process, DWORD timeoutMs);
