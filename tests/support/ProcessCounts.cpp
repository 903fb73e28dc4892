#include "ProcessCounts.h"

#include <winternl.h>

#include <vector>

#include "CpuTime.h"
#include "Scratch.h"

namespace {

constexpr ULONG kSystemProcessInformation = 5;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

}  // namespace

ProcessCounts CountsOf(DWORD pid, const std::wstring& exePath) {
    ProcessCounts counts;
    std::vector<BYTE> buffer(256 * 1024);
    NTSTATUS status;
    ULONG needed = 0;
    while ((status = ::NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(kSystemProcessInformation),
                                                buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return counts;
    bool found = false;
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
        if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == pid) {
            counts.handles = entry->HandleCount;
            counts.threads = entry->NumberOfThreads;
            counts.privateKiB = static_cast<unsigned long>(entry->VirtualMemoryCounters.PagefileUsage / 1024);
            found = true;
            break;
        }
        if (entry->NextEntryOffset == 0)
            break;
        offset += entry->NextEntryOffset;
    }
    // The Unix side: the stat file's folder holds the descriptors.
    std::wstring proc = StatFileOfProgram(exePath);
    if (!found || proc.size() < 5)
        return counts;
    proc.resize(proc.size() - 4);  // without "stat"
    counts.descriptors = static_cast<unsigned long>(NamesIn(proc + L"fd\\").size());
    counts.read = counts.descriptors > 0;
    return counts;
}
