// The loading skeleton that both snapshot kinds share. After its header a
// snapshot file holds node records (folders, keys) in depth-first pre-order:
// each node record tells how many item records (files, values) and how many
// child node records follow it, items first. The loader keeps, for every
// open node, how many of each are still to come, so no count is believed
// ahead of the records actually read, and nesting never costs stack.
//
// The kinds supply how one node record and one item record are read; the
// skeleton supplies the order, the depth limit, one progress step per node
// record and the compaction of each node's lists once it is complete.
#pragma once

#include "compare/CompareNode.h"
#include "compare/SnapReader.h"
#include "seams/Progress.h"
#include "seams/UserMessages.h"

#include <cstdint>
#include <vector>

// What a node record announces of the records that follow it.
struct NodeRecordCounts {
    uint32_t items = 0;
    uint32_t nodes = 0;
};

// The deepest nesting a kind accepts, and the note that refuses a file that
// nests deeper.
struct RecordTreeLimit {
    uint32_t maxDepth;          // node records open at once below the root
    const char* nestedTooDeep;
};

// Reads the file's first word; false, after noting notASnapshot, when it is
// not version (also when the file is too short to hold it).
inline bool ReadVersionWord(CSnapReader& in, uint16_t version, IUserMessages& messages,
                            const char* notASnapshot)
{
    uint16_t word = 0;
    in.ReadU16(word);
    if (word != version) {
        messages.Note(notASnapshot);
        return false;
    }
    return true;
}

// Reads topLevelNodes node records below root, each with everything it
// announces, and compacts root's lists last.
//   readNode(CCompareNode* parent, NodeRecordCounts& counts) reads one node
//     record, adds its node to parent and returns it with counts filled in;
//     null when the record is cut short.
//   readItem(CCompareNode* node) reads one item record and adds its item to
//     node; false when the record is cut short or refused (it notes why).
// Each node record advances the progress bar by one step before it is read;
// progress may be null. False as soon as a record fails.
template <typename ReadNode, typename ReadItem>
bool ReadRecordTree(CCompareNode* root, uint32_t topLevelNodes, const RecordTreeLimit& limit,
                    IUserMessages& messages, IProgress* progress, ReadNode&& readNode,
                    ReadItem&& readItem)
{
    struct OpenNode {
        CCompareNode* node;
        uint32_t itemsLeft;
        uint32_t nodesLeft;
    };
    std::vector<OpenNode> open;
    open.push_back(OpenNode{root, 0, topLevelNodes});
    while (!open.empty()) {
        OpenNode& top = open.back();
        if (top.itemsLeft > 0) {
            --top.itemsLeft;
            if (!readItem(top.node))
                return false;
        } else if (top.nodesLeft > 0) {
            --top.nodesLeft;
            // The root is open too, but is no record of the file.
            if (open.size() > limit.maxDepth) {
                messages.Note(limit.nestedTooDeep);
                return false;
            }
            if (progress)
                progress->BarStepIt();
            NodeRecordCounts counts;
            CCompareNode* node = readNode(top.node, counts);
            if (!node)
                return false;
            open.push_back(OpenNode{node, counts.items, counts.nodes});
        } else {
            top.node->CompactLists();
            open.pop_back();
        }
    }
    return true;
}
