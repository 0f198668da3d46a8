#include "snapshot/NtfsTable.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <tuple>

namespace {

// Attribute types, record flags and index-entry flags of the on-disk format.
constexpr uint32_t kAttributeList = 0x20, kData = 0x80, kIndexRoot = 0x90, kIndexAllocation = 0xA0,
                   kBitmap = 0xB0, kEnd = 0xFFFFFFFF;
constexpr uint16_t kInUse = 1, kIsDirectory = 2;
constexpr uint16_t kHasChild = 1, kLastEntry = 2;
constexpr uint8_t kDosNamespace = 2;
constexpr uint64_t kFirstUserRecord = 16;  // the volume's metadata files come before
constexpr uint64_t kRecordMask = 0xFFFFFFFFFFFFull;
constexpr uint32_t kIndexPresent = 0x10000000;  // the index copy's mark of a folder
constexpr size_t kPiece = 4 << 20;               // bytes of one read
constexpr size_t kMaxListBytes = 1 << 20;        // an attribute list larger is refused

uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p)
{
    return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16;
}
uint64_t U64(const uint8_t* p)
{
    return U32(p) | static_cast<uint64_t>(U32(p + 4)) << 32;
}

bool IsPowerOfTwo(uint64_t v)
{
    return v && !(v & (v - 1));
}

// One attribute of a record, its bounds checked.
struct Attribute {
    uint32_t type;
    const uint8_t* p;
    uint32_t length;

    bool Resident() const { return p[8] == 0; }
    bool NamedI30() const
    {
        static const char16_t kI30[] = u"$I30";
        if (p[9] != 4 || U16(p + 10) + 8u > length)
            return false;
        for (int i = 0; i < 4; ++i)
            if (U16(p + U16(p + 10) + 2 * i) != kI30[i])
                return false;
        return true;
    }
    bool Unnamed() const { return p[9] == 0; }
    // A resident attribute's value; false when it does not fit.
    bool Value(const uint8_t*& value, uint32_t& size) const
    {
        if (!Resident() || length < 0x18)
            return false;
        size = U32(p + 0x10);
        uint32_t offset = U16(p + 0x14);
        if (offset > length || size > length - offset)
            return false;
        value = p + offset;
        return true;
    }
    uint64_t LowestVcn() const { return U64(p + 0x10); }
    uint64_t DataSize() const { return U64(p + 0x30); }
    bool Runs(std::vector<CNtfsRun>& runs) const
    {
        if (Resident() || length < 0x40)
            return false;
        uint32_t offset = U16(p + 0x20);
        return offset <= length && DecodeNtfsRuns(p + offset, length - offset, LowestVcn(), runs);
    }
};

// Calls each(attribute) for every attribute of a fixed-up record; false when
// the record is malformed.
template <typename Each>
bool ForEachAttribute(const uint8_t* record, size_t size, Each each)
{
    uint32_t used = U32(record + 0x18), at = U16(record + 0x14);
    if (used > size || used < 0x30 || at < 0x30)
        return false;
    while (at + 4 <= used) {
        uint32_t type = U32(record + at);
        if (type == kEnd)
            return true;
        if (at + 16 > used)
            return false;
        uint32_t length = U32(record + at + 4);
        if (length < 0x18 || length > used - at)
            return false;
        if (!each(Attribute{type, record + at, length}))
            return false;
        at += length;
    }
    return false;
}

bool ValidRecord(const uint8_t* record, size_t size)
{
    return std::memcmp(record, "FILE", 4) == 0 && size >= 0x30;
}

// The runs cover the clusters from vcn 0 on without a gap; the clusters they cover.
bool Contiguous(std::vector<CNtfsRun>& runs, uint64_t& clusters)
{
    std::sort(runs.begin(), runs.end(), [](const CNtfsRun& a, const CNtfsRun& b) { return a.vcn < b.vcn; });
    clusters = 0;
    for (const CNtfsRun& r : runs) {
        if (r.vcn != clusters)
            return false;
        clusters += r.length;
    }
    return true;
}

}  // namespace

