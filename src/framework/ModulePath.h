#pragma once

#include <string>

// The executable's full path; empty when it does not fit in MAX_PATH, since a path cut short names
// another file.
std::wstring GetModulePath();
