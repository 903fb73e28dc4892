#pragma once

#include <windows.h>

#include <string>

// The file version of `path` as "major.minor.build". Returns 0 with the text in `out`, or a system
// error code: ERROR_INVALID_DATA when the version block has no translation table or no fixed part.
DWORD GetFileVersionString(const wchar_t* path, std::wstring& out);

// version.dll from the system folder, by its full path. It is not one of the system's known DLLs, so
// a static import would load any copy planted beside the executable (a downloads folder) instead.
// The caller frees the module.
HMODULE LoadSystemVersionLibrary();
