// Broken and hostile registry snapshot files: every one ends in a refusal
// with the engine's messages or loads to exactly what the file holds; none
// crashes, hangs or takes memory beyond what its records need.
#include "compare/RegMine.h"
#include "compare/RegVal.h"
#include "snapshot/SnapFormat.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/Recorders.h"
#include "compare/TreeListing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kNotASnapshot = "File is not a registry snap shot or is of an older version.";
const std::string kReadError1 = "ERROR: Error while reading file 1.";
const std::string kTooDeep = "Error reading snap shot.  Keys are nested more than 512 levels deep.";

TRegistry Sample()
{
    TRegistry r;
    r.machine.values.push_back(Sz("", "x"));
    r.machine.subkeys.push_back(TKey{"Software", {Dword("n", 5), TValue{"none", 0, {}}}, {TKey{"e", {}, {}}}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {TValue{"b", 3, {9, 8, 7}}}, {}});
    return r;
}

struct Loaded {
    CRecordingMessages messages;
    CRegMine mine{messages};
    bool ok;

    explicit Loaded(std::vector<uint8_t> bytes)
    {
        CMemoryFile file1(std::move(bytes));
        CMemoryFile file2 = WriteSnapshot(Sample());
        ok = mine.Compare(nullptr, file1, file2);
    }
};

// Bytes of the header and records, written by hand where the writer would
// not produce them.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& U8(uint8_t v) { b.push_back(v); return *this; }
    Bytes& U16(uint16_t v) { U8(static_cast<uint8_t>(v)); return U8(static_cast<uint8_t>(v >> 8)); }
    Bytes& U32(uint32_t v) { U16(static_cast<uint16_t>(v)); return U16(static_cast<uint16_t>(v >> 16)); }
    Bytes& Raw(const std::string& s) { b.insert(b.end(), s.begin(), s.end()); return *this; }
    Bytes& Name(const std::string& n) { return U16(static_cast<uint16_t>(n.size())).Raw(n); }
    Bytes& Header(uint32_t topLevelKeys, uint32_t keysRecorded = 2)
    {
        return U16(kRegSnapVersion).U32(keysRecorded).U32(topLevelKeys);
    }
    Bytes& Key(const std::string& n, uint32_t subkeys, uint32_t values) { return Name(n).U32(subkeys).U32(values); }
    Bytes& Value(const std::string& n, uint32_t type, const std::string& data)
    {
        return Name(n).U32(type).U32(static_cast<uint32_t>(data.size())).Raw(data);
    }
};

const CCompareNode* First(const CCompareNode& node)
{
    return node.Nodes().GetAt(node.Nodes().GetHeadPosition());
}

}  // namespace

TEST(RegLoadBadInput, EveryTruncationOfAValidFileIsRefused)
{
    // A snapshot of chosen keys, so that every section of the appendix is cut.
    TRegistry sample = Sample();
    sample.appendix.places = {{"HKEY_LOCAL_MACHINE", "Software"}, {"HKEY_USERS", ".DEFAULT"}};
    std::vector<uint8_t> whole = WriteSnapshot(sample).Bytes();
    sample.appendix.present = false;
    const size_t recordsEnd = WriteSnapshot(sample).Bytes().size();
    for (size_t length = 0; length < whole.size(); ++length) {
        Loaded l(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
        // Cut right after the records, it is a file written before appendices.
        EXPECT_EQ(l.ok, length == recordsEnd) << length;
        std::vector<std::string> expected{kReadError1};
        if (length < 2)
            expected.insert(expected.begin(), kNotASnapshot);  // the version word is incomplete
        if (length > recordsEnd)
            expected.insert(expected.begin(), kAppendixDamaged);
        if (length == recordsEnd)
            expected.clear();
        EXPECT_EQ(l.messages.Texts(), expected) << length;
    }
    Loaded whole_file(whole);
    EXPECT_TRUE(whole_file.ok);
    EXPECT_TRUE(TreesIdentical(whole_file.mine));
}

TEST(RegLoadBadInput, AnEmptyFileAndAnUnfinishedOneAreRefusedByTheVersionTest)
{
    Loaded empty({});
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.messages.Texts(), (std::vector<std::string>{kNotASnapshot, kReadError1}));

    std::vector<uint8_t> unfinished = WriteSnapshot(Sample()).Bytes();
    PutLE16(unfinished.data(), 0);
    Loaded l(unfinished);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kNotASnapshot, kReadError1}));
    EXPECT_TRUE(l.mine.GetRoot1()->IsEmpty());
}

