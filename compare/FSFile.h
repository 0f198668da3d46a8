// A file of a compared file-system snapshot: its creation and last-write
// times and the low 32 bits of its size, as the snapshot stored them, and
// what the snapshot's appendix keeps beside: the high 32 bits of a size of
// 4 GiB or more, and the hash of its content or why it has none. Two files
// are equal when their times and sizes are (the whole sizes where the
// comparison compares exact forms, the low halves otherwise), and, when both
// were hashed, their hashes.
#pragma once

#include "compare/CompareItem.h"
#include "compare/FileProperties.h"

#include "snapshot/SnapAppendix.h"

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
    // Whether the snapshot hashed its files; then whether this one was
    // hashed or why not, and its hash (null when it has none).
    bool HashKnown() const { return (m_extras & (kHashed | kMarked)) != 0; }
    HashMark GetHashMark() const;
    const unsigned char* GetSha256() const { return Extra(kHashed); }
    // The hash in hexadecimal, or "not hashed: " and why; empty when the
    // snapshot hashed no file.
    std::string GetHashText() const;

    // A copy placed in storage with the size's high half and the hash entry
    // (either may be absent) after it, to take this one's place in its list.
    CFSFile* PlaceWithParts(CTreeStorage& storage, uint32_t high, const CFileHash* hash) const;

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

    // What follows the file in its storage, in this order.
    enum : uint8_t {
        kLarge = 1,   // the size's high half, 4 bytes
        kHashed = 2,  // the SHA-256 of the content, 32 bytes
        kMarked = 4,  // why it was not hashed, a HashMark byte
    };
    uint32_t GetSizeHigh() const;
    const unsigned char* Extra(uint8_t which) const;
    static CFSFile* Place(CTreeStorage& storage, const CFSFile& original, CCompareNode* parent, uint32_t high,
                          const CFileHash* hash);

    // The flags and the size come first so that they fill the room the base
    // leaves after its state (static_asserts in FSFile.cpp). What the
    // appendix adds to a few files follows them in their storage.
    uint8_t m_extras = 0;
    uint32_t m_dwSize;
    CTime m_ftCreated;
    CTime m_ftModified;
};
