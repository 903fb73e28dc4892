#include "ModuleDir.h"

#include <windows.h>

std::wstring DirectoryOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring GetModuleDir() {
    static std::wstring cache;
    if (!cache.empty())
        return cache;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path that filled the buffer was cut short.
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    cache = DirectoryOf(std::wstring(path, length));
    return cache;
}
