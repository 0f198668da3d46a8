#include "snapshot/MemoryFile.h"
#include "snapshot/RegSnapFormat.h"
#include "snapshot/SnapFormat.h"
#include "tests/support/RegSnapParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> b;
    for (int v : values)
        b.push_back(static_cast<uint8_t>(v));
    return b;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// HKEY_LOCAL_MACHINE with the default value "abc" and a subkey "S" holding a
// DWORD and a subkey that could not be opened; HKEY_USERS empty.
void WriteSmallRegistry(CRegSnapWriter& w)
{
    w.WriteHeader();
    w.WriteKeyName(kRegSnapRootNames[0], 18);
    w.WriteKeyCounts(1, 1);
    w.WriteValue("", 0, 1, "abc", 4);
    w.WriteKeyName("S", 1);
    w.WriteKeyCounts(1, 1);
    const uint8_t one[4] = {1, 0, 0, 0};
    w.WriteValue("n", 1, 4, one, 4);
    w.WriteKeyName("\xE9", 1);
    w.WriteKeyCounts(0, 0);
    w.WriteKeyName(kRegSnapRootNames[1], 10);
    w.WriteKeyCounts(0, 0);
}

std::vector<uint8_t> SmallRegistryBytes()
{
    std::vector<uint8_t> b = Bytes({0xE1, 0x00, 0x03, 0, 0, 0, 0x02, 0, 0, 0});  // 225, 3 keys, 2 roots
    Append(b, Bytes({18, 0}));
    for (char c : std::string("HKEY_LOCAL_MACHINE"))
        b.push_back(static_cast<uint8_t>(c));
    Append(b, Bytes({1, 0, 0, 0, 1, 0, 0, 0}));               // 1 subkey, 1 value
    Append(b, Bytes({0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 'c', 0}));  // default value, REG_SZ
    Append(b, Bytes({1, 0, 'S', 1, 0, 0, 0, 1, 0, 0, 0}));  // subkey S: 1 subkey, 1 value
    Append(b, Bytes({1, 0, 'n', 4, 0, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0}));  // REG_DWORD 1
    Append(b, Bytes({1, 0, 0xE9, 0, 0, 0, 0, 0, 0, 0, 0}));  // a key that failed to open
    Append(b, Bytes({10, 0}));
    for (char c : std::string("HKEY_USERS"))
        b.push_back(static_cast<uint8_t>(c));
    Append(b, Bytes({0, 0, 0, 0, 0, 0, 0, 0}));
    return b;
}

TEST(RegSnapWriter, WritesTheRecordsByteForByte)
{
    CMemoryFile file;
    CRegSnapWriter w(file);
    WriteSmallRegistry(w);
    ASSERT_TRUE(w.Finish(3));
    EXPECT_EQ(file.Bytes(), SmallRegistryBytes());
}

