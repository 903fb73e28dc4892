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
    // Writes the five keys into a copy of the file and, once the copy holds them and is on the disk,
    // puts it in place in one step: a save that fails or is cut short leaves the file as it was and no
    // copy behind. Where the file is a link, the file it points to is the one replaced. Only where the
    // folder allows no new file is the file written in place, and then only with room enough for the
    // whole rewrite. Returns whether the file now holds the settings; a refused save can be tried again.
    bool Save(CSetting setting) const;

    const std::wstring& Dir() const { return m_dir; }

private:
    std::wstring m_dir;
};

extern const wchar_t kConfigFileName[];
// The save's copy is named after the file it replaces with this added ("cfg.ini.tmp").
extern const wchar_t kTempSuffix[];
