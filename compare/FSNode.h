// A folder of a compared file-system snapshot, or one of its two roots.
#pragma once

#include "compare/CompareNode.h"

class CFSNode : public CCompareNode {
public:
    CFSNode(CCompareName name, CCompareNode* parent) : CCompareNode(std::move(name), parent) {}
};
