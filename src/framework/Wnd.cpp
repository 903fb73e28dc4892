#include "Wnd.h"

#include <vector>

std::wstring CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}
