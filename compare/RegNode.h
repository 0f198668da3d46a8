// A key of a compared registry snapshot, or one of its two roots.
#pragma once

#include "compare/CompareNode.h"

class CRegNode : public CCompareNode {
public:
    CRegNode(CCompareName name, CCompareNode* parent) : CCompareNode(std::move(name), parent) {}
};
