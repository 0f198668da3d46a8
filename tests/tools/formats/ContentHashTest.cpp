// Hashes of the files' contents in a snapshot's appendix: compared only where
// both snapshots hashed a file, told in every format and in the properties
// window, and a hash section that does not fit its records refused.
#include "compare/FSFile.h"
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "report/DiffFormats.h"
#include "report/DiffReport.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

CFileHash Hash(uint8_t fill)
{
    CFileHash hash;
    for (uint8_t& byte : hash.sha256)
        byte = fill;
    return hash;
}

CFileHash Marked(HashMark mark)
{
    CFileHash hash;
    hash.mark = mark;
    return hash;
}

// A drive of two files, same.bin and other.bin.
TFolder Files(uint64_t otherSize = 5)
{
    return TFolder{"C:", {TFile{"same.bin", 100, 7, 8}, TFile{"other.bin", otherSize, 7, 8}}, {}};
}

// Those files with these hash entries; none: taken without hashes.
CMemoryFile Drive(std::vector<CFileHash> hashes, bool hashed = true, uint64_t otherSize = 5)
{
    CSnapAppendix appendix = WholeAppendix();
    appendix.exact.hashed = hashed;
    appendix.exact.hashLimit = 3 << 20;
    appendix.exact.hashes = std::move(hashes);
    return WriteSnapshot(Files(otherSize), 'C', appendix);
}

struct Compared {
    CRecordingMessages messages;
    CFSMine mine{messages};
    bool ok;
    Compared(CMemoryFile file1, CMemoryFile file2) { ok = mine.Compare(nullptr, file1, file2); }

    std::string Report() const
    {
        std::string text;
        CTextSink sink(text);
        ChangeReport(mine, SnapKind::FileSystem, CFSFileDescriber(), sink, false);
        return text;
    }
    std::string Format(void (*format)(const CDiffOutput&, CTextSink&)) const
    {
        std::string text;
        CTextSink sink(text);
        format(CDiffOutput{mine, SnapKind::FileSystem, {"1.tvrec", "d1"}, {"2.tvrec", "d2"}}, sink);
        return text;
    }
};

}  // namespace

TEST(ContentHash, OnlyFilesHashedOnBothSidesAreComparedByContent)
{
    const CFileHash a = Hash(0xAA), b = Hash(0xBB);
    const struct {
        const char* what;
        CMemoryFile before, after;
        const char* report;
    } cases[] = {
        {"rewritten with its size and times", Drive({a, a}), Drive({b, a}), "changed:   C:\\same.bin: content\n"},
        {"the same content", Drive({a, a}), Drive({a, a}), ""},
        {"an old snapshot", Drive({}, false), Drive({b, a}), ""},
        {"in use on one side", Drive({a, a}), Drive({Marked(HashMark::InUse), a}), ""},
        {"too large on both sides", Drive({Marked(HashMark::TooLarge), a}), Drive({Marked(HashMark::TooLarge), a}),
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Compared compared(c.before, c.after);
        ASSERT_TRUE(compared.ok) << compared.messages.Texts().size();
        EXPECT_EQ(compared.Report(), c.report);
    }
}

TEST(ContentHash, FormatsAndPropertiesCarryTheHashOrWhyThereIsNone)
{
    Compared compared(Drive({Hash(0xAA), Marked(HashMark::InUse)}), Drive({Hash(0x0F), Hash(1)}, true, 6));
    ASSERT_TRUE(compared.ok);
    const std::string aa(64, 'a');
    std::string wantZf;
    for (int i = 0; i < 32; ++i)
        wantZf += "0f";
    EXPECT_NE(compared.Format(CsvReport).find(",sha256_before,sha256_after,folders_held"), std::string::npos);
    EXPECT_NE(compared.Format(CsvReport).find("file,C:\\same.bin,changed,100,100,1601-01-01T00:00:00.0000007Z,"
                                              "1601-01-01T00:00:00.0000007Z,1601-01-01T00:00:00.0000008Z,"
                                              "1601-01-01T00:00:00.0000008Z," +
                                              aa + "," + wantZf + ",,\r\n"),
              std::string::npos);
    const std::string json = compared.Format(JsonReport);
    EXPECT_NE(json.find("\"size\": 100, \"created\": \"1601-01-01T00:00:00.0000007Z\", \"modified\": "
                        "\"1601-01-01T00:00:00.0000008Z\", \"sha256\": \"" + aa + "\"}"),
              std::string::npos);
    EXPECT_NE(json.find("\"not_hashed\": \"in use by another program\"}"), std::string::npos);

    const CCompareNode* drive = compared.mine.GetRoot1()->Nodes().GetAt(compared.mine.GetRoot1()->Nodes().GetHeadPosition());
    const auto& files = drive->Items();
    const CFSFile& same = static_cast<const CFSFile&>(*files.GetAt(files.GetHeadPosition()));
    EXPECT_EQ(same.GetPropertiesTexts(CFixedOffsetTime(0)).m_strHash, aa);
    const CFSFile& other = static_cast<const CFSFile&>(*files.GetAt(files.GetTailPosition()));
    EXPECT_EQ(other.GetPropertiesTexts(CFixedOffsetTime(0)).m_strHash, "not hashed: in use by another program");

    // Snapshots taken without hashes keep their columns and texts.
    Compared plain(Drive({}, false), WriteSnapshot(TFolder{"C:", {TFile{"same.bin", 1}}, {}}, 'C', WholeAppendix()));
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.Format(CsvReport).find("sha256"), std::string::npos);
    EXPECT_EQ(plain.Format(JsonReport).find("hash"), std::string::npos);
}

