// What a tree of a comparison holds below one of its nodes: keys or folders,
// and values or files.
#pragma once

#include "compare/CompareNode.h"

#include <cstdint>

struct CTreeCounts {
    uint64_t nodes = 0;
    uint64_t items = 0;
};

// Everything below node, the node itself not counted. Recursive: the
// benchmarks' trees are at most a few hundred levels deep.
inline void AddCountsBelow(const CCompareNode& node, CTreeCounts& counts)
{
    for (const CCompareNode* child : node.Nodes()) {
        ++counts.nodes;
        AddCountsBelow(*child, counts);
    }
    counts.items += node.Items().GetCount();
}

inline CTreeCounts CountsBelow(const CCompareNode& node)
{
    CTreeCounts counts;
    AddCountsBelow(node, counts);
    return counts;
}
