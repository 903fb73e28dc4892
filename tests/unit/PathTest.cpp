#include <gtest/gtest.h>

#include "common/Path.h"

TEST(Path, SplitsAtTheLastBackslash) {
    const struct {
        const wchar_t* path;
        const wchar_t* dir;
        const wchar_t* name;
        const wchar_t* withoutExtension;
    } rows[] = {
        {L"C:\\apps\\Tapwren.exe", L"C:\\apps\\", L"Tapwren.exe", L"C:\\apps\\Tapwren"},
        {L"Tapwren.exe", L"", L"Tapwren.exe", L"Tapwren"},
        {L"C:\\my.apps\\Tapwren", L"C:\\my.apps\\", L"Tapwren", L"C:\\my.apps\\Tapwren"},  // a folder's dot
        {L"C:\\apps\\a.b.exe", L"C:\\apps\\", L"a.b.exe", L"C:\\apps\\a.b"},
        {L"C:\\", L"C:\\", L"", L"C:\\"},
        {L"", L"", L"", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row with a path of " << std::wstring(row.path).size() << " characters");
        EXPECT_EQ(DirectoryOf(row.path), row.dir);
        EXPECT_EQ(FileNameOf(row.path), row.name);
        EXPECT_EQ(WithoutExtension(row.path), row.withoutExtension);
    }
}
