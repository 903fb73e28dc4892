#include "SingleInstance.h"

#include <windows.h>

const wchar_t kInstanceMutexName[] = L"TOVRIK_TAPWREN_RUNNING_INSTANCE";

bool CheckSingleInstance(const wchar_t* name) {
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, name);
    const DWORD error = ::GetLastError();
    // A copy run as administrator makes the mutex with a security descriptor that lets no ordinary
    // copy open it: that refusal says just as surely that another copy runs.
    if (error == ERROR_ALREADY_EXISTS || (mutex == nullptr && error == ERROR_ACCESS_DENIED)) {
        if (mutex != nullptr)
            ::CloseHandle(mutex);
        ::PostQuitMessage(0);
        return false;
    }
    return true;
}