TEST(RegLoadBadInput, CountsThatLieAreNotBelieved)
{
    // A key claiming 4,294,967,295 values or subkeys, with one present; a
    // header claiming as many top-level keys.
    std::vector<Bytes> files(3);
    files[0].Header(1).Key("HKEY_LOCAL_MACHINE", 0, 0xFFFFFFFFu).Value("v", 4, "abcd");
    files[1].Header(1).Key("HKEY_LOCAL_MACHINE", 0xFFFFFFFFu, 0).Key("k", 0, 0);
    files[2].Header(0xFFFFFFFFu).Key("HKEY_LOCAL_MACHINE", 0, 0);
    for (size_t i = 0; i < files.size(); ++i) {
        Loaded l(files[i].b);
        EXPECT_FALSE(l.ok) << i;
        EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kReadError1})) << i;
        // What was read stays in the tree until the engine goes.
        const CCompareNode* machine = First(*l.mine.GetRoot1());
        ASSERT_NE(machine, nullptr);
        EXPECT_EQ(machine->Items().GetCount() + machine->Nodes().GetCount(), i == 2 ? 0u : 1u);
    }
}

TEST(RegLoadBadInput, ADataLengthOfFourGigabytesInAShortFileIsAShortRead)
{
    Loaded l(Bytes().Header(1).Key("HKEY_LOCAL_MACHINE", 0, 1).Name("v").U32(3).U32(0xFFFFFFFFu).Raw("only a few bytes").b);
    EXPECT_FALSE(l.ok);
    // No out-of-memory note: nothing near that size was asked for.
    EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kReadError1}));
    EXPECT_TRUE(First(*l.mine.GetRoot1())->Items().IsEmpty());  // no value without its data
}

TEST(RegLoadBadInput, DataOfSeveralMegabytesAreReadWhole)
{
    std::string data(5 * 1024 * 1024 + 3, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 131 + (i >> 20));
    Loaded l(Bytes().Header(1).Key("HKEY_LOCAL_MACHINE", 0, 1).Value("big", 3, data).b);
    ASSERT_TRUE(l.ok);
    const CCompareNode* machine = First(*l.mine.GetRoot1());
    const CRegVal* big = static_cast<const CRegVal*>(machine->Items().GetAt(machine->FindItem(CCompareName("big"))));
    ASSERT_NE(big, nullptr);
    ASSERT_EQ(big->GetDataSize(), data.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(big->GetData()), data.size()), data);
}

TEST(RegLoadBadInput, KeysNestedAMillionDeepAreRefusedWithAMessage)
{
    const uint32_t depth = 1000000;
    Bytes b;
    b.Header(1);
    for (uint32_t i = 0; i < depth; ++i)
        b.Key("k", i + 1 < depth ? 1 : 0, 0);
    Loaded l(b.b);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kTooDeep, kReadError1}));
    EXPECT_EQ(l.mine.GetRoot1()->CountNodes(), kMaxKeyDepth);
}

TEST(RegLoadBadInput, KeysNestedToTheLimitAreCompared)
{
    auto nested = [](uint32_t depth, bool valueAtBottom) {
        Bytes b;
        b.Header(1);
        for (uint32_t i = 0; i < depth; ++i) {
            bool last = i + 1 == depth;
            b.Key("k", last ? 0 : 1, last && valueAtBottom ? 1 : 0);
        }
        if (valueAtBottom)
            b.Value("bottom", 4, std::string("\1\0\0\0", 4));
        return CMemoryFile(b.b);
    };
    CRecordingMessages messages;
    CRegMine mine(messages);
    CMemoryFile file1 = nested(kMaxKeyDepth, false), file2 = nested(kMaxKeyDepth, true);
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    EXPECT_TRUE(mine.GetRoot1()->IsEmpty());
    EXPECT_EQ(mine.GetRoot2()->CountNodes(), kMaxKeyDepth);

    CMemoryFile tooDeep = nested(kMaxKeyDepth + 1, false), other = nested(1, false);
    EXPECT_FALSE(mine.Compare(nullptr, tooDeep, other));
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kTooDeep, kReadError1}));
}

