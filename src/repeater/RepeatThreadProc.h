#pragma once

#include <windows.h>

#include "KeyOutput.h"
#include "RepeaterState.h"

// The worker's loop: while repeating is on it presses the current key through `output` and pauses
// for the interval edit's number, each cycle timed from its own start; while off it sleeps until
// woken. It returns when the alive flag clears or the pause is cancelled.
DWORD RunRepeater(IRepeaterState& state, IKeyOutput& output);

// The worker thread. `param` is the main dialog, as its repeater state; the presses go into the
// system input stream.
DWORD WINAPI RepeatThreadProc(LPVOID param);
