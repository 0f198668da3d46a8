// The two pruned trees of a comparison as the results views show them: a walk
// in the order the views fill their trees, the path of an entry, and a
// listing of every entry that a test or a tool can compare as text.
#pragma once

#include "compare/AnsiChars.h"
#include "compare/CompareItem.h"
#include "compare/CompareMine.h"
#include "compare/CompareNode.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Visits a tree in the views' order (a node, its child nodes' subtrees, then
// its items) without recursing, so any depth the loader accepts is fine.
// onNode returns whether to go into the node.
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

// One line per entry that the results view shows, in the order it fills its
// trees: the left tree, then the right, each in pre-order with a node's child
// nodes before its items. A line is "L" or "R", the depth (0 for the root),
// the compare state as a number, "N" or "I", and the display name as
// AppendShownName shows it.
std::string TreeListing(const CCompareNode& root1, const CCompareNode& root2);
// Hands out the lines of TreeListing one by one, without their line ends;
// with nameOf, each entry's name is what it gives (of the node, or of the
// item when that is not null) instead of the display name.
using TreeLineName = std::function<std::string(const CCompareNode& node, const CCompareItem* item)>;
void ForEachTreeLine(const CCompareNode& root1, const CCompareNode& root2,
                     const std::function<void(const std::string& line)>& onLine, const TreeLineName& nameOf = {});

// The path of an entry below its root, its ancestors' names joined by
// backslashes; an item ends with its display name, e.g. (Default).
std::string EntryPath(const CCompareNode& node);
std::string EntryPath(const CCompareItem& item);

// True when both roots were left without nodes and items.
bool TreesIdentical(const CCompareMine& mine);
