#include "framework/Wnd.h"

#include <vector>

std::string GetWindowTextOf(HWND h)
{
    int n = ::GetWindowTextLengthA(h);
    if (n <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(n) + 1);
    int got = ::GetWindowTextA(h, text.data(), n + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    BOOL ok = ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    return ok;
}

std::string CWnd::GetWindowText() const
{
    return GetWindowTextOf(m_hWnd);
}

std::string CWnd::GetDlgItemText(int id) const
{
    return GetWindowTextOf(::GetDlgItem(m_hWnd, id));
}
