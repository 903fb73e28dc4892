#pragma once

#include <string>

// Pieces of a Windows path, split at its last backslash (the separator GetModuleFileNameW gives).

// Everything up to and including the last backslash; empty when there is none.
std::wstring DirectoryOf(const std::wstring& path);
// Everything after the last backslash; the whole path when there is none.
std::wstring FileNameOf(const std::wstring& path);
// The path without the extension of its file name; a dot in a folder's name is not an extension.
std::wstring WithoutExtension(const std::wstring& path);
