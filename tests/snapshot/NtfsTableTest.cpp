// The NTFS table reader on a small volume made by ntfs-3g: what it lists, in
// index order, and what a damaged table does: the damaged folder becomes
// unknown (the walk lists it), or the whole table is refused; never a wrong
// listing, a crash or a hang.
#include "snapshot/NtfsTable.h"
#include "fuzz/NtfsSparseDisk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

class CMemoryDisk : public INtfsDisk {
public:
    bool Read(uint64_t offset, void* buffer, size_t size) override
    {
        if (offset > bytes.size() || size > bytes.size() - offset)
            return false;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), size, static_cast<uint8_t*>(buffer));
        return true;
    }
    std::vector<uint8_t> bytes;
};

CMemoryDisk SmallVolume()
{
    std::ifstream in(CORVANE_SMALL_VOLUME, std::ios::binary);
    std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CSparseDisk sparse;
    EXPECT_TRUE(sparse.Load(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    CMemoryDisk disk;
    disk.bytes.resize(static_cast<size_t>(sparse.End()));
    sparse.Read(0, disk.bytes.data(), disk.bytes.size());
    return disk;
}

uint32_t U32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The start of the first record or index block (magic, of size bytes) that
// holds the name, in another record than skip.
size_t Find(const std::vector<uint8_t>& volume, const char* magic, std::u16string_view name, size_t size,
            uint32_t skipRecord = ~0u)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(name.data());
    for (auto at = volume.begin();;) {
        at = std::search(at, volume.end(), bytes, bytes + 2 * name.size());
        if (at == volume.end())
            return 0;
        const size_t start = static_cast<size_t>(at - volume.begin()) / size * size;
        if (std::equal(magic, magic + 4, volume.begin() + static_cast<std::ptrdiff_t>(start)) &&
            U32(&volume[start + 0x2C]) != skipRecord)
            return start;
        ++at;
    }
}

// The folder's record number, from its own record.
uint32_t RecordOf(const std::vector<uint8_t>& volume, std::u16string_view name)
{
    return U32(&volume[Find(volume, "FILE", name, 1024, 5) + 0x2C]);
}

// A folder's listing, a folder's name ending in a backslash.
std::vector<std::u16string> Names(const CNtfsTable& table, const std::vector<uint32_t>& listing)
{
    std::vector<std::u16string> names;
    for (uint32_t number : listing) {
        const CNtfsEntry& e = table.Entry(number);
        names.emplace_back(std::u16string(table.Name(e)) + (e.IsFolder() ? u"\\" : u""));
    }
    return names;
}

TEST(NtfsTable, ListsEveryFolderInIndexOrderWithTheIndexCopies)
{
    CMemoryDisk disk = SmallVolume();
    CNtfsTable table;
    ASSERT_EQ(table.Load(disk), CNtfsTable::Outcome::Read);
    EXPECT_EQ(table.DamagedFolders(), 0u);

    // The metadata files and the root's own entry are not listed; equal but for case, upper first.
    const auto* root = table.Folder(CNtfsTable::kRootRecord);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Names(table, *root),
              (std::vector<std::u16string>{u"CASE.TXT", u"case.txt", u"names\\", u"Root file.txt", u"wide\\"}));
    EXPECT_EQ(table.Entry((*root)[3]).size, 5u);  // "root\n"

    // A file of 91 names in one folder, over several index blocks; its record needs an attribute list.
    const auto* wide = table.Folder(RecordOf(disk.bytes, u"wide"));
    ASSERT_NE(wide, nullptr);
    ASSERT_EQ(wide->size(), 91u);
    EXPECT_EQ(Names(table, *wide)[0], u"link 01.dat");
    EXPECT_EQ(Names(table, *wide)[89], u"link 90.dat");
    EXPECT_EQ(Names(table, *wide)[90], u"original.dat");
    EXPECT_TRUE(std::all_of(wide->begin(), wide->end(), [&](uint32_t n) { return table.Entry(n).size == 7; }));

    // The short name beside a long one is not listed.
    const auto* names = table.Folder(RecordOf(disk.bytes, u"names"));
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(Names(table, *names),
              (std::vector<std::u16string>{u"A long name with a short one.txt", std::u16string(255, u'L')}));

    // A file is no folder; a stale sequence number names no folder.
    EXPECT_EQ(table.Folder(RecordOf(disk.bytes, u"Root file.txt")), nullptr);
    EXPECT_EQ(table.Folder(0x0009000000000005ull), nullptr);
}

