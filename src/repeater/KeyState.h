#pragma once

// What the worker reads of the keyboard before each press. A key down sent while the user still holds
// a modifier (the Ctrl of the hotkey that started repeating, say) reaches the application as a chord:
// Ctrl + S saves, Ctrl + W closes a tab. A test can hold a modifier of its own instead.
class IKeyState {
public:
    virtual ~IKeyState() = default;
    // Whether Shift, Ctrl, Alt or a Windows key is down.
    virtual bool IsModifierDown() = 0;
};

// The system's key state, as the input stream has it now.
class CSystemKeyState : public IKeyState {
public:
    bool IsModifierDown() override;
};
