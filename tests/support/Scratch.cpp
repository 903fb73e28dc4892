#include "Scratch.h"

#include <algorithm>

#include "common/Path.h"
#include "framework/ModulePath.h"

std::wstring ExecutableDir() {
    return DirectoryOf(GetModulePath());
}

std::vector<std::wstring> NamesIn(const std::wstring& dir, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((dir + pattern).c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(path.c_str());
        return;
    }
    for (const std::wstring& name : NamesIn(path + L"\\"))
        RemoveTree(path + L"\\" + name);
    ::RemoveDirectoryW(path.c_str());
}

CScratchDir::CScratchDir(const std::wstring& name) : m_path(ExecutableDir() + L"scratch\\" + name + L"\\") {
    ::CreateDirectoryW((ExecutableDir() + L"scratch").c_str(), nullptr);
    RemoveTree(m_path.substr(0, m_path.size() - 1));
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

CScratchDir::~CScratchDir() {
    RemoveTree(m_path.substr(0, m_path.size() - 1));
}

std::vector<std::wstring> CScratchDir::List() const {
    return NamesIn(m_path);
}

bool ReadBytes(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    ::CloseHandle(file);
    return true;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

std::string CScratchDir::Bytes(const wchar_t* name) const {
    std::string bytes;
    ReadBytes(File(name), bytes);
    return bytes;
}