TEST(RegLoadBadInput, NamesEndAtTheirFirstZeroByte)
{
    Loaded l(Bytes()
                 .Header(1)
                 .Key(std::string("HKEY_LOCAL_MACHINE\0junk", 23), 1, 1)
                 .Value(std::string("\0hidden", 7), 1, std::string("x\0", 2))
                 .Key(std::string("Software\0", 9), 0, 0)
                 .b);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(TreeListing(*l.mine.GetRoot1(), *l.mine.GetRoot2()),
              "L 0 -1 N Registry 1\n"
              "R 0 -1 N Registry 2\nR 1 0 N HKEY_LOCAL_MACHINE\nR 2 0 N Software\nR 3 1 N e\n"
              "R 3 1 I n\nR 3 1 I none\n"
              "R 1 1 N HKEY_USERS\nR 2 -1 N .DEFAULT\nR 3 -1 I b\n");
}

TEST(RegLoadBadInput, FewerTopLevelKeysThanRecordsLoadsOnlyTheDeclared)
{
    std::vector<uint8_t> bytes = WriteSnapshot(Sample()).Bytes();
    PutLE32(bytes.data() + 6, 1);  // HKEY_USERS follows but is not read
    Loaded l(bytes);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(TreeListing(*l.mine.GetRoot1(), *l.mine.GetRoot2()),
              "L 0 -1 N Registry 1\nR 0 -1 N Registry 2\nR 1 1 N HKEY_USERS\nR 2 -1 N .DEFAULT\nR 3 -1 I b\n");
}

TEST(RegLoadBadInput, MoreTopLevelKeysThanRecordsIsAShortRead)
{
    std::vector<uint8_t> bytes = WriteSnapshot(Sample()).Bytes();
    PutLE32(bytes.data() + 6, 3);
    Loaded l(bytes);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kReadError1}));
}

TEST(RegLoadBadInput, BytesAfterTheLastTopLevelKeyOfAFileWithoutAppendixAreNotRead)
{
    TRegistry sample = Sample();
    sample.appendix.present = false;
    std::vector<uint8_t> bytes = WriteSnapshot(sample).Bytes();
    for (int i = 0; i < 1000; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 37));
    Loaded l(bytes);
    EXPECT_TRUE(l.ok);
    EXPECT_TRUE(l.messages.shown.empty());
    EXPECT_TRUE(TreesIdentical(l.mine));
}

TEST(RegLoadBadInput, ALongestNameAndAnyTypeNumberAreRead)
{
    std::string name(0xFFFF, 'n');
    Loaded l(Bytes().Header(1).Key(name, 0, 1).Value(name, 0xFFFFFFFFu, "").b);
    ASSERT_TRUE(l.ok);
    const CCompareNode* key = First(*l.mine.GetRoot1());
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetStoredName().size(), 0xFFFFu);
    const CRegVal* value = static_cast<const CRegVal*>(key->Items().GetAt(key->Items().GetHeadPosition()));
    EXPECT_EQ(value->GetStoredName().view(), name);
    EXPECT_EQ(value->GetType(), 0xFFFFFFFFu);
    EXPECT_EQ(value->GetDataSize(), 0u);
}

// Bytes of a valid file changed at random: each run ends in acceptance or in
// the reading error, with nothing else said than the messages of the loader.
TEST(RegLoadBadInput, GarbageEndsInAcceptanceOrARefusal)
{
    std::vector<uint8_t> whole = WriteSnapshot(Sample()).Bytes();
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = whole;
        int changes = 1 + static_cast<int>(next() % 4);
        for (int i = 0; i < changes; ++i)
            bytes[2 + (next() >> 8) % (bytes.size() - 2)] = static_cast<uint8_t>(next() >> 16);
        Loaded l(bytes);
        if (l.ok) {
            ++accepted;
            EXPECT_TRUE(l.messages.shown.empty());
        } else {
            std::vector<std::string> texts = l.messages.Texts();
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.back(), kReadError1) << round;  // file 2 is the valid one
            EXPECT_TRUE(texts.size() == 1 || (texts.size() == 2 && (texts[0] == kTooDeep || texts[0] == kAppendixDamaged ||
                                                                    texts[0] == kAppendixNewer)))
                << round;
        }
    }
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 3000);
}

namespace {

// The appendix of a snapshot of HKEY_USERS\.DEFAULT written by hand, section
// by section, after the records of Sample().
struct Appendix : Bytes {
    Appendix& Marker()
    {
        for (uint8_t byte : kAppendixMarker)
            b.push_back(byte);
        return *this;
    }
    Appendix& Section(const std::string& tag, const Bytes& data)
    {
        Raw(tag).U32(static_cast<uint32_t>(data.b.size()));
        b.insert(b.end(), data.b.begin(), data.b.end());
        return *this;
    }
    Appendix& End() { return static_cast<Appendix&>(Raw("END ").U32(0)); }
};

// That many places announced, and HKEY_USERS\.DEFAULT written.
Bytes Places(uint32_t count)
{
    Bytes places;
    places.U32(count).U16(2).Name("HKEY_USERS").Name(".DEFAULT");
    return places;
}

}  // namespace

