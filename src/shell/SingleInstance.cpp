#include "SingleInstance.h"

#include <windows.h>

const wchar_t kInstanceMutexName[] = L"TOVRIK_TAPWREN_RUNNING_INSTANCE";

bool CheckSingleInstance(const wchar_t* name) {
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, name);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        ::PostQuitMessage(0);
        return false;
    }
    return true;
}
