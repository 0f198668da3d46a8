// A file of a compared file-system snapshot: its creation and last-write
// times and the low 32 bits of its size, as the snapshot stored them, and the
// high 32 bits of a size of 4 GiB or more where the snapshot's appendix keeps
// them. Two files are equal when their times and sizes are: the whole sizes
// where the comparison compares exact forms, the low halves otherwise. Their
// contents are never looked at.
#pragma once

#include "compare/CompareItem.h"
#include "compare/FileProperties.h"

#include <cstdint>

class CFSFile final : public CCompareItem {
public:
    CFSFile(CCompareName name, uint64_t created, uint64_t modified, uint32_t size,
            CCompareNode* parent);

    // The properties window.
    std::unique_ptr<IViewerWindow> OpenViewer(IViewerFactory& factory) const override;
    bool IsEqual(const CCompareItem& other, Exactness exactness = Exactness::Recorded) const override;
    void GetName(std::string& out) const override;
    CCompareItem* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const override;

    // The texts of the properties window.
    CFilePropertiesTexts GetPropertiesTexts(const ITimeConverter& localTime) const;
    // C:\WINDOWS\win.ini: the names of every ancestor below the root, then the file's.
    std::string GetFullPath() const;

    uint64_t GetCreated() const { return m_ftCreated.Get(); }
    uint64_t GetModified() const { return m_ftModified.Get(); }
    // The size as the record holds it, and the whole size.
    uint32_t GetSize() const { return m_dwSize; }
    uint64_t GetWholeSize() const { return static_cast<uint64_t>(GetSizeHigh()) << 32 | m_dwSize; }
    // A copy placed in storage with the size's high half after it, to take
    // this one's place in its list.
    CFSFile* PlaceWithSizeHigh(CTreeStorage& storage, uint32_t high) const;

private:
    // A time in two 32-bit halves, which asks for no more than 4-byte
    // alignment: in the 32-bit build a file then takes 44 bytes, not 48.
    struct CTime {
        explicit CTime(uint64_t time)
            : low(static_cast<uint32_t>(time)), high(static_cast<uint32_t>(time >> 32))
        {
        }
        uint64_t Get() const { return static_cast<uint64_t>(high) << 32 | low; }
        bool operator==(const CTime& other) const { return low == other.low && high == other.high; }
        uint32_t low, high;
    };

    uint32_t GetSizeHigh() const;
    static CFSFile* Place(CTreeStorage& storage, const CFSFile& original, CCompareNode* parent, uint32_t high);

    // The flag and the size come first so that they fill the room the base
    // leaves after its state (static_asserts in FSFile.cpp). A file of 4 GiB
    // or more carries the high half of its size right after it.
    bool m_bLarge = false;
    uint32_t m_dwSize;
    CTime m_ftCreated;
    CTime m_ftModified;
};
