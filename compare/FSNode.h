// A folder of a compared file-system snapshot, or one of its two roots.
#pragma once

#include "compare/CompareNode.h"
#include "compare/TreeStorage.h"

class CFSNode final : public CCompareNode {
public:
    CFSNode(CCompareName name, CCompareNode* parent) : CCompareNode(std::move(name), parent) {}

    CCompareNode* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const override
    {
        CFSNode* copy = storage.Create<CFSNode>(storage.Name(GetStoredName()), parent);
        copy->CopyPairing(*this);
        return copy;
    }
};
