#include "views/CompareView.h"

#include "compare/AnsiChars.h"
#include "compare/CompareItem.h"
#include "compare/CompareNode.h"
#include "compare/TreeCursor.h"
#include "compare/TreeListing.h"
#include "compare/WideChars.h"
#include "framework/AnsiName.h"
#include "framework/AppMessageBox.h"
#include "framework/Gdi.h"
#include "framework/Menu.h"
#include "framework/WaitCursor.h"
#include "framework/WinApp.h"
#include "operation/AppMessages.h"
#include "report/ExactText.h"
#include "res/resource.h"
#include "views/FilePropertiesDlg.h"
#include "views/SystemLocalTime.h"
#include "views/ViewerWindow.h"

#include <algorithm>
#include <vector>

const char* const kIdenticalNote = "Note - These two snap shots are identical.";
const char* const kNoSelection = "No valid selection.";
const char* const kNoOpposite = "Item does not have an opposite.";
const char* const kAllHiddenNote = "Note - Every difference of these two snap shots is hidden.";
const char* const kNoNextDifference = "There is no next difference below the selection.";
const char* const kNoPreviousDifference = "There is no previous difference above the selection.";

namespace {
const char kViewClass[] = "CorvaneCompareView";
const DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                         TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS;
// The height of the line above the trees that names the places compared.
const int kComparedPlacesHeight = 22;
}  // namespace

BOOL CCompareView::CreateView(CWnd* parent)
{
    CWaitCursor wait;
    // The system's own brush of the colour: nothing to delete.
    if (!RegisterWndClass(kViewClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC,
                          ::LoadCursorA(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE)))
        return FALSE;
    RECT empty{0, 0, 0, 0};
    return CreateEx(0, kViewClass, nullptr, WS_CHILD | WS_VISIBLE, empty, parent->GetSafeHwnd(), 0);
}

int CCompareView::OnCreate()
{
    if (!CreateImageLists(m_imagesLeft, m_imagesRight))
        return -1;
    RECT empty{0, 0, 0, 0};
    if (!m_treeLeft.Create(kTreeStyle, empty, this, kLeftTreeId) ||
        !m_treeRight.Create(kTreeStyle, empty, this, kRightTreeId))
        return -1;
    m_treeLeft.SetImageList(m_imagesLeft.Get());
    m_treeRight.SetImageList(m_imagesRight.Get());
    return 0;
}

// The two trees share the width, with a strip of ten pixels between them,
// below the line of the places compared when there is one.
void CCompareView::OnSize()
{
    RECT client;
    GetClientRect(&client);
    int top = 0;
    if (m_comparedPlaces.GetSafeHwnd()) {
        top = kComparedPlacesHeight;
        m_comparedPlaces.MoveWindow(4, 3, client.right - 8, top - 5, TRUE);
    }
    int half = (client.right - client.left) / 2;
    m_treeLeft.MoveWindow(0, top, half - 5, client.bottom - top, TRUE);
    m_treeRight.MoveWindow(half + 5, top, client.right - (half + 5), client.bottom - top, TRUE);
}

void CCompareView::ShowComparedPlaces(const CCompareScope& scope)
{
    if (scope.Whole() || m_comparedPlaces.GetSafeHwnd())
        return;
    std::string text = "Compared only what both snap shots recorded:";
    const char* separator = " ";
    for (const std::string& place : scope.Paths()) {
        text += separator + place;
        separator = "; ";
    }
    RECT empty{0, 0, 0, 0};
    // An ampersand in a name is shown as it is, not as a mnemonic.
    if (m_comparedPlaces.Create(text.c_str(), WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, empty,
                                this, kComparedPlacesId))
        OnSize();
}

namespace {
// How long the thread's messages may wait while the trees fill.
const DWORD kServeIntervalMs = 100;
// Entries handed to a tree between two looks at the clock.
const unsigned kEntriesPerLook = 256;
// Items that take Wine's control about a hundredth of a second: more, and the
// trees are painted before they go in.
const size_t kItemsShownBefore = 10000;
// Entries an expansion lays out at most in one call, where the folders allow:
// under a second of Wine's control. Each slice has the control go over every
// entry shown once more, so slices much smaller cost more than they give.
const uint64_t kEntriesPerSlice = 200000;
}  // namespace

