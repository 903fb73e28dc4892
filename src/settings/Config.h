#pragma once

#include <string>

#include "common/Setting.h"

// The settings store: "cfg.ini", section "setting", in the executable's folder or in another one
// given (with its trailing backslash). Nothing is read or written when the folder is empty or
// "cfg.ini" in it would not fit in MAX_PATH.
class CConfig {
public:
    CConfig();
    explicit CConfig(std::wstring dir);

    // Leaves the record as it is when there is no settings file; a missing key reads as 0.
    void Load(CSetting& setting) const;
    // Writes the five keys into a copy of the file and puts the copy in place in one step, so a save
    // cut short can never leave a damaged file; where no copy can be made, writes the file in place.
    void Save(CSetting setting) const;

    const std::wstring& Dir() const { return m_dir; }

private:
    std::wstring m_dir;
};

extern const wchar_t kConfigFileName[];
extern const wchar_t kConfigTempName[];
