#include "compare/CompareNode.h"
#include "compare/OppositeLink.h"

#include "compare/TreeStorage.h"
#include "seams/Progress.h"

#include <algorithm>
#include <utility>
#include <vector>

CCompareNode::CCompareNode(CCompareName name, CCompareNode* parent)
    : m_strName(std::move(name)),
      m_bItemsToDestroy(false),
      m_bSomethingToFree(false),
      m_bTwin(false),
      m_pParent(parent)
{
}

CCompareNode::~CCompareNode()
{
    // Deleting nodes one by one, each after its children have been moved
    // here, keeps the destructor from recursing once per level.
    std::vector<CCompareNode*> pending;
    m_nodes.TakeAll(pending);
    while (!pending.empty()) {
        CCompareNode* node = pending.back();
        pending.pop_back();
        node->m_nodes.TakeAll(pending);
        NodeList::Dispose(node);
    }
    m_items.RemoveAll();
    if (m_pOpposite)
        m_pOpposite->m_pOpposite = nullptr;
}

ListPosition CCompareNode::FindNode(const CCompareName& name) const
{
    return m_nodes.Find(name);
}

ListPosition CCompareNode::FindItem(const CCompareName& name) const
{
    return m_items.Find(name);
}

void CCompareNode::GetName(std::string& out) const
{
    out = m_strName.str();
}

CCompareNode* CCompareNode::AddNode(std::unique_ptr<CCompareNode> node)
{
    NoteSomethingToFree();
    return m_nodes.AddTail(std::move(node));
}

CCompareItem* CCompareNode::AddItem(std::unique_ptr<CCompareItem> item)
{
    NoteItemToDestroy(*item);
    return m_items.AddTail(std::move(item));
}

void CCompareNode::AdoptItems(CCompareItem** cells, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        if (!cells[i]->IsPlaced() || cells[i]->GetStoredName().OwnsHeapBytes())
            NoteItemToDestroy(*cells[i]);
    m_items.Adopt(cells, count);
}

void CCompareNode::AdoptNodes(CCompareNode** cells, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        if (!cells[i]->IsPlaced() || cells[i]->m_strName.OwnsHeapBytes())
            NoteSomethingToFree();
    m_nodes.Adopt(cells, count);
}

void CCompareNode::NoteItemToDestroy(const CCompareItem&)
{
    m_bItemsToDestroy = true;
    NoteSomethingToFree();
}

void CCompareNode::NoteSomethingToFree()
{
    // Up to the first ancestor that knows already.
    for (CCompareNode* node = this; node && !node->m_bSomethingToFree; node = node->m_pParent)
        node->m_bSomethingToFree = true;
}

void CCompareNode::RemoveNodeAt(ListPosition pos)
{
    m_nodes.RemoveAt(pos);
}

void CCompareNode::RemoveItemAt(ListPosition pos)
{
    m_items.RemoveAt(pos);
}

void CCompareNode::CompactLists()
{
    m_nodes.Compact();
    m_items.Compact();
}

CCompareNode* CCompareNode::LinkOpposite(CCompareNode* other)
{
    return LinkOpposites(this, other, &CCompareNode::m_pOpposite);
}

CCompareNode* CCompareNode::FindNodePartner(const CCompareNode& node, NodeList::CLookup& lookup) const
{
    // The second pass meets the pairs of the first again.
    if (node.m_pOpposite && node.m_pOpposite->m_pParent == this)
        return node.m_pOpposite;
    return m_nodes.GetAt(m_nodes.FindUnpaired(node.m_strName, lookup));
}

CCompareItem* CCompareNode::FindItemPartner(const CCompareItem& item, ItemList::CLookup& lookup) const
{
    if (item.GetOpposite() && item.GetOpposite()->GetParent() == this)
        return item.GetOpposite();
    return m_items.GetAt(m_items.FindUnpaired(item.GetStoredName(), lookup));
}

