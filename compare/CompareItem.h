// A leaf of a compared snapshot: a file or a registry value. The kinds add
// their content, its equality, the name shown for it and which viewer shows
// it.
#pragma once

#include "compare/TreeEntry.h"
#include "seams/Viewer.h"

#include <memory>
#include <string>

class CTreeStorage;

class CCompareItem : public CTreeEntry<CCompareItem> {
public:
    using CTreeEntry::CTreeEntry;

    // Opens the viewer that shows this item through the results view that
    // asks, or tells the user through it why there is none; null then. The
    // view keeps the viewer (ItemViewers.h).
    virtual std::unique_ptr<IViewerWindow> OpenViewer(IViewerFactory& factory) const = 0;
    // Content equality with the item paired with this one in the other tree,
    // in the forms the comparison compares.
    virtual bool IsEqual(const CCompareItem& other, Exactness exactness = Exactness::Recorded) const = 0;
    // The name as the views show it.
    virtual void GetName(std::string& out) const = 0;
    // A copy placed in storage below parent, with the same name, content,
    // state, opposite and tree entry; for moving what a comparison left into
    // storage of its own (TreeMove.h).
    virtual CCompareItem* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const = 0;

protected:
    ~CCompareItem() = default;
};
