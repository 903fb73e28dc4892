#pragma once

#include <string>

// Processor time used by a process, read on the Linux side through Wine's Z: drive, since
// GetProcessTimes and GetThreadTimes read zero under Wine. Precision: one clock tick, 10 ms.

// User plus system time in seconds from a /proc stat file ("Z:\proc\self\stat" for this process);
// negative when it cannot be read.
double CpuSeconds(const std::wstring& statFile);

// The stat file of the Linux process running the Windows program at `exePath` (whose command line
// ends with that path), or empty when there is none.
std::wstring StatFileOfProgram(const std::wstring& exePath);