// What follows the records: an appendix read to the byte, a section of a
// later version passed over, and every other appendix refused with its note.
TEST(RegLoadBadInput, AnAppendixIsReadExactlyOrTheFileRefused)
{
    TRegistry sample = Sample();
    sample.appendix.present = false;
    const std::vector<uint8_t> records = WriteSnapshot(sample).Bytes();
    Bytes codePage, writer;
    codePage.U32(1252);
    writer.Name("corvane-snap").Name("2.1.0.0");
    auto head = [&](uint16_t version = 1) {
        Appendix a;
        a.Marker().U16(version);
        return a;
    };
    const struct {
        const char* what;
        Bytes appendix;
        const char* refusal;  // null: read, holding HKEY_USERS\.DEFAULT
    } cases[] = {
        {"every section", head().Section("CP  ", codePage).Section("WRTR", writer).Section("PLCS", Places(1)).End(), nullptr},
        {"a section of a later version", head().Section("XTRA", writer).Section("PLCS", Places(1)).End(), nullptr},
        {"a later version", head(2).End(), kAppendixNewer},
        {"no end", head().Section("PLCS", Places(1)), kAppendixDamaged},
        {"bytes after the end", static_cast<Bytes&>(head().End()).U8(0), kAppendixDamaged},
        {"a section twice", head().Section("CP  ", codePage).Section("CP  ", codePage).End(), kAppendixDamaged},
        {"a section longer than what it holds", head().Section("WRTR", Bytes(writer).U8(0)).End(), kAppendixDamaged},
        {"a section past the end", static_cast<Bytes&>(head().Raw("XTRA").U32(1000)).U8(0), kAppendixDamaged},
        {"a place of no names", head().Section("PLCS", Bytes().U32(1).U16(0)).End(), kAppendixDamaged},
        {"more places than bytes", head().Section("PLCS", Places(0x2C000036)).End(), kAppendixDamaged},
        // Records of Sample() in file order: 0 HKEY_LOCAL_MACHINE, 1 its value,
        // 2 Software, 3 n (a DWORD), 4 none, 5 e, 6 HKEY_USERS, 7 .DEFAULT, 8 b.
        {"an exact name", head().Section("PLCS", Places(1)).Section("NAME", Bytes().U32(1).U32(8).U16(1).U16(0x416)).End(), nullptr},
        {"an exact name of no units", head().Section("NAME", Bytes().U32(1).U32(2).U16(0)).End(), kAppendixDamaged},
        {"a zero in an exact name", head().Section("NAME", Bytes().U32(1).U32(2).U16(1).U16(0)).End(), kAppendixDamaged},
        {"records out of order", head().Section("NAME", Bytes().U32(2).U32(3).U16(1).U16('x').U32(3).U16(1).U16('y')).End(), kAppendixDamaged},
        {"a record past the last", head().Section("NAME", Bytes().U32(1).U32(9).U16(1).U16('x')).End(), kAppendixDamaged},
        {"string data of a key", head().Section("STRS", Bytes().U32(1).U32(2).U32(2).U16('x')).End(), kAppendixDamaged},
        {"string data of a DWORD", head().Section("STRS", Bytes().U32(1).U32(3).U32(2).U16('x')).End(), kAppendixDamaged},
        {"string data longer than the section", head().Section("STRS", Bytes().U32(1).U32(1).U32(0x7FFFFFFF).U16('x')).End(), kAppendixDamaged},
        {"a size in a registry", head().Section("SIZE", Bytes().U32(1).U32(1).U32(1)).End(), kAppendixDamaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = records;
        bytes.insert(bytes.end(), c.appendix.b.begin(), c.appendix.b.end());
        Loaded l(bytes);
        if (c.refusal) {
            EXPECT_FALSE(l.ok);
            EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{c.refusal, kReadError1}));
        } else {
            ASSERT_TRUE(l.ok) << l.messages.Texts().size();
            EXPECT_EQ(l.mine.Appendix1().places, (std::vector<SnapPlacePath>{{"HKEY_USERS", ".DEFAULT"}}));
            EXPECT_EQ(l.mine.Scope().Paths(), (std::vector<std::string>{"HKEY_USERS\\.DEFAULT"}));
            // Named exactly, b is no longer the b of file 2.
            EXPECT_EQ(TreesIdentical(l.mine), std::string(c.what) != "an exact name");
        }
    }
}