const uint64_t CCompareView::kWholeFillLimit = 100000;

void CCompareView::ShowComparison(const CCompareMine& result, bool entriesHidden)
{
    CWaitCursor wait;
    m_pResult = &result;
    if (HWND main = AppMainWindow())
        ::ShowWindow(main, SW_SHOWMAXIMIZED);
    CCompareNode* root1 = result.GetRoot1();
    CCompareNode* root2 = result.GetRoot2();
    ShowComparedPlaces(result.Scope());
    FillTrees();
    if (m_hWnd && !m_bStopWork && root1 && root2 && root1->IsEmpty() && root2->IsEmpty())
        Note(entriesHidden ? kAllHiddenNote : kIdenticalNote);
    EndWork();
}

namespace {

uint64_t CountEntries(const CCompareNode& root)
{
    uint64_t count = 0;
    WalkTree(
        root, [&](const CCompareNode&, unsigned) { return ++count, true; },
        [&](const CCompareItem&, unsigned) { ++count; });
    return count;
}

}  // namespace

void CCompareView::FillTrees()
{
    m_filled.clear();
    uint64_t entries = 0;
    for (const CCompareNode* root : {m_pResult->GetRoot1(), m_pResult->GetRoot2()})
        if (root)
            entries += CountEntries(*root);
    m_bFillAsOpened = entries > m_nWholeFillLimit;
    if (!m_bFillAsOpened) {
        FillWhole();
        return;
    }
    for (CCompareNode* root : {m_pResult->GetRoot1(), m_pResult->GetRoot2()})
        if (root)
            InsertClosedContainer(TreeOf(*root), *root, TVI_ROOT, false);
}

void CCompareView::FillWhole()
{
    CCompareNode* root1 = m_pResult->GetRoot1();
    CCompareNode* root2 = m_pResult->GetRoot2();
    try {
        std::vector<CFilledContainer> left, right;
        if (root1)
            left = InsertContainers(m_treeLeft, *root1, TVI_ROOT, TVI_LAST, false);
        if (root2)
            right = InsertContainers(m_treeRight, *root2, TVI_ROOT, TVI_LAST, false);

        // The items, the many, go in while the thread's messages are served
        // now and then; when they are many, the trees are painted with their
        // roots before the first goes in.
        m_bFilling = true;
        size_t items = 0;
        for (const auto* containers : {&left, &right})
            for (const CFilledContainer& here : *containers)
                items += here.node->Items().GetCount();
        m_lastServed = ::GetTickCount();
        if (items > kItemsShownBefore)
            ServeMessagesMeanwhile(true);
        InsertItems(m_treeLeft, left);
        InsertItems(m_treeRight, right);
    } catch (...) {
        AbandonWork();
        throw;
    }
    m_bFilling = false;
    if (m_hWnd) {
        m_treeLeft.SetRedraw(TRUE);
        m_treeRight.SetRedraw(TRUE);
    }
}

void CCompareView::EmptyTrees()
{
    for (CTreeCtrl* tree : {&m_treeLeft, &m_treeRight}) {
        tree->SetRedraw(FALSE);
        tree->DeleteAllItems();
        tree->SetRedraw(TRUE);
    }
    m_filled.clear();
    for (CCompareNode* root : {m_pResult->GetRoot1(), m_pResult->GetRoot2()}) {
        if (!root)
            continue;
        CTreeCursor cursor(*root);
        do {
            if (CCompareItem* item = cursor.Item())
                item->SetTreeItem(nullptr);
            else
                cursor.Node()->SetTreeItem(nullptr);
        } while (cursor.Next());
    }
}

void CCompareView::Refill()
{
    if (m_bFilling || m_bExpanding) {
        WhenIdle([this]() { Refill(); });
        return;
    }
    if (!m_pResult || !m_hWnd)
        return;
    CWaitCursor wait;
    Entry selected[2];
    CTreeCtrl* trees[2] = {&m_treeLeft, &m_treeRight};
    for (int side = 0; side < 2; ++side)
        if (HTREEITEM entry = trees[side]->GetSelectedItem())
            selected[side] = EntryOf(*trees[side], entry);
    EmptyTrees();
    FillTrees();
    for (int side = 0; side < 2 && m_hWnd && !m_bStopWork; ++side) {
        CCompareNode* root = RootOf(*trees[side]);
        if (!root || (!selected[side].node && !selected[side].item))
            continue;
        CTreeCursor cursor(*root);
        if (cursor.Seek(selected[side].node, selected[side].item))
            SelectAt(*trees[side], cursor);
    }
    EndWork();
}

