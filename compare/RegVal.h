// A value of a compared registry snapshot: its type and its data exactly as
// the snapshot stored them, and, for string data whose stored ANSI form is
// not what the registry held, the data as the registry held them, from the
// snapshot's appendix. Two values are equal when their data have the same
// length and the same bytes: the exact data where the comparison compares
// exact forms. The type is not compared. The unnamed value of a key is shown
// as "(Default)".
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
    uint8_t* DataToFill() { return DataStart(); }
    // A copy of this value placed in storage with the exact data beside the
    // stored ones, to take this one's place in its list.
    CRegVal* PlaceWithExactData(CTreeStorage& storage, const uint8_t* exact, uint32_t exactSize) const;

    // The viewer of the type, or the note that the type cannot be shown.
    std::unique_ptr<IViewerWindow> OpenViewer(IViewerFactory& factory) const override;
    bool IsEqual(const CCompareItem& other, Exactness exactness = Exactness::Recorded) const override;
    void GetName(std::string& out) const override;
    CCompareItem* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const override;

    // "Registry 1 : (Default)": the root's name and the display name.
    std::string GetViewerCaption() const;

    // Exactly GetDataSize() bytes as stored, no terminator added; null when there are none.
    const uint8_t* GetData() const { return m_dwDataSize ? DataStart() : nullptr; }
    uint32_t GetDataSize() const { return m_dwDataSize; }
    uint32_t GetType() const { return m_dwType; }
    // The string data as the registry held them, where the stored ones are
    // not: UTF-16 units, exactly GetExactDataSize() bytes.
    bool HasExactData() const { return m_bExactData; }
    const uint8_t* GetExactData() const { return m_bExactData ? DataStart() + m_dwDataSize : nullptr; }
    uint32_t GetExactDataSize() const;

private:
    CRegVal(CCompareName name, uint32_t type, uint32_t size, CCompareNode* parent);
    static CRegVal* Place(CTreeStorage& storage, CCompareName name, uint32_t type, uint32_t size,
                          CCompareNode* parent, const uint8_t* exact, uint32_t exactSize, bool withExact);
    // The stored data follow the value, after the exact data's length when
    // there are exact data; the exact data follow the stored ones.
    const uint8_t* DataStart() const
    {
        return reinterpret_cast<const uint8_t*>(this + 1) + (m_bExactData ? sizeof(uint32_t) : 0);
    }
    uint8_t* DataStart() { return const_cast<uint8_t*>(static_cast<const CRegVal*>(this)->DataStart()); }

    bool m_bExactData = false;
    uint32_t m_dwDataSize;
    uint32_t m_dwType;
};

// The viewer that shows values of a registry type (RegTypes.h); false for the
// types that none shows.
bool RegViewerFor(uint32_t type, RegViewerKind& kind);

extern const char* const kRegDefaultValueName;
extern const char* const kRegUndisplayableType;