bool DecodeNtfsRuns(const uint8_t* data, size_t size, uint64_t vcn, std::vector<CNtfsRun>& runs)
{
    int64_t lcn = 0;
    size_t at = 0;
    while (at < size && data[at]) {
        unsigned lengthBytes = data[at] & 15, offsetBytes = data[at] >> 4;
        if (lengthBytes == 0 || lengthBytes > 8 || offsetBytes > 8 || at + 1 + lengthBytes + offsetBytes > size)
            return false;
        const uint8_t* p = data + at + 1;
        uint64_t length = 0;
        for (unsigned i = 0; i < lengthBytes; ++i)
            length |= static_cast<uint64_t>(p[i]) << (8 * i);
        if (length == 0 || length >> 40 || vcn + length < vcn)
            return false;
        if (offsetBytes == 0) {
            runs.push_back(CNtfsRun{vcn, CNtfsRun::kSparse, length});
        } else {
            uint64_t delta = 0;
            for (unsigned i = 0; i < offsetBytes; ++i)
                delta |= static_cast<uint64_t>(p[lengthBytes + i]) << (8 * i);
            if (offsetBytes < 8 && (p[lengthBytes + offsetBytes - 1] & 0x80))
                delta |= ~0ull << (8 * offsetBytes);  // negative: sign-extended
            lcn = static_cast<int64_t>(static_cast<uint64_t>(lcn) + delta);
            if (lcn < 0 || static_cast<uint64_t>(lcn) >> 48)
                return false;
            runs.push_back(CNtfsRun{vcn, static_cast<uint64_t>(lcn), length});
        }
        vcn += length;
        at += 1 + lengthBytes + offsetBytes;
    }
    return at < size;  // the array ends in a zero byte
}

bool ApplyNtfsFixups(uint8_t* record, size_t size)
{
    size_t offset = U16(record + 4), count = U16(record + 6);
    if (size % 512 || count != size / 512 + 1 || offset < 8 || offset + 2 * count > size)
        return false;
    const uint8_t* array = record + offset;
    for (size_t i = 1; i < count; ++i) {
        uint8_t* end = record + 512 * i - 2;
        if (end[0] != array[0] || end[1] != array[1])
            return false;
    }
    for (size_t i = 1; i < count; ++i)
        std::memcpy(record + 512 * i - 2, array + 2 * i, 2);
    return true;
}

namespace {

// An index entry's place in its tree, while the folders are read.
struct Pending {
    uint64_t child;  // the VCN of the node before it, when it has one
    uint32_t entry;  // in the table's entries; kUnlisted for a short name, a metadata file, the end
    uint16_t flags;
};
constexpr uint32_t kUnlisted = ~0u;

// A parsed index node: a range of pending entries.
struct Node {
    uint32_t folder;  // index into the folders
    uint64_t block;   // block number in the folder's index allocation
    uint32_t first, count;
    bool ok, visited;
};

// An attribute of a folder held in another record, as the folder's
// attribute list names it or as that record carries it.
struct Piece {
    uint64_t base;     // the folder's record number
    uint64_t record;   // where the attribute is
    uint32_t type;
    uint64_t lowestVcn;
};

// What is known of a folder while the table and its index blocks are read.
struct FolderState {
    uint32_t rootFirst = 0, rootCount = 0;
    bool hasRoot = false, hasList = false;
    uint64_t allocationSize = 0;
    std::vector<CNtfsRun> allocation;
    std::vector<uint8_t> bitmap;  // empty: every block counts
    std::vector<Piece> expected;  // attributes the list places elsewhere
};

// An index block to read.
struct BlockRead {
    uint64_t offset;  // on the volume, of its first byte
    uint32_t folder;
    uint64_t block;
    bool split;       // not in one piece on the volume
};

}  // namespace

struct CNtfsTable::Loader {
    Loader(CNtfsTable& t, INtfsDisk& d, const ProgressFn& p) : table(t), disk(d), progress(p) {}

