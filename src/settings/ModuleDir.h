#pragma once

#include <string>

// The running executable's folder with its trailing backslash, looked up on first use and kept
// from then on. Empty when the executable's path does not fit in MAX_PATH (a cut path would name
// another folder); an empty result is looked up again next time.
std::wstring GetModuleDir();
