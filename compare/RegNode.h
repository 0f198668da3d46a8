// A key of a compared registry snapshot, or one of its two roots.
#pragma once

#include "compare/CompareNode.h"
#include "compare/TreeStorage.h"

class CRegNode final : public CCompareNode {
public:
    CRegNode(CCompareName name, CCompareNode* parent) : CCompareNode(std::move(name), parent) {}

    CCompareNode* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const override
    {
        CRegNode* copy = storage.Create<CRegNode>(storage.Name(GetStoredName()), parent);
        copy->CopyPairing(*this);
        return copy;
    }
};