    CNtfsTable& table;
    INtfsDisk& disk;
    const ProgressFn& progress;
    uint32_t clusterSize = 0, recordSize = 0, blockSize = 0, vcnShift = 0;
    uint64_t volumeClusters = 0;
    std::vector<CNtfsRun> tableRuns;
    uint64_t records = 0;
    std::vector<FolderState> states;  // beside table.m_folders
    std::vector<Pending> pending;
    std::vector<Node> nodes;
    struct Found {
        Piece piece;
        std::vector<CNtfsRun> runs;
        uint64_t dataSize;
        std::vector<uint8_t> value;  // of a resident bitmap or root
        uint16_t baseSequence;
    };
    std::vector<Found> found;  // $I30 attributes of extension records
    static std::tuple<uint64_t, uint64_t, uint32_t, uint64_t> Key(uint64_t base, uint64_t record, uint32_t type,
                                                                 uint64_t vcn)
    {
        return std::make_tuple(base, record, type, vcn);
    }
    static std::tuple<uint64_t, uint64_t, uint32_t, uint64_t> Key(const Found& f)
    {
        return Key(f.piece.base, f.piece.record, f.piece.type, f.piece.type == kIndexAllocation ? f.piece.lowestVcn : 0);
    }

    bool ReadBoot(Outcome& outcome);
    bool ReadVirtual(const std::vector<CNtfsRun>& runs, uint64_t offset, uint8_t* into, size_t size);
    bool FindTableRuns();
    bool ReadAttributeList(const Attribute& list, std::vector<uint8_t>& bytes);
    bool ScanTable();
    void ScanRecord(uint64_t number, uint8_t* record);
    void ScanFolder(uint64_t number, uint8_t* record, FolderRecord& folder, FolderState& state);
    void ScanExtension(uint64_t number, uint8_t* record, uint64_t base);
    void AttachExtensions();
    bool ReadIndex();
    bool ParseRoot(const uint8_t* value, size_t size, FolderState& state);
    void ParseNode(const uint8_t* data, size_t size, uint32_t& first, uint32_t& count, bool& ok);
    bool ParseIndexBlock(uint8_t* data, uint32_t folder, uint64_t block);
    void Order(uint32_t folder);
};

CNtfsTable::CNtfsTable() = default;
CNtfsTable::~CNtfsTable() = default;

CNtfsTable::Outcome CNtfsTable::Load(INtfsDisk& disk, const ProgressFn& progress)
{
    m_folders.clear();
    m_entries.clear();
    m_names.clear();
    m_tableBytes = m_indexBytes = 0;
    Loader loader{*this, disk, progress};
    Outcome outcome = Outcome::Read;
    if (!loader.ReadBoot(outcome))
        return outcome;
    if (!loader.FindTableRuns())
        return Outcome::Unsupported;
    if (!loader.ScanTable())
        return Outcome::Unreadable;
    loader.AttachExtensions();
    if (!loader.ReadIndex())
        return Outcome::Unsupported;
    for (uint32_t i = 0; i < m_folders.size(); ++i)
        loader.Order(i);
    if (!m_names.empty())
        m_names.back().shrink_to_fit();
    m_entries.shrink_to_fit();
    return Outcome::Read;
}

const std::vector<uint32_t>* CNtfsTable::Folder(uint64_t reference) const
{
    const uint64_t record = reference & kRecordMask;
    const uint16_t sequence = static_cast<uint16_t>(reference >> 48);
    auto at = std::lower_bound(m_folders.begin(), m_folders.end(), record,
                               [](const FolderRecord& f, uint64_t r) { return f.record < r; });
    if (at == m_folders.end() || at->record != record || at->damaged || (sequence && sequence != at->sequence))
        return nullptr;
    return &at->order;
}

uint32_t CNtfsTable::AddName(const uint8_t* utf16, uint8_t length)
{
    // In pieces of many names each: a growing piece moves, but never more
    // than one piece's worth of names at a time.
    constexpr size_t kPieceChars = size_t(1) << kPieceBits;
    if (m_names.empty() || m_names.back().size() + length > kPieceChars) {
        if (m_names.size() >> (32 - kPieceBits))
            throw std::bad_alloc();  // more names than a place can tell: more than memory holds here
        m_names.emplace_back();
    }
    std::vector<char16_t>& piece = m_names.back();
    const uint32_t name = static_cast<uint32_t>((m_names.size() - 1) << kPieceBits | piece.size());
    for (unsigned i = 0; i < length; ++i)
        piece.push_back(static_cast<char16_t>(U16(utf16 + 2 * i)));
    return name;
}

size_t CNtfsTable::DamagedFolders() const
{
    return static_cast<size_t>(
        std::count_if(m_folders.begin(), m_folders.end(), [](const FolderRecord& f) { return f.damaged; }));
}

