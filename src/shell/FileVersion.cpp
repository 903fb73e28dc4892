#include "FileVersion.h"

#include <vector>

#include "common/Decimal.h"

namespace {

using GetFileVersionInfoSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

class CLibrary {
public:
    explicit CLibrary(HMODULE module) : m_module(module) {}
    ~CLibrary() {
        if (m_module != nullptr)
            ::FreeLibrary(m_module);
    }
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;

    template <typename Fn>
    Fn Get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)));
    }
    HMODULE Handle() const { return m_module; }

private:
    HMODULE m_module;
};

}  // namespace

HMODULE LoadSystemVersionLibrary() {
    wchar_t dir[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(dir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(dir, length) + L"\\version.dll";
    return ::LoadLibraryExW(path.c_str(), nullptr, 0);
}

DWORD GetFileVersionString(const wchar_t* path, std::wstring& out) {
    const CLibrary library(LoadSystemVersionLibrary());
    if (library.Handle() == nullptr)
        return ::GetLastError();
    const auto getSize = library.Get<GetFileVersionInfoSizeFn>("GetFileVersionInfoSizeW");
    const auto getInfo = library.Get<GetFileVersionInfoFn>("GetFileVersionInfoW");
    const auto queryValue = library.Get<VerQueryValueFn>("VerQueryValueW");
    if (getSize == nullptr || getInfo == nullptr || queryValue == nullptr)
        return ERROR_PROC_NOT_FOUND;

    DWORD handle = 0;
    const DWORD size = getSize(path, &handle);
    if (size == 0)
        return ::GetLastError();
    std::vector<BYTE> block(size + 1);
    if (!getInfo(path, handle, size, block.data()))
        return ::GetLastError();
    void* translation = nullptr;
    UINT translationSize = 0;
    if (!queryValue(block.data(), L"\\VarFileInfo\\Translation", &translation, &translationSize))
        return ERROR_INVALID_DATA;
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!queryValue(block.data(), L"\\", &fixed, &fixedSize) || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return ERROR_INVALID_DATA;
    const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    out = IntToString(HIWORD(info->dwFileVersionMS)) + L"." + IntToString(LOWORD(info->dwFileVersionMS)) + L"." +
          IntToString(HIWORD(info->dwFileVersionLS));
    return 0;
}