namespace {

// The entry's line under the name the views show: its exact name, wide, where
// the snapshot kept one, else the recorded one. name is room to reuse.
template <class Entry>
HTREEITEM InsertNamed(CTreeCtrl& tree, Entry& entry, std::string& name, int image, int selectedImage,
                      HTREEITEM parent, HTREEITEM after, int children = -1)
{
    const CCompareName& stored = entry.GetStoredName();
    const LPARAM data = reinterpret_cast<LPARAM>(&entry);
    if (stored.HasExact()) {
        const std::wstring wide(stored.Exact().begin(), stored.Exact().end());
        return tree.InsertItem(wide.c_str(), image, selectedImage, data, parent, after, children);
    }
    entry.GetName(name);
    return tree.InsertItem(name.c_str(), image, selectedImage, data, parent, after, children);
}

}  // namespace

HTREEITEM CCompareView::InsertClosedContainer(CTreeCtrl& tree, CCompareNode& node, HTREEITEM parent, bool unique)
{
    unique = unique || node.GetState() == csUnique;
    std::string name;
    HTREEITEM entry = InsertNamed(tree, node, name, unique ? kUniqueContainerImage : kContainerImage,
                                  unique ? kUniqueOpenContainerImage : kOpenContainerImage, parent, TVI_FIRST,
                                  node.IsEmpty() ? 0 : 1);
    node.SetTreeItem(entry);
    return entry;
}

// Back to front, each at the front: neither Windows' control nor Wine's then
// looks for an entry to insert after (TVI_FIRST), and the containers end up
// before the items, each group in the model's order.
void CCompareView::InsertChildren(CTreeCtrl& tree, CCompareNode& node)
{
    HTREEITEM entry = static_cast<HTREEITEM>(node.GetTreeItem());
    if (!entry || !m_filled.insert(&node).second)
        return;
    bool unique = false;
    for (const CCompareNode* n = &node; n && !unique; n = n->GetParent())
        unique = n->GetState() == csUnique;
    std::string name;
    const CCompareNode::ItemList& items = node.Items();
    for (ListPosition at = items.GetTailPosition(); at; at = items.GetPrevPosition(at)) {
        CCompareItem* item = items.GetAt(at);
        int image = LeafImage(*item, unique);
        item->SetTreeItem(InsertNamed(tree, *item, name, image, image, entry, TVI_FIRST));
    }
    const CCompareNode::NodeList& nodes = node.Nodes();
    for (ListPosition at = nodes.GetTailPosition(); at; at = nodes.GetPrevPosition(at))
        InsertClosedContainer(tree, *nodes.GetAt(at), entry, unique);
}

HTREEITEM CCompareView::EntryFor(CTreeCtrl& tree, CCompareNode* node, CCompareItem* item)
{
    auto handle = [&]() { return static_cast<HTREEITEM>(item ? item->GetTreeItem() : node->GetTreeItem()); };
    if (handle() || !m_bFillAsOpened)
        return handle();
    std::vector<CCompareNode*> way;
    for (CCompareNode* n = item ? item->GetParent() : node->GetParent(); n; n = n->GetParent())
        way.push_back(n);
    for (auto n = way.rbegin(); n != way.rend(); ++n)
        InsertChildren(tree, **n);
    return handle();
}

CTreeCtrl& CCompareView::TreeOf(const CCompareNode& root)
{
    return &root == m_pResult->GetRoot2() ? m_treeRight : m_treeLeft;
}

CCompareNode* CCompareView::RootOf(const CTreeCtrl& tree) const
{
    if (!m_pResult)
        return nullptr;
    return &tree == &m_treeRight ? m_pResult->GetRoot2() : m_pResult->GetRoot1();
}

CTreeCtrl& CCompareView::NavigationTree()
{
    if (CTreeCtrl* focused = FocusedTree())
        return *focused;
    m_treeLeft.SetFocus();
    return m_treeLeft;
}

