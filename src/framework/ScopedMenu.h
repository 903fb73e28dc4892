#pragma once

#include <windows.h>

// A popup menu destroyed when it goes out of scope.
class CScopedMenu {
public:
    CScopedMenu() : m_hMenu(::CreatePopupMenu()) {}
    ~CScopedMenu() {
        if (m_hMenu != nullptr)
            ::DestroyMenu(m_hMenu);
    }
    CScopedMenu(const CScopedMenu&) = delete;
    CScopedMenu& operator=(const CScopedMenu&) = delete;

    HMENU Get() const { return m_hMenu; }

private:
    HMENU m_hMenu;
};
