#include "compare/TreeMove.h"

#include <new>
#include <utility>
#include <vector>

namespace {

// Copies the elements of list into cells of storage, below parent, in order;
// notes each copy in copies.
template <class T>
T** CopyList(const CCompareList<T>& list, CTreeStorage& storage, CCompareNode* parent, std::vector<T*>& copies)
{
    uint32_t count = list.GetCount();
    if (count == 0)
        return nullptr;
    T** cells = storage.Cells<T>(count);
    uint32_t i = 0;
    for (const T* element : list) {
        T* copy = element->PlaceCopy(storage, parent);
        copies.push_back(copy);
        cells[i++] = copy;
    }
    return cells;
}

// Makes the opposite of each copy name the copy instead of its original.
template <class T>
void LinkCopies(const std::vector<T*>& copies)
{
    for (T* copy : copies)
        if (copy->GetOpposite())
            copy->LinkOpposite(copy->GetOpposite());
}

}  // namespace

CCompareNode* MoveTreeInto(const CCompareNode& root, CTreeStorage& storage, uint64_t limit)
{
    std::vector<CCompareNode*> nodeCopies;
    std::vector<CCompareItem*> itemCopies;
    try {
        nodeCopies.push_back(root.PlaceCopy(storage, nullptr));
        std::vector<std::pair<const CCompareNode*, CCompareNode*>> pending{{&root, nodeCopies.back()}};
        while (!pending.empty()) {
            auto [original, copy] = pending.back();
            pending.pop_back();
            copy->AdoptItems(CopyList(original->Items(), storage, copy, itemCopies), original->Items().GetCount());
            size_t firstChild = nodeCopies.size();
            copy->AdoptNodes(CopyList(original->Nodes(), storage, copy, nodeCopies), original->Nodes().GetCount());
            uint32_t i = 0;
            for (const CCompareNode* child : original->Nodes())
                pending.emplace_back(child, nodeCopies[firstChild + i++]);
            if (storage.UsedBytes() > limit)
                return nullptr;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    // Nothing allocates from here on.
    LinkCopies(nodeCopies);
    LinkCopies(itemCopies);
    return nodeCopies.front();
}
