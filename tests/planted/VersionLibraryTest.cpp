#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>

#include "shell/FileVersion.h"
#include "shell/Title.h"
#include "support/ProgramFacts.h"
#include "support/Scratch.h"

// Runs with a planted version.dll beside this executable and Wine told to prefer it
// (WINEDLLOVERRIDES=version=n,b), as Windows does for a DLL that is not a known system DLL.
namespace {

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    return Lower(path);
}

}  // namespace

TEST(VersionLibrary, ComesFromTheSystemFolderEvenWithACopyPlantedBesideTheProgram) {
    const std::wstring planted = Lower(ExecutableDir() + L"version.dll");
    ASSERT_EQ(ModulePath(::GetModuleHandleW(L"version.dll")), planted)
        << "the planted copy is not loaded, so this test would prove nothing";

    HMODULE module = LoadSystemVersionLibrary();
    ASSERT_NE(module, nullptr);
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(ModulePath(module), Lower(std::wstring(system) + L"\\version.dll"));
    EXPECT_NE(ModulePath(module), planted);
    ::FreeLibrary(module);

    // The planted copy fails every call; the program's own lookup still reads its version.
    std::wstring version;
    EXPECT_EQ(GetFileVersionString((ExecutableDir() + L"..\\Tapwren.exe").c_str(), version), 0u);
    EXPECT_EQ(version, kShownVersion);
}

TEST(FileVersion, ShowsThreeNumbersAndNeedsATranslationTable) {
    std::wstring version;
    EXPECT_EQ(GetFileVersionString((ExecutableDir() + L"VersionBlocks.exe").c_str(), version), 0u);
    EXPECT_EQ(version, L"2.10.300");
    version = L"unchanged";
    EXPECT_EQ(GetFileVersionString((ExecutableDir() + L"NoTranslation.exe").c_str(), version),
              static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(version, L"unchanged");
}

TEST(FileVersion, FailsWithoutAVersionBlock) {
    std::wstring version = L"unchanged";
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_NE(GetFileVersionString(self, version), 0u);
    EXPECT_EQ(version, L"unchanged");
    EXPECT_NE(GetFileVersionString((ExecutableDir() + L"no-such-file.exe").c_str(), version), 0u);
}

TEST(Title, CarriesTheVersionOrGoesWithout) {
    EXPECT_EQ(TitleForVersion(kShownVersion), kTitle);
    EXPECT_EQ(TitleForVersion(L""), L"Tapwren Design by Tovrik Vennar.");
}
