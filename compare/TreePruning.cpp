#include "compare/TreePruning.h"

#include <vector>

void RemoveIdenticals(CCompareNode* root)
{
    struct Frame {
        CCompareNode* node;
        ListPosition next;     // the next child node to visit
        ListPosition visited;  // the child being pruned, 0 when none
    };
    std::vector<Frame> stack;
    stack.push_back(Frame{root, root->Nodes().GetHeadPosition(), 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        CCompareNode* node = frame.node;
        if (frame.visited) {
            if (node->Nodes().GetAt(frame.visited)->IsEmpty())
                node->RemoveNodeAt(frame.visited);
            frame.visited = 0;
            continue;
        }
        if (frame.next) {
            ListPosition pos = frame.next;
            CCompareNode* child = node->Nodes().GetNext(frame.next);
            if (child->GetState() != csIdentical)
                continue;  // unique or never compared: kept whole
            frame.visited = pos;
            stack.push_back(Frame{child, child->Nodes().GetHeadPosition(), 0});
            continue;
        }
        for (ListPosition pos = node->Items().GetHeadPosition(); pos;) {
            ListPosition current = pos;
            if (node->Items().GetNext(pos)->GetState() == csIdentical)
                node->RemoveItemAt(current);
        }
        node->CompactLists();
        stack.pop_back();
    }
}
