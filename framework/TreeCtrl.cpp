#include "framework/TreeCtrl.h"

#include <vector>

namespace {

// The control cannot say how long a text is: a text that fills the buffer
// may have been cut, so ask again with more room.
template <class Item, UINT message, class Char>
std::basic_string<Char> ItemText(const CTreeCtrl& tree, HTREEITEM item)
{
    for (size_t size = 256;; size *= 2) {
        std::vector<Char> text(size);
        Item tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text.data();
        tv.cchTextMax = static_cast<int>(size);
        if (!tree.SendMessage(message, 0, reinterpret_cast<LPARAM>(&tv)))
            return std::basic_string<Char>();
        std::basic_string<Char> got(tv.pszText);
        if (got.size() + 1 < size || size >= 65536)
            return got;
    }
}

}  // namespace

std::string CTreeCtrl::GetItemText(HTREEITEM item) const
{
    return ItemText<TVITEMA, TVM_GETITEMA, char>(*this, item);
}

std::wstring CTreeCtrl::GetItemTextW(HTREEITEM item) const
{
    return ItemText<TVITEMW, TVM_GETITEMW, wchar_t>(*this, item);
}
