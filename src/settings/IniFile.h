#pragma once

#include <windows.h>

#include <cstdint>

// Reads and writes single values of an INI file through the system's profile functions.
class CIniFile {
public:
    CIniFile();

    // Copies the path. A path that does not fit the buffer is refused and leaves no path set, since a
    // truncated one would name another file; without a path nothing is read or written.
    void SetPathName(const wchar_t* path);
    bool HasPathName() const { return m_szPath[0] != L'\0'; }

    void WriteLong(const wchar_t* section, const wchar_t* key, std::int32_t value);
    void WriteInt(const wchar_t* section, const wchar_t* key, std::int32_t value);
    // Sets out to the key's number, or to 0 and returns false when the key is missing or empty.
    bool ReadLong(const wchar_t* section, const wchar_t* key, std::int32_t& out) const;
    bool ReadInt(const wchar_t* section, const wchar_t* key, std::int32_t& out) const;

    // Drops what the profile functions cache of the file, so the next read sees the file itself.
    void Flush();

    wchar_t m_szPath[MAX_PATH];
};
