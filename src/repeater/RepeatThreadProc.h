#pragma once

#include <windows.h>

#include "KeyOutput.h"
#include "KeyState.h"
#include "RepeaterState.h"

// How often the worker looks at the keyboard again while a press waits for the user's modifiers: often
// through the first half second, in which a hand lets go of a hotkey's Ctrl, then seldom, so that a
// modifier held down for long (Shift in a game) costs next to nothing.
constexpr LONGLONG kModifierPollMs = 5;
constexpr LONGLONG kModifierQuickPollingMs = 500;
constexpr LONGLONG kModifierSlowPollMs = 50;

// The worker's loop: while repeating is on it presses the current key through `output` and pauses
// for the interval edit's number, each cycle timed from its own start; a press that falls due while
// `keys` has a modifier down waits until all are up. While off it sleeps until woken. It returns when
// the alive flag clears or the pause is cancelled.
DWORD RunRepeater(IRepeaterState& state, IKeyOutput& output, IKeyState& keys);

// The worker thread. `param` is the main dialog, as its repeater state; the presses go into the
// system input stream.
DWORD WINAPI RepeatThreadProc(LPVOID param);