void CCompareView::SelectAt(CTreeCtrl& tree, const CTreeCursor& cursor)
{
    CCompareItem* item = cursor.Item();
    if (HTREEITEM entry = EntryFor(tree, item ? nullptr : cursor.Node(), item))
        tree.SelectItem(entry);
}

void CCompareView::SelectNextDifference(bool forward)
{
    if (m_bFilling || m_bExpanding) {
        WhenIdle([this, forward]() { SelectNextDifference(forward); });
        return;
    }
    CTreeCtrl& tree = NavigationTree();
    CCompareNode* root = RootOf(tree);
    if (!root)
        return;
    CTreeCursor cursor(*root);
    HTREEITEM selected = tree.GetSelectedItem();
    Entry from = selected ? EntryOf(tree, selected) : Entry{};
    bool found = false;
    if (!cursor.Seek(from.node, from.item) && !forward) {
        // Nothing selected: backwards from the end, the last entry included.
        cursor.SeekLast();
        found = cursor.Item() != nullptr;
    }
    while (!found && (forward ? cursor.Next() : cursor.Prev()))
        found = cursor.Item() != nullptr;
    if (!found) {
        Note(forward ? kNoNextDifference : kNoPreviousDifference);
        // The box gave the focus back to the frame, which hands it on to its
        // host: the next key goes on from here.
        tree.SetFocus();
        return;
    }
    SelectAt(tree, cursor);
}

namespace {

// Text as Find compares it: UTF-16 units, each folded by the system's table.
std::u16string Folded(std::u16string text)
{
    for (char16_t& unit : text)
        unit = FoldWideUnit(unit);
    return text;
}

// The name the views show ("(Default)" for a key's unnamed value) as the
// system holds it.
template <class Entry>
std::u16string FoldedName(const Entry& entry, std::string& shown)
{
    if (entry.GetStoredName().HasExact())
        return Folded(SystemName(entry.GetStoredName()));
    entry.GetName(shown);
    return Folded(SystemTextToUtf16(shown));
}

}  // namespace

void CCompareView::FindNext(const std::wstring& text)
{
    if (m_bFilling || m_bExpanding) {
        WhenIdle([this, text]() { FindNext(text); });
        return;
    }
    CTreeCtrl& tree = NavigationTree();
    CCompareNode* root = RootOf(tree);
    if (!root || text.empty())
        return;
    CWaitCursor wait;
    const std::u16string wanted = Folded(std::u16string(text.begin(), text.end()));
    CTreeCursor cursor(*root);
    HTREEITEM selected = tree.GetSelectedItem();
    Entry from = selected ? EntryOf(tree, selected) : Entry{};
    cursor.Seek(from.node, from.item);
    std::string shown;
    while (cursor.Next()) {
        const std::u16string name =
            cursor.Item() ? FoldedName(*cursor.Item(), shown) : FoldedName(*cursor.Node(), shown);
        if (name.find(wanted) != std::u16string::npos) {
            SelectAt(tree, cursor);
            return;
        }
    }
    Note(("Cannot find \"" + ShownName(AnsiName(text)) + "\" below the selection.").c_str());
    tree.SetFocus();
}

bool CCompareView::SelectedPath(std::string& path, bool& container)
{
    CTreeCtrl* tree = FocusedTree();
    HTREEITEM selected = tree ? tree->GetSelectedItem() : nullptr;
    Entry entry = selected ? EntryOf(*tree, selected) : Entry{};
    if (entry.item) {
        path = EntryPathUtf8(*entry.item);
        container = false;
        return true;
    }
    if (!entry.node || !entry.node->GetParent())
        return false;
    path = EntryPathUtf8(*entry.node);
    container = true;
    return true;
}

void CCompareView::AbandonWork()
{
    m_bFilling = m_bExpanding = false;
    m_whenIdle.clear();
    if (m_hWnd) {
        m_treeLeft.SetRedraw(TRUE);
        m_treeRight.SetRedraw(TRUE);
    }
    PassQuitOn();
}

void CCompareView::PassQuitOn()
{
    if (m_bQuitWhileBusy) {
        m_bQuitWhileBusy = false;
        ::PostQuitMessage(m_quitCode);
    }
}

void CCompareView::EndWork()
{
    PassQuitOn();
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_whenIdle);
    if (!m_hWnd || m_bStopWork)
        return;
    for (auto& command : waiting)
        command();
}