// Hash sections written by hand after the records of Drive() or of a registry.
TEST(ContentHash, AHashSectionThatDoesNotFitItsRecordsIsRefused)
{
    auto withSection = [](std::vector<uint8_t> records, const std::vector<uint8_t>& data) {
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i)
                records.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        records.insert(records.end(), kAppendixMarker, kAppendixMarker + kAppendixMarkerSize);
        records.push_back(1);
        records.push_back(0);
        for (const char* tag : {"HASH", "END "}) {
            records.insert(records.end(), tag, tag + 4);
            u32(*tag == 'H' ? static_cast<uint32_t>(data.size()) : 0);
            if (*tag == 'H')
                records.insert(records.end(), data.begin(), data.end());
        }
        return records;
    };
    // The limit, then the number of files and the entries.
    auto section = [](uint32_t count, std::vector<uint8_t> entries) {
        std::vector<uint8_t> data(8, 0);
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<uint8_t>(count >> (8 * i)));
        data.insert(data.end(), entries.begin(), entries.end());
        return data;
    };
    std::vector<uint8_t> hashed(1, 0);
    hashed.resize(33, 0x5A);
    std::vector<uint8_t> two = hashed;
    two.push_back(2);
    const std::vector<uint8_t> drive = WriteSnapshot(Files()).Bytes();
    TRegistry registry;
    registry.machine.values.push_back(Dword("n", 1));
    registry.appendix.present = false;
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        bool read;
    } cases[] = {
        {"an entry for each file", withSection(drive, section(2, two)), true},
        {"one entry too few", withSection(drive, section(1, hashed)), false},
        {"one entry too many", withSection(drive, section(3, [&] { auto e = two; e.push_back(1); return e; }())), false},
        {"a mark this version does not know", withSection(drive, section(2, {7, 1})), false},
        {"a hash cut short", withSection(drive, section(2, {2, 0, 1, 2})), false},
        {"a count beyond the bytes", withSection(drive, section(0x40000000, two)), false},
        {"hashes of registry values", withSection(WriteSnapshot(registry).Bytes(), section(1, {1})), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CRecordingMessages messages;
        std::unique_ptr<CCompareMine> mine;
        if (std::string(c.what).find("registry") != std::string::npos)
            mine = std::make_unique<CRegMine>(messages);
        else
            mine = std::make_unique<CFSMine>(messages);
        CMemoryFile file1 = MemoryFileOf(c.file), file2 = MemoryFileOf(c.file);
        EXPECT_EQ(mine->Compare(nullptr, file1, file2), c.read);
        if (!c.read) {
            EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kAppendixDamaged, kReadErrorFile1}));
        }
    }
}
