#include "tools/DiffReport.h"

#include "compare/FSFile.h"
#include "compare/FileProperties.h"
#include "compare/RegVal.h"

#include <cstdio>
#include <vector>

namespace {

// Visits a tree in the views' order (a node, its child nodes' subtrees, then
// its items) without recursing, so any depth the loader accepts is fine.
template <class OnNode, class OnItem>
void WalkTree(const CCompareNode& root, OnNode onNode, OnItem onItem)
{
    struct Frame {
        const CCompareNode* node;
        ListPosition next;
        unsigned depth;
    };
    std::vector<Frame> stack;
    auto enter = [&](const CCompareNode& node, unsigned depth) {
        if (onNode(node, depth))
            stack.push_back(Frame{&node, node.Nodes().GetHeadPosition(), depth});
    };
    enter(root, 0);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next) {
            const CCompareNode* child = frame.node->Nodes().GetNext(frame.next);
            enter(*child, frame.depth + 1);
            continue;
        }
        for (const CCompareItem* item : frame.node->Items())
            onItem(*item, frame.depth + 1);
        stack.pop_back();
    }
}

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

std::string TreeListing(const CCompareNode& root1, const CCompareNode& root2)
{
    std::string text;
    std::string name;
    for (const CCompareNode* root : {&root1, &root2}) {
        const char* side = root == &root1 ? "L " : "R ";
        auto line = [&](unsigned depth, int state, const char* kind) {
            text += side + std::to_string(depth) + " " + std::to_string(state) + kind + name + "\n";
        };
        WalkTree(
            *root,
            [&](const CCompareNode& node, unsigned depth) {
                node.GetName(name);
                line(depth, node.GetState(), " N ");
                return true;
            },
            [&](const CCompareItem& item, unsigned depth) {
                item.GetName(name);
                line(depth, item.GetState(), " I ");
            });
    }
    return text;
}

std::string FormatUtcFileTime(uint64_t fileTime)
{
    CCalendarTime t;
    char text[64];
    if (!FileTimeToCalendar(fileTime, t)) {
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(fileTime));
        return text;
    }
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%07u UTC", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, static_cast<unsigned>(fileTime % 10000000));
    return text;
}

std::string CFSFileDescriber::Describe(const CCompareItem& item) const
{
    const CFSFile& file = static_cast<const CFSFile&>(item);
    return FormatSizeText(file.GetSize()) + ", modified " + FormatUtcFileTime(file.GetModified());
}

std::string CFSFileDescriber::DescribeChange(const CCompareItem& item1,
                                             const CCompareItem& item2) const
{
    const CFSFile& a = static_cast<const CFSFile&>(item1);
    const CFSFile& b = static_cast<const CFSFile&>(item2);
    std::vector<std::string> changes;
    if (a.GetSize() != b.GetSize())
        changes.push_back("size " + FormatSizeText(a.GetSize()) + " -> " + FormatSizeText(b.GetSize()));
    if (a.GetCreated() != b.GetCreated())
        changes.push_back("created " + FormatUtcFileTime(a.GetCreated()) + " -> " +
                          FormatUtcFileTime(b.GetCreated()));
    if (a.GetModified() != b.GetModified())
        changes.push_back("modified " + FormatUtcFileTime(a.GetModified()) + " -> " +
                          FormatUtcFileTime(b.GetModified()));
    std::string text;
    for (const std::string& change : changes)
        text += (text.empty() ? "" : "; ") + change;
    return text;
}

std::string RegTypeName(uint32_t type)
{
    static const char* const names[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY",
                                        "REG_DWORD", "REG_DWORD_BIG_ENDIAN", "REG_LINK",
                                        "REG_MULTI_SZ", "REG_RESOURCE_LIST",
                                        "REG_FULL_RESOURCE_DESCRIPTOR",
                                        "REG_RESOURCE_REQUIREMENTS_LIST", "REG_QWORD"};
    if (type < sizeof names / sizeof names[0])
        return names[type];
    return "type " + std::to_string(type);
}

