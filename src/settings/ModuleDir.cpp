#include "ModuleDir.h"

#include "framework/WinApp.h"

std::wstring DirectoryOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring GetModuleDir() {
    static std::wstring cache;
    if (!cache.empty())
        return cache;
    cache = DirectoryOf(GetModulePath());
    return cache;
}