struct Damage {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> spoil;
    CNtfsTable::Outcome outcome;
    std::u16string unknown;  // the folder left to the walk
};

void BreakFixups(std::vector<uint8_t>& volume, size_t start)
{
    volume[start + 510] ^= 0xFF;
}

// Every child link of the folder's index root made to lead to the same block.
void LinkTwice(std::vector<uint8_t>& volume, std::u16string_view folder)
{
    uint8_t* record = &volume[Find(volume, "FILE", folder, 1024, 5)];
    size_t at = record[0x14];
    while (U32(record + at) != 0x90)
        at += U32(record + at + 4);
    uint8_t* header = record + at + record[at + 0x14] + 0x10;
    uint64_t first = ~0ull;
    for (uint8_t* e = header + U32(header);; e += e[8] | e[9] << 8) {
        uint8_t* child = e + (e[8] | e[9] << 8) - 8;
        if (e[12] & 1) {
            if (first == ~0ull)
                std::copy_n(child, 8, reinterpret_cast<uint8_t*>(&first));
            std::copy_n(reinterpret_cast<uint8_t*>(&first), 8, child);
        }
        if (e[12] & 2)
            break;
    }
}

TEST(NtfsTable, DamageLeavesAFolderToTheWalkOrRefusesTheTable)
{
    const Damage damages[] = {
        {"an index block's fix-ups", [](auto& v) { BreakFixups(v, Find(v, "INDX", u"link 45.dat", 4096)); },
         CNtfsTable::Outcome::Read, u"wide"},
        {"a folder's record's fix-ups", [](auto& v) { BreakFixups(v, Find(v, "FILE", u"names", 1024, 5)); },
         CNtfsTable::Outcome::Read, u"names"},
        {"one index block linked twice", [](auto& v) { LinkTwice(v, u"wide"); }, CNtfsTable::Outcome::Read,
         u"wide"},
        {"the file records of many names", [](auto& v) {
             // Only folders' records are read: a file's, and its extension records, may be anything.
             for (size_t at = 0; (at = Find(v, "FILE", u"original.dat", 1024, 5)) != 0;)
                 v[at] = 'X';
         }, CNtfsTable::Outcome::Read, u""},
        {"a boot sector of another file system", [](auto& v) { v[3] = 'F'; }, CNtfsTable::Outcome::NotNtfs, u""},
        {"the table's own record", [](auto& v) { BreakFixups(v, Find(v, "FILE", u"$MFT", 1024)); },
         CNtfsTable::Outcome::Unsupported, u""},
        {"a volume that ends inside the table", [](auto& v) { v.resize(Find(v, "FILE", u"$MFT", 1024) + 8192); },
         CNtfsTable::Outcome::Unreadable, u""},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        CMemoryDisk disk = SmallVolume();
        const uint32_t unknown = damage.unknown.empty() ? 0 : RecordOf(disk.bytes, damage.unknown);
        damage.spoil(disk.bytes);
        CNtfsTable table;
        ASSERT_EQ(table.Load(disk), damage.outcome);
        if (damage.outcome != CNtfsTable::Outcome::Read)
            continue;
        EXPECT_EQ(table.DamagedFolders(), unknown ? 1u : 0u);
        if (unknown) {
            EXPECT_EQ(table.Folder(unknown), nullptr);
        }
        const auto* root = table.Folder(CNtfsTable::kRootRecord);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->size(), 5u);
        if (damage.unknown != u"wide") {
            EXPECT_EQ(table.Folder(RecordOf(disk.bytes, u"wide"))->size(), 91u);
        }
    }
}

}  // namespace
