#include "compare/TreePairing.h"

#include "seams/Progress.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The counterpart that a pass pairs with a child node or an item of the
// other tree below node, or null; lookup serves node's list for the whole
// pass over it.
CCompareNode* NodePartner(const CCompareNode& node, const CCompareNode& child, CCompareNode::NodeList::CLookup& lookup)
{
    // The second pass meets the pairs of the first again.
    if (child.GetOpposite() && child.GetOpposite()->GetParent() == &node)
        return child.GetOpposite();
    return node.Nodes().GetAt(node.Nodes().FindUnpaired(child.GetStoredName(), lookup));
}

CCompareItem* ItemPartner(const CCompareNode& node, const CCompareItem& item, CCompareNode::ItemList::CLookup& lookup)
{
    if (item.GetOpposite() && item.GetOpposite()->GetParent() == &node)
        return item.GetOpposite();
    return node.Items().GetAt(node.Items().FindUnpaired(item.GetStoredName(), lookup));
}

// Settles an item's state from the counterpart of its parent in the other
// tree, looking it up in opposite's items through lookup.
void PairItem(CCompareItem* item, const CCompareNode& opposite, CCompareNode::ItemList::CLookup& lookup,
              Exactness exactness)
{
    if (item->GetState() != csUncompared)
        return;
    CCompareItem* counterpart = ItemPartner(opposite, *item, lookup);
    if (!counterpart) {
        item->SetState(csUnique);
        return;
    }
    item->LinkOpposite(counterpart);
    CompareState state = item->IsEqual(*counterpart, exactness) ? csIdentical : csChanged;
    item->SetState(state);
    counterpart->SetState(state);
}

}  // namespace

void PairTrees(CCompareNode* root, CCompareNode* opposite, IProgress* progress, Exactness exactness)
{
    // The explicit stack visits the pairs in the same depth-first order as
    // the recursive pass would: a pair, then each matched child pair in full,
    // then the pair's items.
    struct Frame {
        CCompareNode* node;
        CCompareNode* opposite;
        ListPosition next;  // the next child node to look up
        CCompareNode::NodeList::CLookup nodeLookup;  // into the opposite's lists, for this pair only
        CCompareNode::ItemList::CLookup itemLookup;
    };
    std::vector<Frame> stack;
    auto enter = [&](CCompareNode* node, CCompareNode* counterpart) {
        if (progress)
            progress->BarStepIt();
        node->LinkOpposite(counterpart);
        stack.push_back(Frame{node, counterpart, node->Nodes().GetHeadPosition(),
                              CCompareNode::NodeList::CLookup(exactness), CCompareNode::ItemList::CLookup(exactness)});
    };

    enter(root, opposite);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next) {
            CCompareNode* child = frame.node->Nodes().GetNext(frame.next);
            CCompareNode* counterpart = NodePartner(*frame.opposite, *child, frame.nodeLookup);
            if (counterpart) {
                child->SetState(csIdentical);
                enter(child, counterpart);
            } else {
                child->SetState(csUnique);
            }
            continue;
        }
        for (CCompareItem* item : frame.node->Items())
            PairItem(item, *frame.opposite, frame.itemLookup, exactness);
        stack.pop_back();
    }
}

namespace {

// Lists up to this long are searched for twins pair by pair, which costs
// less than hashing and sorting their names.
constexpr uint32_t kPairwiseTwinLimit = 16;

// Calls mark for every element of list whose name matches another's. A long
// list's names are sorted by their hash, and each run of one hash is split
// into groups of matching names, so a list of one name repeated costs no
// more than a list of distinct names. named is room to reuse.
template <class T, class Mark>
void MarkTwinsIn(const CCompareList<T>& list, Exactness exactness, std::vector<std::pair<uint32_t, void*>>& named,
                 Mark mark)
{
    const uint32_t count = list.GetCount();
    if (count < 2)
        return;
    if (count <= kPairwiseTwinLimit) {
        T* elements[kPairwiseTwinLimit];
        uint32_t n = 0;
        for (T* element : list)
            elements[n++] = element;
        for (uint32_t i = 0; i < n; ++i)
            for (uint32_t j = i + 1; j < n; ++j)
                if (NamesMatch(elements[i]->GetStoredName(), elements[j]->GetStoredName(), exactness)) {
                    mark(elements[i]);
                    mark(elements[j]);
                }
        return;
    }
    named.clear();
    for (T* element : list)
        named.emplace_back(NameMatchHash(element->GetStoredName(), exactness), element);
    std::sort(named.begin(), named.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<T*> firsts;  // the first of each group in the run
    for (size_t run = 0; run < named.size();) {
        size_t end = run + 1;
        while (end < named.size() && named[end].first == named[run].first)
            ++end;
        // A hash that only one name has names no twin.
        if (end - run > 1) {
            firsts.clear();
            for (size_t i = run; i < end; ++i) {
                T* element = static_cast<T*>(named[i].second);
                auto first = std::find_if(firsts.begin(), firsts.end(), [&](const T* other) {
                    return NamesMatch(other->GetStoredName(), element->GetStoredName(), exactness);
                });
                if (first == firsts.end()) {
                    firsts.push_back(element);
                } else {
                    mark(*first);
                    mark(element);
                }
            }
        }
        run = end;
    }
}

}  // namespace

void MarkTwins(CCompareNode* root, Exactness exactness)
{
    std::vector<CCompareNode*> pending{root};
    std::vector<std::pair<uint32_t, void*>> named;
    while (!pending.empty()) {
        CCompareNode* node = pending.back();
        pending.pop_back();
        MarkTwinsIn(node->Nodes(), exactness, named, [](CCompareNode* twin) { twin->SetTwin(); });
        MarkTwinsIn(node->Items(), exactness, named, [](CCompareItem* twin) { twin->SetTwin(); });
        for (CCompareNode* child : node->Nodes())
            pending.push_back(child);
    }
}