void CCompareView::ServeMessagesMeanwhile(bool now)
{
    if (!now && ::GetTickCount() - m_lastServed < kServeIntervalMs)
        return;
    // The trees paint while they fill, not while they are opened: Expand All
    // paints them once, at its end.
    if (m_bFilling) {
        m_treeLeft.SetRedraw(TRUE);
        m_treeRight.SetRedraw(TRUE);
    }
    MSG msg;
    while (m_hWnd && ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        int code = 0;
        if (!AppPumpMessage(code)) {
            m_bQuitWhileBusy = true;
            m_quitCode = code;
        }
    }
    // Closed to painting while entries go in: an entry under an open parent
    // would have the control lay out every entry shown after it again.
    if (m_hWnd && m_bFilling) {
        m_treeLeft.SetRedraw(FALSE);
        m_treeRight.SetRedraw(FALSE);
    }
    m_lastServed = ::GetTickCount();
}

void CCompareView::WhenIdle(std::function<void()> command)
{
    if (m_bFilling || m_bExpanding)
        m_whenIdle.push_back(std::move(command));
    else
        command();
}

void CCompareView::LeaveEntriesToProcessEnd()
{
    for (CTreeCtrl* tree : {&m_treeLeft, &m_treeRight})
        if (tree->GetSafeHwnd())
            ::SetWindowLongPtrA(tree->GetSafeHwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&::DefWindowProcA));
}

// The tree control is given entries only in ways that cost the same for the
// first entry and the millionth, on Windows and under Wine alike:
//  - Windows' control finds an explicit insert-after entry, and TVI_LAST, by
//    walking the parent's children from the first, so a folder's children go
//    in back to front, each at the front (TVI_FIRST);
//  - Wine's control checks every entry handle it is given (the parent, an
//    explicit insert-after entry) by searching all its entries in the order
//    they were made, so the containers are all made first, while they are
//    few, and the items, the many, only refer to containers.
// A container's items follow its child containers: they go in back to front
// right after the last child container, which Windows reaches by walking
// that folder's containers only. The tree is the same as if every entry had
// been appended in the model's order.
HTREEITEM CCompareView::InsertNode(CTreeCtrl& tree, CCompareNode& node, HTREEITEM parentEntry,
                                   HTREEITEM insertAfter, bool uniqueBranch)
{
    std::vector<CFilledContainer> containers = InsertContainers(tree, node, parentEntry, insertAfter, uniqueBranch);
    InsertItems(tree, containers);
    return static_cast<HTREEITEM>(node.GetTreeItem());
}

namespace {

// A container of a branch, listed breadth first: each after its parent, and
// the children of each one after another, last to first, the order in which
// the fill makes their entries.
struct CListedContainer {
    CCompareNode* node;
    size_t firstChild;
    size_t children;
};

// With the list itself as the queue: no recursion, however deep the folders nest.
std::vector<CListedContainer> ListContainers(CCompareNode& top)
{
    std::vector<CListedContainer> list{CListedContainer{&top, 0, 0}};
    for (size_t at = 0; at < list.size(); ++at) {
        list[at].firstChild = list.size();
        for (CCompareNode* child : list[at].node->Nodes())
            list.push_back(CListedContainer{child, 0, 0});
        list[at].children = list.size() - list[at].firstChild;
        std::reverse(list.begin() + static_cast<std::ptrdiff_t>(list[at].firstChild), list.end());
    }
    return list;
}

}  // namespace

