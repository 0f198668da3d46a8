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
#include "snapshot/SnapFormat.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A drive of two files, same.bin and other.bin, with these hash entries;
// hashed false: taken without hashes.
CMemoryFile Drive(std::vector<CFileHash> hashes, bool hashed = true, uint64_t otherSize = 5)
{
    CSnapAppendix appendix = WholeAppendix();
    appendix.exact.hashed = hashed;
    appendix.exact.hashLimit = 3 << 20;
    appendix.exact.hashes = std::move(hashes);
    return WriteSnapshot(TFolder{"C:", {TFile{"same.bin", 100, 7, 8}, TFile{"other.bin", otherSize, 7, 8}}, {}}, 'C',
                         appendix);
}

struct Compared {
    CRecordingMessages messages;
    CFSMine mine{messages};
    bool ok;
    Compared(CMemoryFile file1, CMemoryFile file2) { ok = mine.Compare(nullptr, file1, file2); }

    // The report, or the format given.
    std::string Text(void (*format)(const CDiffOutput&, CTextSink&) = nullptr) const
    {
        std::string text;
        CTextSink sink(text);
        if (!format)
            ChangeReport(mine, SnapKind::FileSystem, CFSFileDescriber(), sink, false);
        else
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
        {"in use on one side", Drive({a, a}), Drive({CFileHash{HashMark::InUse}, a}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Compared compared(c.before, c.after);
        ASSERT_TRUE(compared.ok) << compared.messages.Texts().size();
        EXPECT_EQ(compared.Text(), c.report);
    }
}

TEST(ContentHash, FormatsAndPropertiesCarryTheHashOrWhyThereIsNone)
{
    Compared compared(Drive({Hash(0xAA), CFileHash{HashMark::InUse}}), Drive({Hash(0xBB), Hash(1)}, true, 6));
    ASSERT_TRUE(compared.ok);
    const std::string aa(64, 'a'), bb(64, 'b');
    // JSON's fields are read back against hashlib on a real drive (check_hashes.py).
    const std::string csv = compared.Text(CsvReport);
    EXPECT_NE(csv.find(",modified_after,sha256_before,sha256_after,folders_held"), std::string::npos);
    EXPECT_NE(csv.find(".0000008Z," + aa + "," + bb + ",,\r\n"), std::string::npos);
    const auto& files = compared.mine.GetRoot1()->Nodes().GetAt(compared.mine.GetRoot1()->Nodes().GetHeadPosition())->Items();
    auto hashText = [&](ListPosition at) {
        return static_cast<const CFSFile&>(*files.GetAt(at)).GetPropertiesTexts(CFixedOffsetTime(0)).m_strHash;
    };
    EXPECT_EQ(hashText(files.GetHeadPosition()), aa);
    EXPECT_EQ(hashText(files.GetTailPosition()), "not hashed: in use by another program");

    // Snapshots taken without hashes keep their columns and texts.
    Compared plain(Drive({}, false), Drive({}, false, 6));
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ((plain.Text(CsvReport) + plain.Text(JsonReport)).find("hash"), std::string::npos);
}

// Hash sections the writer makes of wrong entries, or patched in its bytes.
TEST(ContentHash, AHashSectionThatDoesNotFitItsRecordsIsRefused)
{
    const CFileHash a = Hash(0x5A);
    // Where the section's length lies, and after it the limit and the count.
    auto patched = [&](size_t offset, int32_t add) {
        std::vector<uint8_t> bytes = Drive({a, a}).Bytes();
        const std::string tag = "HASH";
        const size_t at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end()) - bytes.begin() + 4 + offset;
        PutLE32(&bytes[at], GetLE32(&bytes[at]) + static_cast<uint32_t>(add));
        return bytes;
    };
    const std::vector<uint8_t> one = Drive({a}).Bytes();
    TRegistry registry;  // one value, and the hash section of one file
    registry.machine.values.push_back(Dword("n", 1));
    registry.appendix.present = false;
    std::vector<uint8_t> hashedRegistry = WriteSnapshot(registry).Bytes();
    hashedRegistry.insert(hashedRegistry.end(), std::search(one.begin(), one.end(), kAppendixMarker,
                                                            kAppendixMarker + kAppendixMarkerSize), one.end());
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        bool read;
    } cases[] = {
        {"an entry for each file", Drive({a, a}).Bytes(), true},
        {"one entry too few", one, false},
        {"one entry too many", Drive({a, a, a}).Bytes(), false},
        {"a mark this version does not know", Drive({CFileHash{static_cast<HashMark>(7)}, a}).Bytes(), false},
        {"a hash cut short", patched(0, -1), false},
        {"a count beyond the bytes", patched(12, 0x40000000), false},
        {"hashes of registry values", hashedRegistry, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CRecordingMessages messages;
        std::unique_ptr<CCompareMine> mine(&c == &cases[6] ? static_cast<CCompareMine*>(new CRegMine(messages))
                                                           : new CFSMine(messages));
        CMemoryFile file1 = MemoryFileOf(c.file), file2 = MemoryFileOf(c.file);
        EXPECT_EQ(mine->Compare(nullptr, file1, file2), c.read);
        const std::vector<std::string> refused{kAppendixDamaged, kReadErrorFile1};
        EXPECT_EQ(messages.Texts(), c.read ? std::vector<std::string>() : refused);
    }
}