bool CNtfsTable::Loader::ReadBoot(Outcome& outcome)
{
    uint8_t boot[512];
    outcome = Outcome::NotNtfs;
    if (!disk.Read(0, boot, sizeof boot) || std::memcmp(boot + 3, "NTFS    ", 8) != 0 || U16(boot + 510) != 0xAA55)
        return false;
    outcome = Outcome::Unsupported;
    uint32_t sectorSize = U16(boot + 0x0B), perCluster = boot[0x0D];
    if (sectorSize < 256 || sectorSize > 4096 || !IsPowerOfTwo(sectorSize))
        return false;
    if (perCluster > 0x80)
        perCluster = 256 - perCluster <= 20 ? 1u << (256 - perCluster) : 0;  // a power of two, given as its negative exponent
    if (!IsPowerOfTwo(perCluster) || static_cast<uint64_t>(perCluster) * sectorSize > (2u << 20))
        return false;
    clusterSize = perCluster * sectorSize;
    auto size = [this](int8_t code) -> uint32_t {
        if (code > 0)
            return code <= 64 && static_cast<uint64_t>(code) * clusterSize <= 65536 ? code * clusterSize : 0;
        return code < 0 && code >= -16 ? 1u << -code : 0;
    };
    recordSize = size(static_cast<int8_t>(boot[0x40]));
    blockSize = size(static_cast<int8_t>(boot[0x44]));
    if (recordSize < 512 || recordSize > 65536 || !IsPowerOfTwo(recordSize) || blockSize < 512 ||
        blockSize > 65536 || !IsPowerOfTwo(blockSize))
        return false;
    // Index blocks are counted in clusters, or in 512-byte units when smaller than a cluster.
    for (uint32_t unit = blockSize >= clusterSize ? clusterSize : 512; unit > 1; unit >>= 1)
        ++vcnShift;
    volumeClusters = U64(boot + 0x28) / perCluster;
    uint64_t tableStart = U64(boot + 0x30);
    if (volumeClusters == 0 || tableStart >= volumeClusters)
        return false;
    tableRuns.push_back(CNtfsRun{0, tableStart, (recordSize + clusterSize - 1) / clusterSize});
    outcome = Outcome::Read;
    return true;
}

bool CNtfsTable::Loader::ReadVirtual(const std::vector<CNtfsRun>& runs, uint64_t offset, uint8_t* into, size_t size)
{
    while (size) {
        const uint64_t vcn = offset / clusterSize;
        auto run = std::upper_bound(runs.begin(), runs.end(), vcn,
                                    [](uint64_t v, const CNtfsRun& r) { return v < r.vcn; });
        if (run == runs.begin())
            return false;
        --run;
        if (vcn >= run->vcn + run->length || run->lcn == CNtfsRun::kSparse)
            return false;
        const uint64_t inRun = offset - run->vcn * clusterSize;
        const uint64_t left = run->length * clusterSize - inRun;
        const size_t now = static_cast<size_t>(std::min<uint64_t>(left, size));
        if (run->lcn + run->length > volumeClusters || !disk.Read(run->lcn * clusterSize + inRun, into, now))
            return false;
        offset += now;
        into += now;
        size -= now;
    }
    return true;
}

bool CNtfsTable::Loader::ReadAttributeList(const Attribute& list, std::vector<uint8_t>& bytes)
{
    if (list.Resident()) {
        const uint8_t* value;
        uint32_t size;
        if (!list.Value(value, size))
            return false;
        bytes.assign(value, value + size);
        return true;
    }
    std::vector<CNtfsRun> runs;
    if (!list.Runs(runs) || list.LowestVcn() != 0 || list.DataSize() > kMaxListBytes)
        return false;
    bytes.resize(static_cast<size_t>(list.DataSize()));
    return ReadVirtual(runs, 0, bytes.data(), bytes.size());
}