// The containers come back in the order their items are to go in: each after
// its child containers, the order in which the control frees entries when
// the tree goes. Wine's control then finds each entry it frees among the
// first of its list, which makes closing a large result about three times
// quicker there.
std::vector<CCompareView::CFilledContainer> CCompareView::InsertContainers(CTreeCtrl& tree, CCompareNode& node,
                                                                           HTREEITEM parentEntry,
                                                                           HTREEITEM insertAfter, bool uniqueBranch)
{
    std::vector<CListedContainer> list = ListContainers(node);
    std::vector<bool> unique(list.size());
    std::string name;
    auto insert = [&](size_t at, HTREEITEM parent, HTREEITEM after, bool uniqueAbove) {
        CCompareNode& n = *list[at].node;
        unique[at] = uniqueAbove || n.GetState() == csUnique;
        n.SetTreeItem(InsertNamed(tree, n, name, unique[at] ? kUniqueContainerImage : kContainerImage,
                                  unique[at] ? kUniqueOpenContainerImage : kOpenContainerImage, parent, after));
    };
    insert(0, parentEntry, insertAfter, uniqueBranch);
    for (size_t at = 0; at < list.size(); ++at) {
        HTREEITEM entry = static_cast<HTREEITEM>(list[at].node->GetTreeItem());
        for (size_t child = list[at].firstChild; child < list[at].firstChild + list[at].children; ++child)
            insert(child, entry, TVI_FIRST, unique[at]);
    }

    std::vector<CFilledContainer> containers;
    containers.reserve(list.size());
    std::vector<std::pair<size_t, size_t>> open{{0, 0}};  // a container and its children visited
    while (!open.empty()) {
        size_t at = open.back().first;
        if (open.back().second < list[at].children) {
            size_t child = list[at].firstChild + list[at].children - 1 - open.back().second++;
            open.emplace_back(child, 0);
            continue;
        }
        containers.push_back(CFilledContainer{list[at].node, unique[at]});
        open.pop_back();
    }
    return containers;
}

void CCompareView::InsertItems(CTreeCtrl& tree, const std::vector<CFilledContainer>& containers)
{
    std::vector<CCompareItem*> items;
    std::string name;
    unsigned untilLook = kEntriesPerLook;
    for (const CFilledContainer& here : containers) {
        if (m_bStopWork)
            return;
        items.clear();
        for (CCompareItem* item : here.node->Items())
            items.push_back(item);
        HTREEITEM entry = static_cast<HTREEITEM>(here.node->GetTreeItem());
        HTREEITEM after = TVI_FIRST;
        for (CCompareNode* child : here.node->Nodes())
            after = static_cast<HTREEITEM>(child->GetTreeItem());
        for (auto item = items.rbegin(); item != items.rend(); ++item) {
            int image = LeafImage(**item, here.unique);
            (*item)->SetTreeItem(InsertNamed(tree, **item, name, image, image, entry, after));
            if (m_bFilling && --untilLook == 0) {
                untilLook = kEntriesPerLook;
                ServeMessagesMeanwhile(false);
                if (!m_hWnd || m_bStopWork)
                    return;
            }
        }
    }
}

CTreeCtrl* CCompareView::GetOppositeTree(HWND tree)
{
    if (tree && tree == m_treeLeft.GetSafeHwnd())
        return &m_treeRight;
    if (tree && tree == m_treeRight.GetSafeHwnd())
        return &m_treeLeft;
    return nullptr;
}

// Children before their parents: an entry under a collapsed parent is not on
// screen, so expanding it only marks it, while expanding an entry on screen
// lays out everything below it again. Parents first would lay out a branch
// once per container, which takes minutes for a large comparison; this way a
// branch is laid out once, when its own entry opens, last.
//
// A branch of more entries than a slice is not laid out in one go: its entry
// opens first, which lays out only its own children, and then each child's
// branch in turn, so that Expand All can serve the thread's messages between
// them. Only a single folder of more entries than a slice is laid out whole.
//
// The containers are found in the result, not by asking the tree entry by
// entry: Wine's control searches all its entries for every handle it is given.
void CCompareView::ExpandBranch(HTREEITEM entry, CTreeCtrl& tree)
{
    CCompareNode* top = EntryOf(tree, entry).node;
    if (!top)
        return;
    std::vector<CListedContainer> branches = ListContainers(*top);
    std::vector<uint64_t> entries(branches.size());  // each container's own and all below it
    for (size_t at = branches.size(); at-- > 0;) {
        entries[at] = 1 + branches[at].node->Items().GetCount();
        for (size_t child = 0; child < branches[at].children; ++child)
            entries[at] += entries[branches[at].firstChild + child];
    }

    auto open = [&](const CListedContainer& branch) {
        if (branch.node->GetTreeItem() && (branch.children || !branch.node->Items().IsEmpty()))
            tree.Expand(static_cast<HTREEITEM>(branch.node->GetTreeItem()), TVE_EXPAND);
    };
    std::vector<size_t> pending{0}, inBranch;
    while (!pending.empty() && !m_bStopWork) {
        size_t at = pending.back();
        const CListedContainer& branch = branches[at];
        pending.pop_back();
        if (entries[at] > kEntriesPerSlice && branch.children) {
            open(branch);
            for (size_t child = branch.children; child-- > 0;)
                pending.push_back(branch.firstChild + child);
        } else {
            inBranch.assign(1, at);
            for (size_t i = 0; i < inBranch.size(); ++i)
                for (size_t child = 0; child < branches[inBranch[i]].children; ++child)
                    inBranch.push_back(branches[inBranch[i]].firstChild + child);
            for (auto deeper = inBranch.rbegin(); deeper != inBranch.rend(); ++deeper)
                open(branches[*deeper]);
        }
        if (m_bExpanding)
            ServeMessagesMeanwhile(false);
    }
}

