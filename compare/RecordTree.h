// The loading skeleton that both snapshot kinds share. After its header a
// snapshot file holds node records (folders, keys) in depth-first pre-order:
// each node record tells how many item records (files, values) and how many
// child node records follow it, items first. The loader keeps, for every
// open node, how many of each are still to come, so no count is believed
// ahead of the records actually read, and nesting never costs stack.
//
// The kinds supply how one node record and one item record are read; the
// skeleton supplies the order, the depth limit, one progress step per node
// record, and the lists: each node's items and child nodes are gathered
// while they are read and handed to it in one array of the tree's storage.
#pragma once

#include "compare/CompareNode.h"
#include "compare/SnapReader.h"
#include "compare/TreeStorage.h"
#include "seams/Progress.h"
#include "seams/UserMessages.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// What a node record announces of the records that follow it.
struct NodeRecordCounts {
    uint32_t items = 0;
    uint32_t nodes = 0;
    bool cut = false;  // the record ended before its counts
};

// The deepest nesting a kind accepts, and the note that refuses a file that
// nests deeper.
struct RecordTreeLimit {
    uint32_t maxDepth;          // node records open at once below the root
    const char* nestedTooDeep;
};

// Reads topLevelNodes node records below root, each with everything it
// announces, into storage.
//   readNode(CCompareNode* parent, NodeRecordCounts& counts) reads one node
//     record and returns its node, made with parent as its parent but not
//     added to it; null when the record is cut short before the node could
//     be made, counts.cut when it is cut short after.
//   readItem(CCompareNode* node) reads one item record and returns its item,
//     not added to node; null when the record is cut short or refused (it
//     notes why).
// Each node record advances the progress bar by one step before it is read;
// progress may be null. False as soon as a record fails; every entry read
// until then is in the tree.
template <typename ReadNode, typename ReadItem>
bool ReadRecordTree(CCompareNode* root, uint32_t topLevelNodes, const RecordTreeLimit& limit,
                    IUserMessages& messages, IProgress* progress, CTreeStorage& storage,
                    ReadNode&& readNode, ReadItem&& readItem)
{
    struct OpenNode {
        CCompareNode* node;
        uint32_t itemsLeft;
        uint32_t nodesLeft;
        size_t firstChild;  // where its child nodes begin in children
    };
    std::vector<OpenNode> open;
    // The items of the node on top, until its last one has been read; and
    // the child nodes of every open node, each node's after its parent's.
    std::vector<CCompareItem*> items;
    std::vector<CCompareNode*> children;

    auto settleItems = [&](CCompareNode* node) {
        if (items.empty())
            return;
        CCompareItem** cells = storage.Cells<CCompareItem>(items.size());
        std::copy(items.begin(), items.end(), cells);
        node->AdoptItems(cells, static_cast<uint32_t>(items.size()));
        items.clear();
    };
    auto settleChildren = [&](const OpenNode& parent) {
        size_t count = children.size() - parent.firstChild;
        if (count == 0)
            return;
        CCompareNode** cells = storage.Cells<CCompareNode>(count);
        std::copy(children.begin() + parent.firstChild, children.end(), cells);
        parent.node->AdoptNodes(cells, static_cast<uint32_t>(count));
        children.resize(parent.firstChild);
    };
    // Hands what was read to the open nodes, innermost first, and fails.
    auto fail = [&]() {
        settleItems(open.back().node);
        for (auto o = open.rbegin(); o != open.rend(); ++o)
            settleChildren(*o);
        return false;
    };

    open.push_back(OpenNode{root, 0, topLevelNodes, 0});
    while (!open.empty()) {
        OpenNode& top = open.back();
        if (top.itemsLeft > 0) {
            --top.itemsLeft;
            CCompareItem* item = readItem(top.node);
            if (!item)
                return fail();
            items.push_back(item);
            if (top.itemsLeft == 0)
                settleItems(top.node);
        } else if (top.nodesLeft > 0) {
            --top.nodesLeft;
            // The root is open too, but is no record of the file.
            if (open.size() > limit.maxDepth) {
                messages.Note(limit.nestedTooDeep);
                return fail();
            }
            if (progress)
                progress->BarStepIt();
            NodeRecordCounts counts;
            CCompareNode* node = readNode(top.node, counts);
            if (!node)
                return fail();
            children.push_back(node);
            if (counts.cut)
                return fail();
            open.push_back(OpenNode{node, counts.items, counts.nodes, children.size()});
        } else {
            settleChildren(top);
            top.node->CompactLists();
            open.pop_back();
        }
    }
    return true;
}
