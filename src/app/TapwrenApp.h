#pragma once

#include "framework/WinApp.h"

// The application object: runs the main dialog and ends the program when it closes.
class CTapwrenApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
