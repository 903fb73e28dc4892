#include "Title.h"

#include "FileVersion.h"
#include "framework/ModulePath.h"

std::wstring TitleForVersion(const std::wstring& version) {
    if (version.empty())
        return L"Tapwren Design by Tovrik Vennar.";
    return L"Tapwren Ver" + version + L" Design by Tovrik Vennar.";
}

void ComposeTitle(CWnd& dialog) {
    std::wstring version;
    const std::wstring path = GetModulePath();
    if (path.empty() || GetFileVersionString(path.c_str(), version) != 0)
        version.clear();
    dialog.SetWindowText(TitleForVersion(version).c_str());
}