namespace {

// Data this short are shown byte by byte when they change.
constexpr uint32_t kShownDataLimit = 16;

std::string HexBytes(const CRegVal& value)
{
    if (value.GetDataSize() == 0)
        return "(no data)";
    std::string text;
    char group[4];
    for (uint32_t i = 0; i < value.GetDataSize(); ++i) {
        std::snprintf(group, sizeof group, i == 0 ? "%02X" : " %02X", value.GetData()[i]);
        text += group;
    }
    return text;
}

}  // namespace

std::string CRegValDescriber::Describe(const CCompareItem& item) const
{
    const CRegVal& value = static_cast<const CRegVal&>(item);
    return RegTypeName(value.GetType()) + ", " + FormatSizeText(value.GetDataSize());
}

std::string CRegValDescriber::DescribeChange(const CCompareItem& item1,
                                             const CCompareItem& item2) const
{
    const CRegVal& a = static_cast<const CRegVal&>(item1);
    const CRegVal& b = static_cast<const CRegVal&>(item2);
    std::vector<std::string> changes;
    if (a.GetType() != b.GetType())
        changes.push_back("type " + RegTypeName(a.GetType()) + " -> " + RegTypeName(b.GetType()));
    if (a.GetDataSize() != b.GetDataSize())
        changes.push_back("size " + FormatSizeText(a.GetDataSize()) + " -> " +
                          FormatSizeText(b.GetDataSize()));
    if (a.GetDataSize() <= kShownDataLimit && b.GetDataSize() <= kShownDataLimit) {
        changes.push_back("data " + HexBytes(a) + " -> " + HexBytes(b));
    } else {
        uint32_t common = a.GetDataSize() < b.GetDataSize() ? a.GetDataSize() : b.GetDataSize();
        uint32_t at = 0;
        while (at < common && a.GetData()[at] == b.GetData()[at])
            ++at;
        if (at < common)
            changes.push_back("data differ from byte " + std::to_string(at));
    }
    std::string text;
    for (const std::string& change : changes)
        text += (text.empty() ? "" : "; ") + change;
    return text;
}

std::string ChangeReport(const CCompareMine& mine, const IItemDescriber& describer)
{
    std::string text;
    std::string counts;
    for (int side = 1; side <= 2; ++side) {
        const CCompareNode* root = side == 1 ? mine.GetRoot1() : mine.GetRoot2();
        const char* only = side == 1 ? "only in 1: " : "only in 2: ";
        WalkTree(
            *root,
            [&](const CCompareNode& node, unsigned) {
                if (node.GetState() != csUnique)
                    return true;
                std::string folders, items;
                mine.FormatNodeCount(folders, static_cast<unsigned long>(node.CountNodes()));
                uint64_t itemCount = 0;
                WalkTree(
                    node, [](const CCompareNode&, unsigned) { return true; },
                    [&](const CCompareItem&, unsigned) { ++itemCount; });
                mine.FormatItemCount(items, static_cast<unsigned long>(itemCount));
                text += only + EntryPath(node) + "\\ (holding " + folders + ", " + items + ")\n";
                return false;  // its contents are part of this one difference
            },
            [&](const CCompareItem& item, unsigned) {
                if (item.GetState() == csUnique)
                    text += only + EntryPath(item) + " (" + describer.Describe(item) + ")\n";
                else if (side == 1 && item.GetState() == csChanged && item.GetOpposite())
                    text += "changed:   " + EntryPath(item) + ": " +
                            describer.DescribeChange(item, *item.GetOpposite()) + "\n";
            });
    }
    return text;
}

bool TreesIdentical(const CCompareMine& mine)
{
    return mine.GetRoot1()->IsEmpty() && mine.GetRoot2()->IsEmpty();
}