void CCompareView::OnExpandAll()
{
    if (m_bFilling || m_bExpanding) {
        WhenIdle([this]() { OnExpandAll(); });
        return;
    }
    CWaitCursor wait;
    // Everything is to be shown: the trees are filled whole first, as a
    // result under the limit is filled at once.
    if (m_bFillAsOpened && m_pResult) {
        EmptyTrees();
        m_bFillAsOpened = false;
        FillWhole();
        if (!m_hWnd || m_bStopWork) {
            EndWork();
            return;
        }
    }
    m_bExpanding = true;
    m_lastServed = ::GetTickCount();
    m_treeLeft.SetRedraw(FALSE);
    m_treeRight.SetRedraw(FALSE);
    try {
        for (CTreeCtrl* tree : {&m_treeLeft, &m_treeRight})
            if (HTREEITEM root = m_hWnd ? tree->GetRootItem() : nullptr)
                ExpandBranch(root, *tree);
    } catch (...) {
        AbandonWork();
        throw;
    }
    m_bExpanding = false;
    if (!m_hWnd) {
        EndWork();
        return;
    }
    m_treeLeft.SetRedraw(TRUE);
    m_treeRight.SetRedraw(TRUE);
    for (CTreeCtrl* tree : {&m_treeLeft, &m_treeRight}) {
        tree->InvalidateRect(nullptr, TRUE);
        tree->UpdateWindow();
    }
    EndWork();
}

CTreeCtrl* CCompareView::FocusedTree()
{
    HWND focus = ::GetFocus();
    if (focus && focus == m_treeLeft.GetSafeHwnd())
        return &m_treeLeft;
    if (focus && focus == m_treeRight.GetSafeHwnd())
        return &m_treeRight;
    return nullptr;
}

CCompareView::Entry CCompareView::EntryOf(const CTreeCtrl& tree, HTREEITEM entry) const
{
    TVITEMA tv{};
    tv.mask = TVIF_PARAM | TVIF_IMAGE;
    tv.hItem = entry;
    Entry found;
    if (!entry || !tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) || !tv.lParam)
        return found;
    if (tv.iImage < kLeafImages)
        found.node = reinterpret_cast<CCompareNode*>(tv.lParam);
    else
        found.item = reinterpret_cast<CCompareItem*>(tv.lParam);
    return found;
}

void CCompareView::ViewOpposite()
{
    // The counterpart may not be in its tree yet, or its folders not open.
    if (m_bFilling || m_bExpanding) {
        WhenIdle([this]() { ViewOpposite(); });
        return;
    }
    CTreeCtrl* tree = FocusedTree();
    if (!tree)
        return;
    HTREEITEM selected = tree->GetSelectedItem();
    if (!selected) {
        Note(kNoSelection);
        return;
    }
    CTreeCtrl* other = GetOppositeTree(tree->GetSafeHwnd());
    Entry entry = EntryOf(*tree, selected);
    HTREEITEM target = nullptr;
    if (other && entry.node && entry.node->GetOpposite())
        target = EntryFor(*other, entry.node->GetOpposite(), nullptr);
    else if (other && entry.item && entry.item->GetOpposite())
        target = EntryFor(*other, nullptr, entry.item->GetOpposite());
    if (!other || !target) {
        Note(kNoOpposite);
        return;
    }
    // Selecting scrolls the entry into view and opens its ancestors; the
    // keyboard focus stays in this tree.
    other->SelectItem(target);
}

