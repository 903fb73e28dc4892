#include "Config.h"

#include <windows.h>
#include <shlwapi.h>

#include <utility>

#include "IniFile.h"
#include "ModuleDir.h"

const wchar_t kConfigFileName[] = L"cfg.ini";
const wchar_t kConfigTempName[] = L"cfg.ini.tmp";

namespace {

const wchar_t kSection[] = L"setting";

void WriteSettings(CIniFile& file, const CSetting& setting) {
    file.WriteLong(kSection, L"next", static_cast<std::int32_t>(setting.m_dwNext));
    file.WriteLong(kSection, L"stop", static_cast<std::int32_t>(setting.m_dwStop));
    file.WriteLong(kSection, L"key1", static_cast<std::int32_t>(setting.m_dwKey1));
    file.WriteLong(kSection, L"key2", static_cast<std::int32_t>(setting.m_dwKey2));
    file.WriteInt(kSection, L"interval", setting.m_nInterval);
}

// Starts the copy that the save writes into: the current file when there is one, so that lines and
// sections added by hand survive, else an empty file.
bool StartCopy(const wchar_t* path, const wchar_t* temp, bool exists) {
    if (exists)
        return ::CopyFileW(path, temp, FALSE) != FALSE;
    HANDLE file = ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

}  // namespace

CConfig::CConfig() : m_dir(GetModuleDir()) {}

CConfig::CConfig(std::wstring dir) : m_dir(std::move(dir)) {}

void CConfig::Load(CSetting& setting) const {
    CIniFile file;
    file.SetPathName((m_dir + kConfigFileName).c_str());
    if (m_dir.empty() || !file.HasPathName() || !::PathFileExistsW(file.m_szPath))
        return;
    std::int32_t value;
    file.ReadLong(kSection, L"next", value);
    setting.m_dwNext = static_cast<KeyValue>(value);
    file.ReadLong(kSection, L"stop", value);
    setting.m_dwStop = static_cast<KeyValue>(value);
    file.ReadLong(kSection, L"key1", value);
    setting.m_dwKey1 = static_cast<KeyValue>(value);
    file.ReadLong(kSection, L"key2", value);
    setting.m_dwKey2 = static_cast<KeyValue>(value);
    file.ReadInt(kSection, L"interval", setting.m_nInterval);
}

void CConfig::Save(CSetting setting) const {
    CIniFile file;
    file.SetPathName((m_dir + kConfigFileName).c_str());
    if (m_dir.empty() || !file.HasPathName())
        return;
    const DWORD attributes = ::GetFileAttributesW(file.m_szPath);
    // Writing in place fails on these too; the copy must not get round that.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return;
    CIniFile temp;
    temp.SetPathName((m_dir + kConfigTempName).c_str());
    if (!temp.HasPathName() || !StartCopy(file.m_szPath, temp.m_szPath, attributes != INVALID_FILE_ATTRIBUTES)) {
        WriteSettings(file, setting);
        return;
    }
    WriteSettings(temp, setting);
    temp.Flush();
    if (!::MoveFileExW(temp.m_szPath, file.m_szPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.m_szPath);
        WriteSettings(file, setting);
    }
    file.Flush();
}
