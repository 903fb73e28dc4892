#include "Title.h"

#include <windows.h>

#include "FileVersion.h"

std::wstring TitleForVersion(const std::wstring& version) {
    if (version.empty())
        return L"Tapwren Design by Tovrik Vennar.";
    return L"Tapwren Ver" + version + L" Design by Tovrik Vennar.";
}

void ComposeTitle(CWnd& dialog) {
    std::wstring version;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path cut to fit the buffer names another file: keep the title without version.
    if (length == 0 || length >= MAX_PATH || GetFileVersionString(path, version) != 0)
        version.clear();
    dialog.SetWindowText(TitleForVersion(version).c_str());
}
