#include "CpuTime.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <sstream>

#include "Scratch.h"

namespace {

constexpr double kClockTicksPerSecond = 100;  // sysconf(_SC_CLK_TCK) on Linux

std::wstring Folded(const std::wstring& path) {
    std::wstring folded = path;
    for (wchar_t& c : folded)
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return folded;
}

}  // namespace

double CpuSeconds(const std::wstring& statFile) {
    std::string stat;
    ReadBytes(statFile, stat);
    const size_t name = stat.rfind(')');
    if (name == std::string::npos)
        return -1;
    // After the command name: state, then fields 4 to 13, then utime and stime (fields 14 and 15).
    std::istringstream fields(stat.substr(name + 1));
    std::string field;
    for (int skipped = 3; skipped < 14; ++skipped)
        fields >> field;
    long long user = 0, system = 0;
    if (!(fields >> user >> system))
        return -1;
    return static_cast<double>(user + system) / kClockTicksPerSecond;
}

std::wstring StatFileOfProgram(const std::wstring& exePath) {
    // The command line may hold the Windows path or the Unix one: compare what follows the drive.
    std::wstring wanted = Folded(exePath);
    if (wanted.size() > 2 && wanted[1] == L':')
        wanted.erase(0, 2);
    for (const std::wstring& pid : NamesIn(L"Z:\\proc\\")) {
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            continue;
        std::string commandLine;
        ReadBytes(L"Z:\\proc\\" + pid + L"\\cmdline", commandLine);
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        while (!commandLine.empty() && commandLine.back() == ' ')
            commandLine.pop_back();
        const std::wstring line = Folded(std::wstring(commandLine.begin(), commandLine.end()));
        if (line.size() >= wanted.size() && line.compare(line.size() - wanted.size(), wanted.size(), wanted) == 0)
            return L"Z:\\proc\\" + pid + L"\\stat";
    }
    return std::wstring();
}
