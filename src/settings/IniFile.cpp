#include "IniFile.h"

#include <cwchar>
#include <string>

#include "common/Decimal.h"

CIniFile::CIniFile() : m_szPath{} {}

void CIniFile::SetPathName(const wchar_t* path) {
    const size_t length = path != nullptr ? std::wcslen(path) : 0;
    if (length >= MAX_PATH) {
        m_szPath[0] = L'\0';
        return;
    }
    std::wmemcpy(m_szPath, path, length);
    m_szPath[length] = L'\0';
}

void CIniFile::WriteLong(const wchar_t* section, const wchar_t* key, std::int32_t value) {
    if (HasPathName())
        ::WritePrivateProfileStringW(section, key, IntToString(value).c_str(), m_szPath);
}

void CIniFile::WriteInt(const wchar_t* section, const wchar_t* key, std::int32_t value) {
    WriteLong(section, key, value);
}

bool CIniFile::ReadLong(const wchar_t* section, const wchar_t* key, std::int32_t& out) const {
    out = 0;
    if (!HasPathName())
        return false;
    wchar_t text[MAX_PATH] = {};
    if (::GetPrivateProfileStringW(section, key, nullptr, text, MAX_PATH, m_szPath) == 0)
        return false;
    out = ParseDecimal(text);
    return true;
}

bool CIniFile::ReadInt(const wchar_t* section, const wchar_t* key, std::int32_t& out) const {
    return ReadLong(section, key, out);
}

void CIniFile::Flush() {
    if (HasPathName())
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, m_szPath);
}
