#pragma once

#include <windows.h>

#include <functional>

#include "KeyOutput.h"
#include "Pause.h"

// Sends key down, holds it 100 ms, sends key up, both flagged as extended when `extended`. No
// modifier is pressed with it. `whileHeld` runs right after the key down, inside the hold, so that
// its time does not lengthen the press; it is given the time the key went down. A cancelled pause
// cuts the hold short, but the key always goes up again. Returns false for 0, sending nothing,
// without the hold and without running `whileHeld`.
bool PressKey(BYTE vk,
              bool extended,
              IKeyOutput& output,
              IPause& pause,
              const std::function<void(LONGLONG down)>& whileHeld = nullptr);

// One press into the system input stream.
bool PressKey(BYTE vk, bool extended = false);
