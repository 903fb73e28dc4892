#pragma once

#include <windows.h>

#include <cstdint>

// The worker thread. `param` is the main dialog, whose repeater state it reads: while repeating is
// on it presses the current key and pauses for the interval edit's number, each cycle timed from its
// own start; while off it sleeps until woken. It ends when the dialog's alive flag clears.
DWORD WINAPI RepeatThreadProc(LPVOID param);

// How long one cycle lasts: the hold when a key was pressed, plus the interval, never less than 1 ms.
LONGLONG CycleMilliseconds(bool pressed, std::int32_t interval);
