#include <gtest/gtest.h>

#include <windows.h>

#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/ModuleDir.h"
#include "support/Scratch.h"
#include "support/Settings.h"

// These go through the system's real profile functions, in a folder of each test's own.
namespace {

const std::string kDefaultsFile = "[setting]\r\nnext=704\r\nstop=635\r\nkey1=595\r\nkey2=118\r\ninterval=5000\r\n";

class ConfigTest : public testing::Test {
protected:
    ConfigTest() : m_dir(testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    std::wstring ConfigFile() const { return m_dir.File(L"cfg.ini"); }

    void PutConfig(const std::string& bytes) {
        ASSERT_TRUE(WriteBytes(ConfigFile(), bytes));
        CIniFile cache;
        cache.SetPathName(ConfigFile().c_str());
        cache.Flush();
    }

    std::string ConfigBytes() const {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(ConfigFile(), bytes));
        return bytes;
    }

    CSetting Loaded() const {
        CSetting setting;
        CConfig(m_dir.Path()).Load(setting);
        return setting;
    }

    CScratchDir m_dir;
};

}  // namespace

TEST_F(ConfigTest, NoFileMeansDefaultsAndTheFirstSaveWritesAllFiveKeysInOrder) {
    EXPECT_EQ(Loaded(), CSetting());
    EXPECT_TRUE(m_dir.List().empty()) << "loading must not create the file";
    EXPECT_TRUE(CConfig(m_dir.Path()).Save(CSetting()));
    EXPECT_EQ(ConfigBytes(), kDefaultsFile);
    EXPECT_EQ(m_dir.List(), std::vector<std::wstring>{L"cfg.ini"}) << "a finished save leaves no temporary file";
}

TEST_F(ConfigTest, MissingOrEmptyKeysReadAsZeroNotAsDefaults) {
    const struct {
        const char* file;
        KeyValue next, stop, key1, key2;
        int interval;
    } rows[] = {
        {"", 0, 0, 0, 0, 0},
        {"[other]\r\nnext=1\r\n", 0, 0, 0, 0, 0},
        {"[setting]\r\ninterval=250\r\n", 0, 0, 0, 0, 250},
        {"[setting]\r\nnext=\r\nstop=635\r\n", 0, 635, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        PutConfig(row.file);
        EXPECT_EQ(Loaded(), SettingOf(row.next, row.stop, row.key1, row.key2, row.interval));
    }
}

TEST_F(ConfigTest, ValuesReadByTheDecimalRules) {
    const struct {
        const char* text;
        int expected;
    } rows[] = {
        {"abc", 0},
        {"12abc", 12},
        {"-5", -5},
        {" 42", 42},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
        {"+", 0},
        {"0250", 250},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        PutConfig(std::string("[setting]\r\ninterval=") + row.text + "\r\n");
        EXPECT_EQ(Loaded().m_nInterval, row.expected);
    }
    // Full-width digits, in a file the profile functions read as UTF-16.
    const std::wstring wide = L"\xFEFF[setting]\r\ninterval=\xFF12\xFF15\xFF10\r\n";
    PutConfig(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)));
    EXPECT_EQ(Loaded().m_nInterval, 250);
}

TEST_F(ConfigTest, SaveAfterLoadWritesTheSameNumbersBackAndKeepsHandAddedLines) {
    PutConfig(
        "; my settings\r\n[setting]\r\nkey2=118\r\nnote=mine\r\nnext=-1\r\nstop=65659\r\nkey1=595\r\ninterval=250\r\n"
        "[other]\r\na=b\r\n");
    const CSetting setting = Loaded();
    EXPECT_EQ(setting, SettingOf(0xFFFFFFFF, 65659, 595, 118, 250));
    CConfig(m_dir.Path()).Save(setting);
    EXPECT_EQ(ConfigBytes(),
              "; my settings\r\n[setting]\r\nkey2=118\r\nnote=mine\r\nnext=-1\r\nstop=65659\r\nkey1=595\r\n"
              "interval=250\r\n[other]\r\na=b\r\n");
    EXPECT_EQ(m_dir.List(), std::vector<std::wstring>{L"cfg.ini"});
}

