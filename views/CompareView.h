// The two trees of a finished comparison side by side: the first snapshot on
// the left, the second on the right, each entry pointing at the node or item
// of the result it shows, and every entry that exists on one side only drawn
// with that side's colour (red on the left, cyan on the right). The kinds add
// their pictures, their view action and their context menu. The view only
// borrows the result, which must outlive it.
#pragma once

#include "compare/CompareMine.h"
#include "compare/ItemViewers.h"
#include "framework/Controls.h"
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"
#include "framework/Wnd.h"
#include "seams/Viewer.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_set>
#include <vector>


class CCompareItem;
class CCompareNode;

// Pictures every view's lists hold at the same places; a kind's leaf pictures
// follow from kLeafImages on. An entry's picture thus tells a container from a
// leaf.
enum : int {
    kContainerImage = 0,
    kUniqueContainerImage = 1,
    kOpenContainerImage = 2,
    kUniqueOpenContainerImage = 3,
    kLeafImages = 4,
};

constexpr UINT kLeftTreeId = 103;
constexpr UINT kRightTreeId = 102;
// The line above the trees that names the places compared, when the
// snapshots recorded chosen places.
constexpr UINT kComparedPlacesId = 104;

class CCompareView : public CWnd, public IViewerFactory {
public:
    CCompareView() = default;

    // Creates the view as a child of parent; false when it failed.
    BOOL CreateView(CWnd* parent);
    // Fills both trees from the result, once, right after creation; maximises
    // the main window, and tells the user when the snapshots are identical.
    // Both trees are painted as soon as their containers are in; while the
    // items go in, the thread's messages are served now and then (the
    // frame's commands included), and View Opposite and Expand All wait for
    // the end of the fill.
    // entriesHidden: a filter hides entries of the result, so empty trees
    // do not mean identical snapshots.
    void ShowComparison(const CCompareMine& result, bool entriesHidden = false);
    // Fills both trees again from the same result, whose entries a filter
    // has just taken out or put back; the selected entries stay selected
    // where they are still shown.
    void Refill();
    // Next Difference and Previous Difference: selects the next or previous
    // file or value of the focused tree (the left one when neither has the
    // focus) in the trees' order from its selection; at either end the
    // selection stays and the user is told.
    void SelectNextDifference(bool forward);
    // Find Next: selects the next entry of the focused tree from its
    // selection whose name holds text, letters folded as Windows folds
    // them: the exact name where the snapshot kept one, else the recorded
    // one read in the code page; the user is told when there is none.
    void FindNext(const std::wstring& text);
    // The path of the focused tree's selected entry as the reports print it
    // and patterns match it, in UTF-8 with the exact names the snapshot
    // kept, and whether it is a folder or key; false when nothing below a
    // root is selected.
    bool SelectedPath(std::string& path, bool& container);
    // A result of more entries than this fills its trees as their folders
    // are opened: about a second of Wine's control for a whole fill, and as
    // much again for freeing the entries.
    static const uint64_t kWholeFillLimit;
    void SetWholeFillLimit(uint64_t entries) { m_nWholeFillLimit = entries; }
    bool FillsAsOpened() const { return m_bFillAsOpened; }

    // For a program about to end: the trees' entries are left to the end of
    // the process instead of being freed one by one when the view goes,
    // which takes Wine's tree control time growing with the square of their
    // number.
    void LeaveEntriesToProcessEnd();
    // Ends a fill or an Expand All under way at its next look at the
    // messages: the view is about to go. Nothing waiting for it runs then.
    void StopWork() { m_bStopWork = true; }
    // The other of the two trees; null for any other window.
    CTreeCtrl* GetOppositeTree(HWND tree);
    // Expands the entry and everything below it; it stays scrolled where it
    // was. During Expand All the thread's messages are served meanwhile.
    void ExpandBranch(HTREEITEM entry, CTreeCtrl& tree);

    // The viewers of the result's items, which this view keeps.
    const ITimeConverter& LocalTime() const override;
    std::unique_ptr<IViewerWindow> OpenFileProperties(const CFilePropertiesTexts& texts) override;
    void ShowNote(const std::string& text) override;

    CTreeCtrl& LeftTree() { return m_treeLeft; }
    CTreeCtrl& RightTree() { return m_treeRight; }

protected:
    // Inserts node and everything below it under parentEntry after
    // insertAfter, in the model's order (child containers before items), never
    // sorted; uniqueBranch: an ancestor exists on this side only. Returns the
    // node's entry.
    virtual HTREEITEM InsertNode(CTreeCtrl& tree, CCompareNode& node, HTREEITEM parentEntry,
                                 HTREEITEM insertAfter, bool uniqueBranch);
    // The picture of a leaf; its one-sided variant is the picture after it.
    virtual int LeafImage(const CCompareItem& item, bool uniqueBranch) const = 0;
    virtual bool CreateImageLists(CImageList& left, CImageList& right) = 0;
    // Double-click, and the kind's view command.
    virtual void ViewSelectedItem() = 0;
    // Right-click.
    virtual void ShowContextMenu() = 0;

