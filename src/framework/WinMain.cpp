#include <windows.h>

#include "WinApp.h"

// Runs the application object; the program is over when InitInstance returns.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (CWinApp* app = AfxGetApp())
        app->InitInstance();
    return 0;
}