void CCompareView::ViewSelectedLeaf(const char* containerNote)
{
    CTreeCtrl* tree = FocusedTree();
    if (!tree)
        return;
    HTREEITEM selected = tree->GetSelectedItem();
    if (!selected)
        return;
    Entry entry = EntryOf(*tree, selected);
    if (entry.item)
        m_viewers.Show(*entry.item, *this);
    else if (entry.node)
        Note(containerNote);
}

namespace {

// Adds the icon, or puts it at `at`; false when it could not be had. The list
// keeps its own copy.
bool AddIcon(const CImageList& list, UINT id, int at = -1)
{
    CIcon icon;
    if (!icon.Load(id, 16))
        return false;
    int index = at < 0 ? list.AddIcon(icon) : list.ReplaceIcon(at, icon);
    return index >= 0;
}

}  // namespace

bool CCompareView::BuildImageLists(CImageList& left, CImageList& right, std::initializer_list<UINT> leftIcons,
                                   std::initializer_list<UINT> rightIcons)
{
    if (!left.Create(16, 16, ILC_COLOR4, 0, static_cast<int>(leftIcons.size())))
        return false;
    for (UINT id : leftIcons)
        if (!AddIcon(left, id))
            return false;
    if (!left.Duplicate(right))
        return false;
    int at = kUniqueContainerImage;
    for (UINT id : rightIcons) {
        if (!AddIcon(right, id, at))
            return false;
        at += 2;
    }
    return true;
}

void CCompareView::TrackResultsMenu(UINT menuId)
{
    POINT at;
    ::GetCursorPos(&at);
    CMenu menu;
    if (menu.LoadMenu(menuId))
        menu.GetSubMenu(1).TrackPopupMenu(at, m_hWnd);
}

void CCompareView::Note(const char* text) const
{
    ::MessageBoxA(m_hWnd, text, kProgramCaption, MB_OK | MB_ICONINFORMATION);
}

const ITimeConverter& CCompareView::LocalTime() const
{
    return SystemLocalTime();
}

std::unique_ptr<IViewerWindow> CCompareView::OpenFileProperties(const CFilePropertiesTexts& texts)
{
    return OpenFilePropertiesWindow(texts, this);
}

void CCompareView::ShowNote(const std::string& text)
{
    Note(text.c_str());
}

bool CCompareView::OnCommand(UINT id, UINT, HWND)
{
    switch (id) {
    case ID_EXPAND_ALL:
        OnExpandAll();
        return true;
    case ID_NEXT_DIFFERENCE:
    case ID_PREV_DIFFERENCE:
        SelectNextDifference(id == ID_NEXT_DIFFERENCE);
        return true;
    default:
        return false;
    }
}

bool CCompareView::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header->idFrom != kLeftTreeId && header->idFrom != kRightTreeId)
        return false;
    switch (header->code) {
    case NM_DBLCLK:
        // 0 lets the tree go on to open or close a container's entry.
        result = 0;
        ViewSelectedItem();
        return true;
    case NM_RCLICK:
        result = 0;
        ShowContextMenu();
        return true;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        // A container of a large result gets its entries when first opened.
        const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
        CTreeCtrl& tree = header->idFrom == kLeftTreeId ? m_treeLeft : m_treeRight;
        if (m_bFillAsOpened && (change->action & TVE_EXPAND))
            if (CCompareNode* node = EntryOf(tree, change->itemNew.hItem).node)
                InsertChildren(tree, *node);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

LRESULT CCompareView::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        CWnd::WindowProc(msg, w, l);
        OnSize();
        return 0;
    case WM_COMMAND:
        // The context menu's commands come here. Inside the main window they
        // go round through it, as its own menu's do, so that it knows what
        // runs; a view on its own runs them itself, in OnCommand.
        if (HWND main = AppMainWindow(); main && ::IsChild(main, m_hWnd)) {
            ::SendMessageA(main, WM_COMMAND, w, l);
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
        // The context menu's items are checked where the menu bar's are.
        if (HWND main = AppMainWindow(); main && ::IsChild(main, m_hWnd)) {
            ::SendMessageA(main, WM_INITMENUPOPUP, w, l);
            return 0;
        }
        break;
    case WM_DESTROY:
        m_viewers.CloseAll();
        CWnd::WindowProc(msg, w, l);
        m_imagesLeft.Close();
        m_imagesRight.Close();
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(msg, w, l);
}
