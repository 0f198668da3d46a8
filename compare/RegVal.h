// A value of a compared registry snapshot: its type and its data exactly as
// the snapshot stored them. Two values are equal when their data have the
// same length and the same bytes; the type is not compared. The unnamed
// value of a key is shown as "(Default)".
#pragma once

#include "compare/CompareItem.h"
#include "seams/Viewer.h"

#include <cstdint>
#include <memory>

class CTreeStorage;

class CRegVal final : public CCompareItem {
public:
    // A value placed in the tree's storage with room for size bytes of data
    // right after it, which the loader fills through DataToFill().
    static CRegVal* Place(CTreeStorage& storage, CCompareName name, uint32_t type, uint32_t size,
                          CCompareNode* parent);
    uint8_t* DataToFill() { return reinterpret_cast<uint8_t*>(this + 1); }

    // The viewer of the type, or the note that the type cannot be shown.
    std::unique_ptr<IViewerWindow> OpenViewer(IViewerFactory& factory) const override;
    bool IsEqual(const CCompareItem& other) const override;
    void GetName(std::string& out) const override;
    CCompareItem* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const override;

    // "Registry 1 : (Default)": the root's name and the display name.
    std::string GetViewerCaption() const;

    // Exactly GetDataSize() bytes as stored, no terminator added; null when there are none.
    const uint8_t* GetData() const
    {
        return m_dwDataSize ? reinterpret_cast<const uint8_t*>(this + 1) : nullptr;
    }
    uint32_t GetDataSize() const { return m_dwDataSize; }
    uint32_t GetType() const { return m_dwType; }

private:
    CRegVal(CCompareName name, uint32_t type, uint32_t size, CCompareNode* parent);

    uint32_t m_dwDataSize;
    uint32_t m_dwType;
};

// The viewer that shows values of a registry type (RegTypes.h); false for the
// types that none shows.
bool RegViewerFor(uint32_t type, RegViewerKind& kind);

extern const char* const kRegDefaultValueName;
extern const char* const kRegUndisplayableType;
