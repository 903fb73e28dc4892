#pragma once

#include <windows.h>

#include <vector>

#include "framework/WinApp.h"

// The one application object of the Windows unit tests, as the program has its own: the dialog
// loads its icon through it. It records the help requests it receives instead of starting WinHelp.
class CTestApp : public CWinApp {
public:
    void OnHelp(DWORD dwContext) override { m_helpContexts.push_back(dwContext); }
    std::vector<DWORD> m_helpContexts;
};

extern CTestApp g_testApp;
