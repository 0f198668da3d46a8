#include "framework/TreeCtrl.h"

#include <vector>

std::string CTreeCtrl::GetItemText(HTREEITEM item) const
{
    // The control cannot say how long a text is: a text that fills the
    // buffer may have been cut, so ask again with more room.
    for (size_t size = 256;; size *= 2) {
        std::vector<char> text(size);
        TVITEMA tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text.data();
        tv.cchTextMax = static_cast<int>(size);
        if (!SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
            return std::string();
        std::string got(tv.pszText);
        if (got.size() + 1 < size || size >= 65536)
            return got;
    }
}
