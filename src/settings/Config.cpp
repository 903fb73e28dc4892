#include "Config.h"

#include <windows.h>
#include <shlwapi.h>

#include <utility>
#include <vector>

#include "IniFile.h"
#include "common/Path.h"
#include "ModuleDir.h"

const wchar_t kConfigFileName[] = L"cfg.ini";
const wchar_t kTempSuffix[] = L".tmp";

namespace {

const wchar_t kSection[] = L"setting";

void WriteSettings(CIniFile& file, const CSetting& setting) {
    file.WriteLong(kSection, L"next", static_cast<std::int32_t>(setting.m_dwNext));
    file.WriteLong(kSection, L"stop", static_cast<std::int32_t>(setting.m_dwStop));
    file.WriteLong(kSection, L"key1", static_cast<std::int32_t>(setting.m_dwKey1));
    file.WriteLong(kSection, L"key2", static_cast<std::int32_t>(setting.m_dwKey2));
    file.WriteInt(kSection, L"interval", setting.m_nInterval);
}

// Reads the five keys into the record, a missing or empty one as 0; returns whether all five were there.
bool ReadSettings(const CIniFile& file, CSetting& setting) {
    std::int32_t value = 0;
    bool all = file.ReadLong(kSection, L"next", value);
    setting.m_dwNext = static_cast<KeyValue>(value);
    all = file.ReadLong(kSection, L"stop", value) && all;
    setting.m_dwStop = static_cast<KeyValue>(value);
    all = file.ReadLong(kSection, L"key1", value) && all;
    setting.m_dwKey1 = static_cast<KeyValue>(value);
    all = file.ReadLong(kSection, L"key2", value) && all;
    setting.m_dwKey2 = static_cast<KeyValue>(value);
    return file.ReadInt(kSection, L"interval", setting.m_nInterval) && all;
}

bool HoldsSettings(CIniFile& file, const CSetting& setting) {
    file.Flush();  // read what reached the disk, not the profile functions' cache
    CSetting read;
    return ReadSettings(file, read) && read == setting;
}

// The file a save must replace: the target of a link, so that the link stays and the file it
// points to gets the settings; the path itself when it names no link or the target's path is too long.
std::wstring SaveTarget(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    wchar_t final[MAX_PATH + 8] = {};
    const DWORD length = ::GetFinalPathNameByHandleW(file, final, MAX_PATH + 8, FILE_NAME_NORMALIZED);
    ::CloseHandle(file);
    if (length == 0 || length >= MAX_PATH + 8)
        return path;
    std::wstring target(final, length);
    if (target.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        target = L"\\" + target.substr(7);
    else if (target.compare(0, 4, L"\\\\?\\") == 0)
        target.erase(0, 4);
    return target.size() < MAX_PATH ? target : path;
}

// Whether the folder of `file` has room for the profile functions to rewrite a file of `size` bytes:
// they rewrite it whole at every write, with CRLF line ends, so it can grow to about twice its size.
bool HasRoomToRewrite(const std::wstring& file, ULONGLONG size) {
    constexpr ULONGLONG kSlack = 8192;  // the five keys, a section header and rounding to blocks
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExW(DirectoryOf(file).c_str(), &available, nullptr, nullptr))
        return false;
    return available.QuadPart >= size + kSlack;
}

enum class CopyResult { kMade, kFolderForbidsNewFiles, kFailed };

// Makes the copy that the save writes into: of the current file when there is one, so that lines
// and sections added by hand survive, else an empty file. A copy that cannot be written whole
// (a full disk, a quota) is deleted.
CopyResult MakeCopy(const std::wstring& path, const std::wstring& temp, bool exists, ULONGLONG& size) {
    size = 0;
    HANDLE to = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (to == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_ACCESS_DENIED ? CopyResult::kFolderForbidsNewFiles : CopyResult::kFailed;
    bool whole = true;
    if (exists) {
        HANDLE from = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        whole = from != INVALID_HANDLE_VALUE;
        std::vector<char> buffer(64 * 1024);
        DWORD read = 0;
        while (whole && ::ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
               read > 0) {
            DWORD written = 0;
            whole = ::WriteFile(to, buffer.data(), read, &written, nullptr) && written == read;
            size += written;
        }
        if (from != INVALID_HANDLE_VALUE)
            ::CloseHandle(from);
    }
    ::CloseHandle(to);
    if (!whole) {
        ::DeleteFileW(temp.c_str());
        return CopyResult::kFailed;
    }
    return CopyResult::kMade;
}

// Puts the file's bytes on the disk. The profile functions write without flushing, and a rename can
// reach the disk before the data of the file it puts in place: after a power cut the settings file
// would come back empty or with old or garbage bytes.
bool FlushToDisk(const wchar_t* path) {
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = ::FlushFileBuffers(file) != FALSE;
    ::CloseHandle(file);
    return flushed;
}

// The last resort, where the folder allows no new file: the file itself, rewritten in place, but only
// with room enough that the rewrite cannot run out of space halfway. Returns whether it holds the
// settings on the disk.
bool SaveInPlace(CIniFile& file, const CSetting& setting) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    const ULONGLONG size = ::GetFileAttributesExW(file.m_szPath, GetFileExInfoStandard, &data)
                               ? (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow
                               : 0;
    if (!HasRoomToRewrite(file.m_szPath, size))
        return false;
    WriteSettings(file, setting);
    return FlushToDisk(file.m_szPath) && HoldsSettings(file, setting);
}

}  // namespace

CConfig::CConfig() : m_dir(GetModuleDir()) {}

CConfig::CConfig(std::wstring dir) : m_dir(std::move(dir)) {}

void CConfig::Load(CSetting& setting) const {
    CIniFile file;
    file.SetPathName((m_dir + kConfigFileName).c_str());
    if (m_dir.empty() || !file.HasPathName() || !::PathFileExistsW(file.m_szPath))
        return;
    ReadSettings(file, setting);
}

bool CConfig::Save(CSetting setting) const {
    CIniFile file;
    file.SetPathName((m_dir + kConfigFileName).c_str());
    if (m_dir.empty() || !file.HasPathName())
        return false;
    file.SetPathName(SaveTarget(file.m_szPath).c_str());
    const DWORD attributes = ::GetFileAttributesW(file.m_szPath);
    // Writing in place fails on these too; the copy must not get round that.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    CIniFile temp;
    temp.SetPathName((std::wstring(file.m_szPath) + kTempSuffix).c_str());
    ULONGLONG size = 0;
    const CopyResult copy = temp.HasPathName()
                                ? MakeCopy(file.m_szPath, temp.m_szPath, attributes != INVALID_FILE_ATTRIBUTES, size)
                                : CopyResult::kFolderForbidsNewFiles;
    if (copy != CopyResult::kMade) {
        const bool saved = copy == CopyResult::kFolderForbidsNewFiles && SaveInPlace(file, setting);
        file.Flush();
        return saved;
    }
    // Whatever goes wrong from here, the file is left as it was and the copy goes.
    if (HasRoomToRewrite(temp.m_szPath, size)) {
        WriteSettings(temp, setting);
        if (HoldsSettings(temp, setting) && FlushToDisk(temp.m_szPath) &&
            ::MoveFileExW(temp.m_szPath, file.m_szPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            file.Flush();
            return true;
        }
    }
    temp.Flush();
    ::DeleteFileW(temp.m_szPath);
    file.Flush();
    return false;
}