// Calls each(type, lowest VCN, record, named $I30 or unnamed) for every entry of an attribute list.
template <typename Each>
static bool ForEachListEntry(const std::vector<uint8_t>& list, Each each)
{
    size_t at = 0;
    while (at + 0x1A <= list.size()) {
        const uint8_t* p = list.data() + at;
        uint16_t length = U16(p + 4);
        if (length < 0x1A || at + length > list.size() || p[7] + 2u * p[6] > length)
            return false;
        static const char16_t kI30[] = u"$I30";
        bool i30 = p[6] == 4;
        for (int i = 0; i30 && i < 4; ++i)
            i30 = U16(p + p[7] + 2 * i) == kI30[i];
        each(U32(p), U64(p + 8), U64(p + 0x10) & kRecordMask, i30, p[6] == 0);
        at += length;
    }
    return at == list.size() || (at < list.size() && list.size() - at < 0x1A && U32(list.data() + at) == 0);
}

bool CNtfsTable::Loader::FindTableRuns()
{
    std::vector<uint8_t> record(recordSize);
    if (!ReadVirtual(tableRuns, 0, record.data(), recordSize) || !ValidRecord(record.data(), recordSize) ||
        !ApplyNtfsFixups(record.data(), recordSize) || !(U16(record.data() + 0x16) & kInUse))
        return false;
    std::vector<CNtfsRun> runs;
    std::vector<uint8_t> list;
    uint64_t dataSize = 0;
    bool haveList = false;
    bool ok = ForEachAttribute(record.data(), recordSize, [&](const Attribute& a) {
        if (a.type == kData && a.Unnamed()) {
            if (a.LowestVcn() == 0)
                dataSize = a.DataSize();
            return a.Runs(runs);
        }
        if (a.type == kAttributeList) {
            haveList = true;
            return ReadAttributeList(a, list);
        }
        return true;
    });
    if (!ok || runs.empty())
        return false;
    // A table too fragmented for one record: the rest of its runs are in the
    // records its attribute list names, found through the runs known so far.
    if (haveList) {
        std::vector<std::pair<uint64_t, uint64_t>> elsewhere;  // record, lowest VCN
        if (!ForEachListEntry(list, [&](uint32_t type, uint64_t vcn, uint64_t rec, bool, bool unnamed) {
                if (type == kData && unnamed && rec != 0)
                    elsewhere.emplace_back(rec, vcn);
            }))
            return false;
        for (const auto& place : elsewhere) {
            const uint64_t number = place.first, vcn = place.second;
            std::vector<CNtfsRun> known = runs;
            uint64_t clusters;
            if (!Contiguous(known, clusters) ||
                !ReadVirtual(known, number * recordSize, record.data(), recordSize) ||
                !ValidRecord(record.data(), recordSize) || !ApplyNtfsFixups(record.data(), recordSize) ||
                (U64(record.data() + 0x20) & kRecordMask) != 0)
                return false;
            bool piece = false;
            if (!ForEachAttribute(record.data(), recordSize, [&](const Attribute& a) {
                    if (a.type != kData || !a.Unnamed() || a.LowestVcn() != vcn)
                        return true;
                    piece = true;
                    return a.Runs(runs);
                }) ||
                !piece)
                return false;
        }
    }
    uint64_t clusters;
    if (!Contiguous(runs, clusters) || clusters > volumeClusters || dataSize == 0 || dataSize > clusters * clusterSize ||
        dataSize / recordSize > (1ull << 32))
        return false;
    for (const CNtfsRun& r : runs)
        if (r.lcn == CNtfsRun::kSparse || r.lcn + r.length > volumeClusters)
            return false;
    tableRuns = std::move(runs);
    records = dataSize / recordSize;
    table.m_tableBytes = records * recordSize;
    return true;
}

bool CNtfsTable::Loader::ScanTable()
{
    std::vector<uint8_t> piece(std::max<size_t>(kPiece - kPiece % recordSize, recordSize));
    const uint64_t total = records * recordSize;
    for (uint64_t at = 0; at < total;) {
        const size_t now = static_cast<size_t>(std::min<uint64_t>(piece.size(), total - at));
        if (!ReadVirtual(tableRuns, at, piece.data(), now))
            return false;
        for (size_t r = 0; r < now; r += recordSize)
            ScanRecord((at + r) / recordSize, piece.data() + r);
        at += now;
        if (progress)
            progress(Step::Table, at, total);
    }
    return true;
}

