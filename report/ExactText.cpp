#include "report/ExactText.h"

#include "compare/WideChars.h"
#include "report/AnsiText.h"

namespace {

template <class Entry>
std::string NameUtf8(const Entry& entry)
{
    const CCompareName& name = entry.GetStoredName();
    if (name.HasExact())
        return Utf16ToUtf8(name.Exact());
    std::string shown;
    entry.GetName(shown);
    return AnsiToUtf8(shown);
}

}  // namespace

std::string DisplayNameUtf8(const CCompareNode& node)
{
    return NameUtf8(node);
}

std::string DisplayNameUtf8(const CCompareItem& item)
{
    return NameUtf8(item);
}

std::string EntryPathUtf8(const CCompareNode& node)
{
    std::string path;
    for (const CCompareNode* n = &node; n->GetParent(); n = n->GetParent())
        path = n->GetParent()->GetParent() ? "\\" + NameUtf8(*n) + path : NameUtf8(*n) + path;
    return path;
}

std::string EntryPathUtf8(const CCompareItem& item)
{
    std::string parent = EntryPathUtf8(*item.GetParent());
    return parent.empty() ? NameUtf8(item) : parent + "\\" + NameUtf8(item);
}
