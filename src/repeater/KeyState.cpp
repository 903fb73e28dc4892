#include "KeyState.h"

#include <windows.h>

bool CSystemKeyState::IsModifierDown() {
    const int modifiers[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN};
    for (int vk : modifiers) {
        if (::GetAsyncKeyState(vk) & 0x8000)
            return true;
    }
    return false;
}