    // The tree that has the keyboard focus, or null.
    CTreeCtrl* FocusedTree();
    // The node or item of an entry (one of them is set), from its picture.
    struct Entry {
        CCompareNode* node = nullptr;
        CCompareItem* item = nullptr;
    };
    Entry EntryOf(const CTreeCtrl& tree, HTREEITEM entry) const;
    // View Opposite: selects the entry's counterpart in the other tree.
    void ViewOpposite();
    // The kind's view command: opens the viewer of the focused tree's
    // selected leaf, or tells that a container has none to open.
    void ViewSelectedLeaf(const char* containerNote);
    // The results menu (popup 1 of menu `menuId`) at the cursor.
    void TrackResultsMenu(UINT menuId);
    // Fills the left list with the program's icons in index order, and makes
    // the right list a copy of it in which the one-sided pictures (every
    // second index from kUniqueContainerImage on) are the rightIcons instead.
    static bool BuildImageLists(CImageList& left, CImageList& right, std::initializer_list<UINT> leftIcons,
                                std::initializer_list<UINT> rightIcons);
    // An information box of the view, captioned "Pellix Corvane".
    void Note(const char* text) const;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    // Expand All; the kinds add their view commands.
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;

    // The tree entry of a node or an item (one of them given) of the tree's
    // side, with the way to it inserted first when the trees fill as
    // folders are opened; null when it has none.
    HTREEITEM EntryFor(CTreeCtrl& tree, CCompareNode* node, CCompareItem* item);

    // Runs the command now, or once the fill or the Expand All under way ends.
    void WhenIdle(std::function<void()> command);

    CTreeCtrl m_treeLeft;
    CTreeCtrl m_treeRight;
    CStatic m_comparedPlaces;  // made only for snapshots of chosen places
    CImageList m_imagesLeft;
    CImageList m_imagesRight;
    // The viewers this view opened: they close with it, though their items
    // may live on (a file-system result outlives its view).
    CItemViewers m_viewers;
    // A fill or an Expand All under way serves the thread's messages now and
    // then; commands that need it done wait for its end.
    bool m_bFilling = false;
    bool m_bExpanding = false;
    bool m_bStopWork = false;
    DWORD m_lastServed = 0;
    bool m_bQuitWhileBusy = false;
    int m_quitCode = 0;
    std::vector<std::function<void()>> m_whenIdle;
    const CCompareMine* m_pResult = nullptr;
    // The result is over kWholeFillLimit entries: a container's entries go
    // in when it is first opened, and these are the containers opened.
    bool m_bFillAsOpened = false;
    uint64_t m_nWholeFillLimit = kWholeFillLimit;
    std::unordered_set<const CCompareNode*> m_filled;

private:
    // A container whose entry is in a tree, and whether it is drawn one-sided.
    struct CFilledContainer {
        CCompareNode* node;
        bool unique;
    };
    // The two steps of a fill: every container of the subtree, then every item.
    std::vector<CFilledContainer> InsertContainers(CTreeCtrl& tree, CCompareNode& node, HTREEITEM parentEntry,
                                                   HTREEITEM insertAfter, bool uniqueBranch);
    void InsertItems(CTreeCtrl& tree, const std::vector<CFilledContainer>& containers);
    // Serves the thread's messages `now`, or when they have waited long
    // enough; during a fill the trees paint meanwhile and are closed to
    // painting again after. A quit request is kept for the end of the work.
    void ServeMessagesMeanwhile(bool now);
    // After a fill or an Expand All: passes a quit request on and runs the
    // commands that waited, unless the view is going.
    void EndWork();
    // After a fill or an Expand All cut short by a failure (memory running
    // out), which goes on to be told: the trees paint again, what they show
    // stays usable, and nothing waits for the work's end any longer.
    void AbandonWork();
    // Posts the quit request that came while the thread's messages were
    // served during the work.
    void PassQuitOn();

    // Both trees from the result: whole, as the model holds them, or, for a
    // result over kWholeFillLimit entries, their roots only.
    void FillTrees();
    // Every entry of both trees, the many items last, serving the thread's
    // messages meanwhile.
    void FillWhole();
    // Empties both trees and forgets the result's entries' handles.
    void EmptyTrees();
    // A container's entry with a button when it holds anything, and the
    // entries of its child containers and items, inserted when it is first
    // opened.
    HTREEITEM InsertClosedContainer(CTreeCtrl& tree, CCompareNode& node, HTREEITEM parent, bool unique);
    void InsertChildren(CTreeCtrl& tree, CCompareNode& node);
    // The tree that shows this side's entries, and its root in the result.
    CTreeCtrl& TreeOf(const CCompareNode& root);
    CCompareNode* RootOf(const CTreeCtrl& tree) const;
    // The tree a navigation command works in: the focused one, else the left.
    CTreeCtrl& NavigationTree();
    // Selects the entry the cursor is at and scrolls it into view.
    void SelectAt(CTreeCtrl& tree, const class CTreeCursor& cursor);

    int OnCreate();
    void OnSize();
    // The line that names the places compared, when they are not everything.
    void ShowComparedPlaces(const CCompareScope& scope);
    void OnExpandAll();
};

extern const char* const kIdenticalNote;
extern const char* const kNoSelection;
extern const char* const kNoOpposite;
extern const char* const kAllHiddenNote;
extern const char* const kNoNextDifference;
extern const char* const kNoPreviousDifference;
