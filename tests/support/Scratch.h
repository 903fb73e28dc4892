#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

// A folder of a test's own beside the test executable, emptied when made and when dropped.
class CScratchDir {
public:
    explicit CScratchDir(const std::wstring& name);
    // Named after a test: ASCII.
    explicit CScratchDir(const char* name) : CScratchDir(std::wstring(name, name + std::strlen(name))) {}
    ~CScratchDir();
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    // The folder with its trailing backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + name; }
    // The bytes of a file in the folder; empty when there is no such file.
    std::string Bytes(const wchar_t* name) const;
    // The names in the folder, sorted.
    std::vector<std::wstring> List() const;

private:
    std::wstring m_path;
};

// The names in a folder (given with its trailing backslash) that match a pattern, sorted.
std::vector<std::wstring> NamesIn(const std::wstring& dir, const wchar_t* pattern = L"*");
bool ReadBytes(const std::wstring& path, std::string& bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
void RemoveTree(const std::wstring& path);
std::wstring ExecutableDir();
