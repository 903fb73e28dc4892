#pragma once

#include <windows.h>

// Where the worker's key presses go. The program sends them into the system input stream; a test
// can record them instead. `extended` marks a key of the extended set (the arrows, Insert, Delete,
// Home, End, Page Up and Down, keypad Enter and /), which shares its scan code with a keypad key.
class IKeyOutput {
public:
    virtual ~IKeyOutput() = default;
    virtual void KeyDown(BYTE vk, bool extended) = 0;
    virtual void KeyUp(BYTE vk, bool extended) = 0;
};

// Synthesised keyboard input, as if typed: the virtual key with its scan code looked up afresh for
// each event, flagged as extended when the key is, so that a game reading scan codes sees the Left
// arrow rather than keypad 4.
class CSystemKeyOutput : public IKeyOutput {
public:
    void KeyDown(BYTE vk, bool extended) override;
    void KeyUp(BYTE vk, bool extended) override;
};
