#include "compare/TreeListing.h"

namespace {

std::string Join(std::vector<std::string> parts)
{
    std::string text;
    for (size_t i = parts.size(); i-- > 0;) {
        text += parts[i];
        if (i != 0)
            text += '\\';
    }
    return text;
}

}  // namespace

std::string EntryPath(const CCompareNode& node)
{
    std::vector<std::string> parts;
    for (const CCompareNode* n = &node; n->GetParent(); n = n->GetParent())
        parts.push_back(n->GetStoredName().str());
    return Join(parts);
}

std::string EntryPath(const CCompareItem& item)
{
    std::string parent = EntryPath(*item.GetParent());
    std::string name;
    item.GetName(name);
    return parent.empty() ? name : parent + "\\" + name;
}

void ForEachTreeLine(const CCompareNode& root1, const CCompareNode& root2,
                     const std::function<void(const std::string& line)>& onLine, const TreeLineName& nameOf)
{
    std::string name, text;
    for (const CCompareNode* root : {&root1, &root2}) {
        const char* side = root == &root1 ? "L " : "R ";
        auto line = [&](unsigned depth, int state, const char* kind) {
            text = side + std::to_string(depth) + " " + std::to_string(state) + kind;
            AppendShownName(text, name);
            onLine(text);
        };
        WalkTree(
            *root,
            [&](const CCompareNode& node, unsigned depth) {
                if (nameOf)
                    name = nameOf(node, nullptr);
                else
                    node.GetName(name);
                line(depth, node.GetState(), " N ");
                return true;
            },
            [&](const CCompareItem& item, unsigned depth) {
                if (nameOf)
                    name = nameOf(*item.GetParent(), &item);
                else
                    item.GetName(name);
                line(depth, item.GetState(), " I ");
            });
    }
}

std::string TreeListing(const CCompareNode& root1, const CCompareNode& root2)
{
    std::string text;
    ForEachTreeLine(root1, root2, [&](const std::string& line) { text += line + "\n"; });
    return text;
}

bool TreesIdentical(const CCompareMine& mine)
{
    return mine.GetRoot1()->IsEmpty() && mine.GetRoot2()->IsEmpty();
}
