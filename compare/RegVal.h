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
    // A value holding a copy of the size bytes at data. The copy is allocated
    // together with the value, which saves a tree of a million values an
    // allocation each.
    static std::unique_ptr<CRegVal> Create(CCompareName name, uint32_t type, const uint8_t* data,
                                           uint32_t size, CCompareNode* parent);
    // Data up to this long are placed in the tree's storage with their
    // value; longer ones are made on the heap, so that the pruning frees them.
    static constexpr uint32_t kPlacedDataLimit = 16 * 1024;
    // A value placed in the tree's storage with room for size bytes of data
    // (at most kPlacedDataLimit), which the loader reads into DataToFill().
    static CRegVal* Place(CTreeStorage& storage, CCompareName name, uint32_t type, uint32_t size,
                          CCompareNode* parent);
    uint8_t* DataToFill() { return reinterpret_cast<uint8_t*>(this + 1); }
    static void operator delete(void* p) { ::operator delete(p); }

    // Brings the open viewer to the front, or opens the one for the type, or
    // tells the user that the type cannot be shown.
    void ShowViewer(IViewerFactory& factory) override;
    bool IsEqual(const CCompareItem& other) const override;
    void GetName(std::string& out) const override;
    // Only for a value placed in storage (data up to kPlacedDataLimit).
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
    // Room for the value and, right after it, its data.
    static void* operator new(size_t objectSize, uint32_t dataSize);
    static void operator delete(void* p, uint32_t) { ::operator delete(p); }

    uint32_t m_dwDataSize;
    uint32_t m_dwType;
};

// The viewer that shows values of a registry type (RegTypes.h); false for the
// types that none shows.
bool RegViewerFor(uint32_t type, RegViewerKind& kind);

extern const char* const kRegDefaultValueName;
extern const char* const kRegUndisplayableType;