void CCompareNode::Compare(CCompareNode* opposite, IProgress* progress)
{
    // The explicit stack visits the pairs in the same depth-first order as
    // the recursive pass would: a pair, then each matched child pair in full,
    // then the pair's items.
    struct Frame {
        CCompareNode* node;
        CCompareNode* opposite;
        ListPosition next;  // the next child node to look up
        NodeList::CLookup nodeLookup;  // into the opposite's lists, for this pair only
        ItemList::CLookup itemLookup;
    };
    std::vector<Frame> stack;
    auto enter = [&](CCompareNode* node, CCompareNode* counterpart) {
        if (progress)
            progress->BarStepIt();
        node->LinkOpposite(counterpart);
        stack.push_back(Frame{node, counterpart, node->m_nodes.GetHeadPosition(), {}, {}});
    };

    enter(this, opposite);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next) {
            CCompareNode* child = frame.node->m_nodes.GetNext(frame.next);
            CCompareNode* counterpart = frame.opposite->FindNodePartner(*child, frame.nodeLookup);
            if (counterpart) {
                child->m_nState = csIdentical;
                enter(child, counterpart);
            } else {
                child->m_nState = csUnique;
            }
            continue;
        }
        for (CCompareItem* item : frame.node->m_items)
            item->CompareWith(frame.opposite, frame.itemLookup);
        stack.pop_back();
    }
}