void CNtfsTable::Loader::ScanRecord(uint64_t number, uint8_t* record)
{
    if (!ValidRecord(record, recordSize))
        return;  // free, never used, or marked bad by a disk check: no folder the walk reaches
    const uint16_t flags = U16(record + 0x16);
    if (!(flags & kInUse))
        return;
    const uint64_t base = U64(record + 0x20) & kRecordMask;
    if (base != 0) {
        ScanExtension(number, record, base);
        return;
    }
    if (!(flags & kIsDirectory))
        return;  // a file: its listing entries are in its folders' indexes
    table.m_folders.push_back(FolderRecord{number, U16(record + 0x10), false, {}});
    states.emplace_back();
    ScanFolder(number, record, table.m_folders.back(), states.back());
}

void CNtfsTable::Loader::ScanFolder(uint64_t number, uint8_t* record, FolderRecord& folder, FolderState& state)
{
    if (!ApplyNtfsFixups(record, recordSize)) {
        folder.damaged = true;
        return;
    }
    std::vector<uint8_t> list;
    bool ok = ForEachAttribute(record, recordSize, [&](const Attribute& a) {
        if (a.type == kAttributeList) {
            state.hasList = true;
            return ReadAttributeList(a, list);
        }
        if (!a.NamedI30())
            return true;
        if (a.type == kIndexRoot) {
            const uint8_t* value;
            uint32_t size;
            return a.Value(value, size) && ParseRoot(value, size, state);
        }
        if (a.type == kIndexAllocation) {
            if (a.LowestVcn() == 0)
                state.allocationSize = a.DataSize();
            return a.Runs(state.allocation);
        }
        if (a.type == kBitmap) {
            const uint8_t* value;
            uint32_t size;
            if (a.Value(value, size))
                state.bitmap.assign(value, value + size);
            return true;
        }
        return true;
    });
    if (ok && state.hasList)
        ok = ForEachListEntry(list, [&](uint32_t type, uint64_t vcn, uint64_t rec, bool i30, bool) {
            if (i30 && rec != number && (type == kIndexRoot || type == kIndexAllocation || type == kBitmap))
                state.expected.push_back(Piece{number, rec, type, vcn});
        });
    if (!ok)
        folder.damaged = true;
}

void CNtfsTable::Loader::ScanExtension(uint64_t number, uint8_t* record, uint64_t base)
{
    // Only a folder's index attributes matter; a record without them is passed by.
    if (!ApplyNtfsFixups(record, recordSize))
        return;
    const uint16_t baseSequence = static_cast<uint16_t>(U64(record + 0x20) >> 48);
    ForEachAttribute(record, recordSize, [&](const Attribute& a) {
        if (!a.NamedI30() || (a.type != kIndexAllocation && a.type != kBitmap && a.type != kIndexRoot))
            return true;
        Found f{Piece{base, number, a.type, a.Resident() ? 0 : a.LowestVcn()}, {}, 0, {}, baseSequence};
        const uint8_t* value;
        uint32_t size;
        if (a.type == kIndexAllocation) {
            if (!a.Runs(f.runs))
                return false;
            f.dataSize = a.DataSize();
        } else if (a.Value(value, size)) {
            f.value.assign(value, value + size);
        }
        found.push_back(std::move(f));
        return true;
    });
}

void CNtfsTable::Loader::AttachExtensions()
{
    // Sorted, so that each attribute a list names is found at once however
    // many records a volume has.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return Key(a) < Key(b); });
    for (size_t i = 0; i < states.size(); ++i) {
        FolderRecord& folder = table.m_folders[i];
        FolderState& state = states[i];
        for (const Piece& want : state.expected) {
            const uint64_t vcn = want.type == kIndexAllocation ? want.lowestVcn : 0;
            auto it = std::lower_bound(found.begin(), found.end(), Key(want.base, want.record, want.type, vcn),
                                       [](const Found& f, const auto& key) { return Key(f) < key; });
            if (it == found.end() || Key(*it) != Key(want.base, want.record, want.type, vcn) ||
                it->baseSequence != folder.sequence || (want.type == kIndexRoot && !ParseRoot(it->value.data(), it->value.size(), state))) {
                folder.damaged = true;  // the list names what is not there
                break;
            }
            if (want.type == kIndexAllocation) {
                if (want.lowestVcn == 0)
                    state.allocationSize = it->dataSize;
                state.allocation.insert(state.allocation.end(), it->runs.begin(), it->runs.end());
            } else if (want.type == kBitmap) {
                state.bitmap = it->value;
            }
        }
        if (!state.hasRoot)
            folder.damaged = true;
    }
    found.clear();
}

