#include "framework/Controls.h"

#include <vector>

std::string CComboBox::GetLBText(int index) const
{
    LRESULT n = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (n == CB_ERR || n <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(n) + 1);
    LRESULT got = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return got == CB_ERR ? std::string() : std::string(text.data(), static_cast<size_t>(got));
}