void CCompareNode::RemoveIdenticals()
{
    struct Frame {
        CCompareNode* node;
        ListPosition next;     // the next child node to visit
        ListPosition visited;  // the child being pruned, 0 when none
    };
    std::vector<Frame> stack;
    stack.push_back(Frame{this, m_nodes.GetHeadPosition(), 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        CCompareNode* node = frame.node;
        if (frame.visited) {
            if (node->m_nodes.GetAt(frame.visited)->IsEmpty())
                node->RemoveNodeAt(frame.visited);
            frame.visited = 0;
            continue;
        }
        if (frame.next) {
            ListPosition pos = frame.next;
            CCompareNode* child = node->m_nodes.GetNext(frame.next);
            if (child->m_nState != csIdentical)
                continue;  // unique or never compared: kept whole
            frame.visited = pos;
            stack.push_back(Frame{child, child->m_nodes.GetHeadPosition(), 0});
            continue;
        }
        for (ListPosition pos = node->m_items.GetHeadPosition(); pos;) {
            ListPosition current = pos;
            if (node->m_items.GetNext(pos)->GetState() == csIdentical)
                node->RemoveItemAt(current);
        }
        node->CompactLists();
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
void MarkTwinsIn(const CCompareList<T>& list, std::vector<std::pair<uint32_t, void*>>& named, Mark mark)
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
                if (NamesMatch(elements[i]->GetStoredName(), elements[j]->GetStoredName())) {
                    mark(elements[i]);
                    mark(elements[j]);
                }
        return;
    }
    named.clear();
    for (T* element : list)
        named.emplace_back(NameMatchHash(element->GetStoredName()), element);
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
                    return NamesMatch(other->GetStoredName(), element->GetStoredName());
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

void CCompareNode::MarkTwins()
{
    std::vector<CCompareNode*> pending{this};
    std::vector<std::pair<uint32_t, void*>> named;
    while (!pending.empty()) {
        CCompareNode* node = pending.back();
        pending.pop_back();
        MarkTwinsIn(node->m_nodes, named, [](CCompareNode* twin) { twin->m_bTwin = true; });
        MarkTwinsIn(node->m_items, named, [](CCompareItem* twin) { twin->m_bTwin = true; });
        for (CCompareNode* child : node->m_nodes)
            pending.push_back(child);
    }
}

void CCompareNode::DeleteBelowWithCounterpart()
{
    std::vector<CCompareNode*> pending;
    auto empty = [&pending](CCompareNode* node) {
        if (node->m_bSomethingToFree)
            for (CCompareNode* child : node->m_nodes)
                pending.push_back(child);
        node->m_nodes.Abandon();
        if (!node->m_bItemsToDestroy) {
            node->m_items.Abandon();
            return;
        }
        for (CCompareItem* item : node->m_items)
            item->m_pOpposite = nullptr;
        node->m_items.RemoveAll();
    };
    empty(this);
    while (!pending.empty()) {
        CCompareNode* node = pending.back();
        pending.pop_back();
        empty(node);
        node->m_pOpposite = nullptr;
        if (!node->IsPlaced() || node->m_strName.OwnsHeapBytes())
            NodeList::Dispose(node);
    }
}

void CCompareNode::CopyPairing(const CCompareNode& original)
{
    m_nState = original.m_nState;
    m_bItemsToDestroy = original.m_bItemsToDestroy;
    m_bSomethingToFree = original.m_bSomethingToFree;
    m_bTwin = original.m_bTwin;
    m_pOpposite = original.m_pOpposite;
    m_hTreeItem = original.m_hTreeItem;
}

bool CCompareNode::MoveBelowInto(CTreeStorage& storage, uint64_t limit)
{
    // The lists of the nodes that stay where they are (this one and those
    // on the heap) are replaced only once every copy has been made.
    struct NewLists {
        CCompareNode* node;
        CCompareNode** nodes;
        uint32_t nodeCount;
        CCompareItem** items;
        uint32_t itemCount;
    };
    std::vector<NewLists> staying;
    std::vector<CCompareNode*> movedNodes, nodeCopies;
    std::vector<CCompareItem*> movedItems, itemCopies;
    std::vector<std::pair<CCompareNode*, CCompareNode*>> heapNodes;  // and their new parents
    std::vector<std::pair<CCompareItem*, CCompareNode*>> heapItems;
    // Copies the placed elements of a list below now into cells, in order;
    // an element on the heap keeps its place and gets now as its parent.
    // False when an element on the heap has its name in the old storage.
    auto copyList = [&storage](const auto& list, CCompareNode* now, auto** cells, auto& moved,
                               auto& copies, auto& onHeap) {
        uint32_t i = 0;
        for (auto* element : list) {
            auto* copy = element;
            if (element->IsPlaced()) {
                copy = element->PlaceCopy(storage, now);
                moved.push_back(element);
                copies.push_back(copy);
            } else {
                // Stays where it is while its storage goes: its name must
                // not lie there.
                if (!element->GetStoredName().OwnsHeapBytes() && !element->GetStoredName().empty())
                    return false;
                onHeap.emplace_back(element, now);
            }
            cells[i++] = copy;
        }
        return true;
    };
    try {
        std::vector<std::pair<CCompareNode*, CCompareNode*>> pending{{this, this}};  // original, copy
        while (!pending.empty()) {
            auto [original, now] = pending.back();
            pending.pop_back();
            for (const CCompareItem* item : original->m_items)
                if (item->GetViewer())
                    return false;
            uint32_t itemCount = original->m_items.GetCount();
            CCompareItem** items = itemCount ? storage.Cells<CCompareItem>(itemCount) : nullptr;
            if (!copyList(original->m_items, now, items, movedItems, itemCopies, heapItems))
                return false;
            uint32_t nodeCount = original->m_nodes.GetCount();
            CCompareNode** nodes = nodeCount ? storage.Cells<CCompareNode>(nodeCount) : nullptr;
            if (!copyList(original->m_nodes, now, nodes, movedNodes, nodeCopies, heapNodes))
                return false;
            uint32_t i = 0;
            for (CCompareNode* child : original->m_nodes)
                pending.emplace_back(child, nodes[i++]);
            if (now == original) {
                staying.push_back(NewLists{now, nodes, nodeCount, items, itemCount});
            } else {
                now->m_nodes.Adopt(nodes, nodeCount);
                now->m_items.Adopt(items, itemCount);
            }
            if (storage.UsedBytes() > limit)
                return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }

    // From here on nothing allocates. The originals give up what they own
    // on the heap (cells, names); their places go with the old storage.
    for (CCompareNode* node : movedNodes) {
        node->m_nodes.Abandon();
        node->m_items.Abandon();
        node->m_strName = CCompareName();
    }
    for (CCompareItem* item : movedItems)
        item->m_strName = CCompareName();
    for (const NewLists& lists : staying) {
        lists.node->m_nodes.Abandon();
        lists.node->m_items.Abandon();
        lists.node->m_nodes.Adopt(lists.nodes, lists.nodeCount);
        lists.node->m_items.Adopt(lists.items, lists.itemCount);
    }
    for (auto& [node, parent] : heapNodes)
        node->m_pParent = parent;
    for (auto& [item, parent] : heapItems)
        item->m_pParent = parent;
    for (CCompareNode* copy : nodeCopies)
        if (copy->m_pOpposite)
            copy->m_pOpposite->m_pOpposite = copy;
    for (CCompareItem* copy : itemCopies)
        if (copy->m_pOpposite)
            copy->m_pOpposite->m_pOpposite = copy;
    return true;
}

CCompareNode* CCompareNode::GetRoot()
{
    CCompareNode* node = this;
    while (node->m_pParent)
        node = node->m_pParent;
    return node;
}

const CCompareNode* CCompareNode::GetRoot() const
{
    return const_cast<CCompareNode*>(this)->GetRoot();
}

uint64_t CCompareNode::CountNodes() const
{
    uint64_t count = 0;
    std::vector<const CCompareNode*> pending{this};
    while (!pending.empty()) {
        const CCompareNode* node = pending.back();
        pending.pop_back();
        count += node->m_nodes.GetCount();
        for (const CCompareNode* child : node->m_nodes)
            pending.push_back(child);
    }
    return count;
}