TEST_F(ConfigTest, StaleTemporaryFileFromACrashIsOverwritten) {
    ASSERT_TRUE(WriteBytes(m_dir.File(L"cfg.ini.tmp"), "[setting]\r\nnext=1\r\ngarbage"));
    CConfig(m_dir.Path()).Save(CSetting());
    EXPECT_EQ(ConfigBytes(), kDefaultsFile);
    EXPECT_EQ(m_dir.List(), std::vector<std::wstring>{L"cfg.ini"});
}

TEST_F(ConfigTest, FolderNamedLikeTheFileCountsAsPresentAndIsLeftAlone) {
    ASSERT_TRUE(::CreateDirectoryW(ConfigFile().c_str(), nullptr));
    EXPECT_EQ(Loaded(), SettingOf(0, 0, 0, 0, 0));
    EXPECT_FALSE(CConfig(m_dir.Path()).Save(CSetting()));
    EXPECT_TRUE(::GetFileAttributesW(ConfigFile().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(m_dir.List(), std::vector<std::wstring>{L"cfg.ini"});
}

TEST_F(ConfigTest, ReadOnlyFileIsNeitherChangedNorReplaced) {
    const std::string original = "[setting]\r\ninterval=250\r\n";
    PutConfig(original);
    ASSERT_TRUE(::SetFileAttributesW(ConfigFile().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(CConfig(m_dir.Path()).Save(CSetting())) << "a refused save reported as made";
    EXPECT_EQ(ConfigBytes(), original);
    EXPECT_TRUE(::GetFileAttributesW(ConfigFile().c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(m_dir.List(), std::vector<std::wstring>{L"cfg.ini"});
    ::SetFileAttributesW(ConfigFile().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ConfigTest, PathTooLongForTheBufferIsNeverCutShort) {
    // Cut to MAX_PATH characters, this folder would name a file starting "aaa…" in the scratch folder.
    const std::wstring deep = m_dir.Path() + std::wstring(MAX_PATH, L'a') + L"\\";
    EXPECT_FALSE(CConfig(deep).Save(CSetting()));
    CSetting setting;
    setting.m_nInterval = 1;
    CConfig(deep).Load(setting);
    EXPECT_EQ(setting.m_nInterval, 1);
    EXPECT_TRUE(m_dir.List().empty());

    // The longest folder that still fits works.
    const std::wstring fits = m_dir.Path() + std::wstring(MAX_PATH - 1 - m_dir.Path().size() - 8, L'b') + L"\\";
    ASSERT_EQ((fits + L"cfg.ini").size(), static_cast<size_t>(MAX_PATH - 1));
    ASSERT_TRUE(::CreateDirectoryW(fits.c_str(), nullptr));
    CSetting saved;
    saved.m_nInterval = 77;
    EXPECT_TRUE(CConfig(fits).Save(saved));
    CSetting loaded;
    CConfig(fits).Load(loaded);
    EXPECT_EQ(loaded.m_nInterval, 77);
}

TEST(IniFile, RefusesAPathThatDoesNotFitAndThenTouchesNothing) {
    CIniFile file;
    const std::wstring tooLong(MAX_PATH, L'x');
    file.SetPathName(tooLong.c_str());
    EXPECT_FALSE(file.HasPathName());
    std::int32_t value = 5;
    EXPECT_FALSE(file.ReadLong(L"setting", L"next", value));
    EXPECT_EQ(value, 0);
    const std::wstring fits(MAX_PATH - 1, L'y');
    file.SetPathName(fits.c_str());
    EXPECT_TRUE(file.HasPathName());
    EXPECT_EQ(file.m_szPath[MAX_PATH - 1], L'\0');
}

TEST(ModuleDir, IsTheFolderThisProgramRunsFromAndTheStoreDefaultsToIt) {
    const std::wstring dir = GetModuleDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'\\');
    const DWORD attributes = ::GetFileAttributesW((dir + L"tapwren_win_tests.exe").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(CConfig().Dir(), dir);
}