bool CNtfsTable::Loader::ParseRoot(const uint8_t* value, size_t size, FolderState& state)
{
    // The root's own header first: an index of file names (attribute 0x30).
    if (state.hasRoot || size < 0x20 || U32(value) != 0x30)
        return false;
    bool ok;
    ParseNode(value + 0x10, size - 0x10, state.rootFirst, state.rootCount, ok);
    state.hasRoot = true;
    return ok;
}

void CNtfsTable::Loader::ParseNode(const uint8_t* header, size_t size, uint32_t& first, uint32_t& count, bool& ok)
{
    ok = false;
    first = static_cast<uint32_t>(pending.size());
    count = 0;
    if (size < 0x10)
        return;
    const uint32_t start = U32(header), end = U32(header + 4);
    if (start < 0x10 || start > end || end > size)
        return;
    for (uint32_t at = start; at + 0x10 <= end;) {
        const uint8_t* e = header + at;
        const uint16_t length = U16(e + 8), keyLength = U16(e + 10), flags = U16(e + 12);
        if (length < 0x10 || length > end - at || (length & 7))
            return;
        Pending p{0, kUnlisted, flags};
        if (flags & kHasChild) {
            if (length < 0x18)
                return;
            p.child = U64(e + length - 8);
        }
        if (!(flags & kLastEntry)) {
            const uint8_t* key = e + 0x10;
            if (keyLength < 0x42 || 0x10u + keyLength > length || 0x42u + 2u * key[0x40] > keyLength)
                return;
            const uint64_t reference = U64(e) & kRecordMask;
            if (key[0x41] != kDosNamespace && reference >= kFirstUserRecord) {
                uint32_t attributes = U32(key + 0x38);
                if (attributes & kIndexPresent)
                    attributes = (attributes & ~kIndexPresent) | CNtfsEntry::kDirectory;
                attributes &= 0xFFFF;
                if (!attributes)
                    attributes = 0x80;  // FILE_ATTRIBUTE_NORMAL, as a listing reports "none"
                p.entry = static_cast<uint32_t>(table.m_entries.size());
                table.m_entries.push_back(CNtfsEntry{U64(key + 8), U64(key + 0x10), U64(key + 0x30), attributes,
                                                     table.AddName(key + 0x42, key[0x40]), key[0x40]});
            }
        }
        pending.push_back(p);
        ++count;
        at += length;
        if (flags & kLastEntry) {
            ok = true;
            return;
        }
    }
}

