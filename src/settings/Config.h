#pragma once

#include <string>

#include "common/Setting.h"

// The settings store: "cfg.ini" beside the executable, section "setting".
class CConfig {
public:
    // Leaves the record as it is when there is no settings file; a missing key reads as 0.
    void Load(CSetting& setting);
    void Save(CSetting setting);
};

// The same two operations on the settings file of a given folder (with its trailing backslash).
// Nothing is read or written when the folder is empty or "cfg.ini" in it would not fit in MAX_PATH.
void LoadSettingsFrom(const std::wstring& dir, CSetting& setting);
// Writes the five keys into a copy of the file and puts the copy in place in one step, so a save cut
// short can never leave a damaged file; where no copy can be made, writes the file in place.
void SaveSettingsTo(const std::wstring& dir, const CSetting& setting);

extern const wchar_t kConfigFileName[];
extern const wchar_t kConfigTempName[];
