#pragma once

#include <windows.h>

#include <string>

// What can be counted of another process under Wine, where GetProcessHandleCount and GetGuiResources
// of another process read 0: its handles and threads from the Wine server's process list, its private
// bytes, and its Unix descriptors from /proc. GDI and USER objects cannot be counted there at all.
struct ProcessCounts {
    bool read = false;  // the process was found in the list and in /proc
    unsigned long handles = 0;
    unsigned long threads = 0;
    unsigned long privateKiB = 0;
    unsigned long descriptors = 0;
};

// The counts of the process `pid`, whose command line ends in `exePath`.
ProcessCounts CountsOf(DWORD pid, const std::wstring& exePath);
