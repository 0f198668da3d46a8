// The folders of an NTFS volume read from the volume itself: its boot sector,
// its master file table (found from the table's own first record, fragments
// and attribute list included) and the index blocks of every folder. A
// folder's listing is its file-name index in index order, with the copy of
// each entry's times, size and attributes that the index keeps: what a
// directory listing of the running system returns. Short (DOS) names and the
// volume's own metadata files are left out, as a listing leaves them out.
//
// Nothing is trusted: a record or index block that fails its checks (magic,
// fix-ups, bounds, sequence numbers, a broken attribute list, a loop among
// index blocks) makes its folder unknown, and the caller lists that folder
// another way. The volume is only ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// The raw bytes of a volume.
class INtfsDisk {
public:
    virtual ~INtfsDisk() = default;
    // Reads size bytes at offset; false when not all of them can be read.
    virtual bool Read(uint64_t offset, void* buffer, size_t size) = 0;
};

// One entry of a folder's listing.
struct CNtfsEntry {
    static constexpr uint32_t kDirectory = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

    uint64_t creationTime, lastWriteTime, size;
    uint32_t attributes;  // as a listing gives them
    uint32_t name;        // where its name is in the table's names
    uint16_t nameLength;  // in UTF-16 units

    bool IsFolder() const { return (attributes & kDirectory) != 0; }
};

// A run of clusters of a non-resident attribute.
struct CNtfsRun {
    static constexpr uint64_t kSparse = ~0ull;
    uint64_t vcn, lcn, length;  // in clusters; lcn kSparse for a hole
};

class CNtfsTable {
public:
    enum class Outcome {
        Read,        // the folders are known (each may still be unknown)
        NotNtfs,     // the boot sector is not an NTFS one, or cannot be read
        Unreadable,  // an NTFS volume whose table or indexes could not be read
        Unsupported  // a structure this reader does not understand, or damaged beyond one folder
    };
    enum class Step { Table, Indexes };
    using ProgressFn = std::function<void(Step step, uint64_t done, uint64_t total)>;
    static constexpr uint64_t kRootRecord = 5;  // the volume's root folder

    CNtfsTable();
    ~CNtfsTable();
    CNtfsTable(const CNtfsTable&) = delete;
    CNtfsTable& operator=(const CNtfsTable&) = delete;

    // Reads the whole table, then the folders' index blocks, each in large
    // pieces in the order they lie on the volume. progress is told the bytes
    // read so far of each step. Throws std::bad_alloc when the listings do
    // not fit into memory.
    Outcome Load(INtfsDisk& disk, const ProgressFn& progress = nullptr);

    // A folder's listing by its file reference (record number in the low 48
    // bits, sequence number above; a sequence of 0 is not checked): its
    // entries' numbers in index order, or null when the record is no folder,
    // failed its checks or is not in the table.
    const std::vector<uint32_t>* Folder(uint64_t reference) const;
    const CNtfsEntry& Entry(uint32_t number) const { return m_entries[number]; }
    std::u16string_view Name(const CNtfsEntry& entry) const
    {
        return std::u16string_view(m_names[entry.name >> kPieceBits].data() + (entry.name & kPieceMask),
                                   entry.nameLength);
    }

    uint64_t TableBytes() const { return m_tableBytes; }
    uint64_t IndexBytes() const { return m_indexBytes; }
    // Folders found in the table, and of those the ones whose listing failed its checks.
    size_t FolderCount() const { return m_folders.size(); }
    size_t DamagedFolders() const;

private:
    struct FolderRecord {
        uint64_t record;
        uint16_t sequence;
        bool damaged;
        std::vector<uint32_t> order;  // its entries in index order, once the index is read
    };
    struct Loader;
    friend struct Loader;
    static constexpr unsigned kPieceBits = 20;
    static constexpr uint32_t kPieceMask = (1u << kPieceBits) - 1;

    // A name's place: its piece of names above kPieceBits, where in it below.
    uint32_t AddName(const uint8_t* utf16, uint8_t length);

    std::vector<FolderRecord> m_folders;  // by record number
    std::vector<CNtfsEntry> m_entries;    // of every folder
    std::vector<std::vector<char16_t>> m_names;
    uint64_t m_tableBytes = 0, m_indexBytes = 0;
};

// Decodes a mapping-pairs array into runs from vcn on; false when it is
// malformed (a length of 0, an LCN below 0, a field wider than 8 bytes).
bool DecodeNtfsRuns(const uint8_t* data, size_t size, uint64_t vcn, std::vector<CNtfsRun>& runs);

// Applies a multi-sector record's fix-ups in place: every 512-byte stride
// must end in the update sequence number; false when one does not or the
// array does not fit the record.
bool ApplyNtfsFixups(uint8_t* record, size_t size);
