#pragma once

#include <string>

#include "framework/Wnd.h"

// "Tapwren Ver<version> Design by Tovrik Vennar.", or without the version when the executable's own
// version block cannot be read.
std::wstring TitleForVersion(const std::wstring& version);

// Sets the dialog's title from the running executable's file version.
void ComposeTitle(CWnd& dialog);
