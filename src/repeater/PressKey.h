#pragma once

#include <windows.h>

#include "Pause.h"

constexpr LONGLONG kHoldMs = 100;

// Sends key down, holds it 100 ms, sends key up. No modifier is pressed with it. A cancelled pause
// cuts the hold short, but the key always goes up again. Returns false, sending nothing, for 0.
bool PressKey(BYTE vk, CPause& pause);
