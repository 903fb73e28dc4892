// A stand-in for a version.dll planted beside a program by someone else. It answers every call with
// failure, so a program that loaded it instead of the system's copy could not read its version.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR, LPDWORD) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR, DWORD, DWORD, LPVOID) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID, LPCWSTR, LPVOID*, PUINT) {
    return FALSE;
}