TEST(RegSnapWriter, TheTestParserReadsTheSameTree)
{
    CMemoryFile file;
    CRegSnapWriter w(file);
    WriteSmallRegistry(w);
    ASSERT_TRUE(w.Finish(3));
    RegSnapFile parsed;
    std::string why;
    ASSERT_TRUE(ParseRegSnap(file.Bytes(), parsed, why)) << why;
    EXPECT_EQ(parsed.version, kRegSnapVersion);
    EXPECT_EQ(parsed.keysRecorded, 3u);
    ASSERT_EQ(parsed.roots.size(), 2u);
    EXPECT_EQ(parsed.roots[0].name, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(parsed.roots[1].name, "HKEY_USERS");
    ASSERT_EQ(parsed.roots[0].values.size(), 1u);
    EXPECT_EQ(parsed.roots[0].values[0].name, "");
    EXPECT_EQ(parsed.roots[0].values[0].data, Bytes({'a', 'b', 'c', 0}));
    EXPECT_EQ(parsed.keyRecords, 4u);
    EXPECT_EQ(parsed.emptyKeyRecords, 2u);
    EXPECT_EQ(parsed.bytesUsed, file.Bytes().size());
}

TEST(RegSnapWriter, UntilFinishedTheHeaderSaysVersionZeroAndTwoKeys)
{
    // The body reaches the file; the final write at offset 0 is refused.
    class RefuseHeader : public CMemoryFile {
    public:
        bool Write(const void* d, uint32_t n) override
        {
            if (GetPosition() == 0 && bodyWritten)
                return false;
            bodyWritten = true;
            return CMemoryFile::Write(d, n);
        }
        bool bodyWritten = false;
    } refusing;
    CRegSnapWriter w(refusing);
    w.WriteHeader();
    w.WriteKeyName(kRegSnapRootNames[0], 18);
    w.WriteKeyCounts(0, 0);
    w.WriteKeyName(kRegSnapRootNames[1], 10);
    w.WriteKeyCounts(0, 0);
    EXPECT_FALSE(w.Finish(2));
    EXPECT_TRUE(w.Failed());
    ASSERT_EQ(refusing.Bytes().size(), 10u + 2 + 18 + 8 + 2 + 10 + 8);
    EXPECT_EQ(std::vector<uint8_t>(refusing.Bytes().begin(), refusing.Bytes().begin() + 10),
              Bytes({0, 0, 2, 0, 0, 0, 2, 0, 0, 0}));
}

TEST(RegSnapWriter, AFullDiskStopsEveryLaterWriteAndTheVersionStaysZero)
{
    CMemoryFile file;
    file.FailWritesFrom(0);
    CRegSnapWriter w(file);
    WriteSmallRegistry(w);
    EXPECT_FALSE(w.Finish(3));
    EXPECT_TRUE(w.Failed());
    EXPECT_TRUE(file.Bytes().empty());
}

TEST(RegSnapWriter, EmptyDataAndTheDefaultValueHaveNoBytesAfterTheirLengths)
{
    CMemoryFile file;
    CRegSnapWriter w(file);
    w.WriteHeader();
    w.WriteValue("", 0, 3, nullptr, 0);
    w.WriteValue("e", 1, 1, "", 0);
    ASSERT_TRUE(w.Finish(0));
    EXPECT_EQ(std::vector<uint8_t>(file.Bytes().begin() + 10, file.Bytes().end()),
              Bytes({0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 1, 0, 'e', 1, 0, 0, 0, 0, 0, 0, 0}));
}

// The walker gathers a key's values before writing them and corrects a
// parent's subkey count afterwards; the file must not tell the two apart.
TEST(RegSnapWriter, GatheredValuesAndACorrectedCountWriteTheSameBytes)
{
    CMemoryFile file;
    CRegSnapWriter w(file);
    w.WriteHeader();
    w.WriteKeyName(kRegSnapRootNames[0], 18);
    uint64_t counts = w.WriteKeyCounts(3, 1);  // two of three subkeys vanish
    CRegValueList values;
    EXPECT_TRUE(values.Add("", 0, 1, "abc", 4));
    EXPECT_FALSE(values.Add("", 0, 1, "again", 6));  // met twice: recorded once
    EXPECT_EQ(values.Count(), 1u);
    w.WriteValues(values);
    w.WriteKeyName("S", 1);
    w.WriteKeyCounts(1, 1);
    values.Clear();
    const uint8_t one[4] = {1, 0, 0, 0};
    EXPECT_TRUE(values.Add("n", 1, 4, one, 4));
    w.WriteValues(values);
    w.WriteKeyName("\xE9", 1);
    w.WriteKeyCounts(0, 0);
    w.PatchSubkeyCount(counts, 1);
    w.WriteKeyName(kRegSnapRootNames[1], 10);
    w.WriteKeyCounts(0, 0);
    values.Clear();
    w.WriteValues(values);
    ASSERT_TRUE(w.Finish(3));
    EXPECT_EQ(file.Bytes(), SmallRegistryBytes());
}

TEST(RegResultsText, WithoutTheOptionOnlyTheTotals)
{
    EXPECT_EQ(RegResultsText(2, 0, false, ""),
              "OPERATION SUCCESSFUL.\r\n\r\n2 key(s) recorded\r\n0 key(s) ignored");
    EXPECT_EQ(RegResultsText(16001, 3, false, "HKEY_USERS\\x\r\n"),
              "OPERATION SUCCESSFUL.\r\n\r\n16001 key(s) recorded\r\n3 key(s) ignored");
}

TEST(RegResultsText, WithTheOptionTheHeadingAndTheListFollow)
{
    EXPECT_EQ(RegResultsText(5, 0, true, ""),
              "OPERATION SUCCESSFUL.\r\n\r\n5 key(s) recorded\r\n0 key(s) ignored\r\n\r\n"
              "The following keys could not be accessed and were ignored:\r\n");
    EXPECT_EQ(RegResultsText(4294967295u, 2, true, "HKEY_LOCAL_MACHINE\\A\r\nHKEY_USERS\\B\r\n"),
              "OPERATION SUCCESSFUL.\r\n\r\n4294967295 key(s) recorded\r\n2 key(s) ignored\r\n\r\n"
              "The following keys could not be accessed and were ignored:\r\n"
              "HKEY_LOCAL_MACHINE\\A\r\nHKEY_USERS\\B\r\n");
}

}  // namespace