bool CNtfsTable::Loader::ReadIndex()
{
    // Every block a folder's allocation holds and its bitmap marks in use,
    // sorted by where it lies on the volume, read in large pieces.
    std::vector<BlockRead> reads;
    const uint64_t limit = 4 * records + 1024;  // blocks: a real index needs far fewer
    for (uint32_t i = 0; i < states.size(); ++i) {
        FolderState& state = states[i];
        if (table.m_folders[i].damaged || state.allocation.empty())
            continue;
        uint64_t clusters;
        if (!Contiguous(state.allocation, clusters) || clusters > volumeClusters ||
            state.allocationSize > clusters * clusterSize) {
            table.m_folders[i].damaged = true;
            continue;
        }
        uint64_t blocks = state.allocationSize / blockSize;
        if (!state.bitmap.empty())
            blocks = std::min<uint64_t>(blocks, state.bitmap.size() * 8);
        for (uint64_t b = 0; b < blocks; ++b) {
            if (!state.bitmap.empty() && (b / 8 >= state.bitmap.size() || !(state.bitmap[b / 8] >> (b % 8) & 1)))
                continue;
            const uint64_t byte = b * blockSize;
            const uint64_t vcn = byte / clusterSize;
            auto run = std::upper_bound(state.allocation.begin(), state.allocation.end(), vcn,
                                        [](uint64_t v, const CNtfsRun& r) { return v < r.vcn; }) -
                       1;
            if (run->lcn == CNtfsRun::kSparse || run->lcn + run->length > volumeClusters) {
                table.m_folders[i].damaged = true;
                break;
            }
            const uint64_t inRun = byte - run->vcn * clusterSize;
            reads.push_back(BlockRead{run->lcn * clusterSize + inRun, i, b,
                                      inRun + blockSize > run->length * clusterSize});
            if (reads.size() > limit)
                return false;
        }
    }
    std::sort(reads.begin(), reads.end(), [](const BlockRead& a, const BlockRead& b) { return a.offset < b.offset; });

    const uint64_t total = static_cast<uint64_t>(reads.size()) * blockSize;
    std::vector<uint8_t> piece(std::max<size_t>(kPiece - kPiece % blockSize, blockSize));
    uint64_t done = 0;
    for (size_t r = 0; r < reads.size();) {
        // The following blocks that lie one after the other, in one read.
        size_t n = 1;
        if (!reads[r].split)
            while (r + n < reads.size() && !reads[r + n].split && (n + 1) * blockSize <= piece.size() &&
                   reads[r + n].offset == reads[r].offset + n * blockSize)
                ++n;
        bool read = reads[r].split
                        ? ReadVirtual(states[reads[r].folder].allocation, reads[r].block * blockSize, piece.data(),
                                      blockSize)
                        : disk.Read(reads[r].offset, piece.data(), n * blockSize);
        for (size_t k = 0; k < n; ++k) {
            const BlockRead& b = reads[r + k];
            if (!read || !ParseIndexBlock(piece.data() + k * blockSize, b.folder, b.block))
                nodes.push_back(Node{b.folder, b.block, 0, 0, false, false});
        }
        r += n;
        done += n * blockSize;
        if (progress)
            progress(Step::Indexes, done, total);
    }
    table.m_indexBytes = total;
    std::sort(nodes.begin(), nodes.end(), [](const Node& a, const Node& b) {
        return a.folder != b.folder ? a.folder < b.folder : a.block < b.block;
    });
    return true;
}

bool CNtfsTable::Loader::ParseIndexBlock(uint8_t* data, uint32_t folder, uint64_t block)
{
    if (std::memcmp(data, "INDX", 4) != 0 || !ApplyNtfsFixups(data, blockSize) ||
        U64(data + 0x10) != (block * blockSize) >> vcnShift)
        return false;
    Node node{folder, block, 0, 0, false, false};
    ParseNode(data + 0x18, blockSize - 0x18, node.first, node.count, node.ok);
    nodes.push_back(node);
    return true;
}

// Lays the folder's entries out in index order: an entry's child node (the
// entries that sort before it) comes before the entry, the last entry's
// child after all others. Every node is visited once; a block that is
// missing, failed its checks or is reached twice leaves the folder unknown.
void CNtfsTable::Loader::Order(uint32_t index)
{
    FolderRecord& folder = table.m_folders[index];
    const FolderState& state = states[index];
    if (folder.damaged)
        return;
    auto range = std::equal_range(nodes.begin(), nodes.end(), Node{index, 0, 0, 0, false, false},
                                  [](const Node& a, const Node& b) { return a.folder < b.folder; });
    struct Step {
        uint32_t first, count, at;
        bool descended;
    };
    std::vector<Step> stack{Step{state.rootFirst, state.rootCount, 0, false}};
    std::vector<uint32_t> order;
    while (!stack.empty()) {
        Step& step = stack.back();
        if (step.at == step.count) {
            stack.pop_back();
            continue;
        }
        const Pending& p = pending[step.first + step.at];
        if ((p.flags & kHasChild) && !step.descended) {
            step.descended = true;
            const uint64_t byte = p.child << vcnShift;
            if (byte % blockSize || (byte >> vcnShift) != p.child) {
                folder.damaged = true;
                return;
            }
            auto node = std::lower_bound(range.first, range.second, byte / blockSize,
                                         [](const Node& n, uint64_t b) { return n.block < b; });
            if (node == range.second || node->block != byte / blockSize || !node->ok || node->visited) {
                folder.damaged = true;
                return;
            }
            node->visited = true;
            stack.push_back(Step{node->first, node->count, 0, false});
            continue;
        }
        if (p.entry != kUnlisted)
            order.push_back(p.entry);
        ++step.at;
        step.descended = false;
    }
    folder.order = std::move(order);
    folder.order.shrink_to_fit();
}
