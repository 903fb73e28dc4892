#pragma once

#include <string>

// The running executable's folder with its trailing backslash, computed once. Empty when the
// executable's path does not fit in MAX_PATH characters: a cut path would name another folder.
std::wstring GetModuleDir();

// Everything of `path` up to and including its last backslash; empty when it has none.
std::wstring DirectoryOf(const std::wstring& path);
