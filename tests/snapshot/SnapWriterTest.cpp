#include "snapshot/FSSnapFormat.h"
#include "snapshot/MemoryFile.h"
#include "snapshot/SnapFormat.h"
#include "snapshot/SnapWriter.h"

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

// One drive with a root holding a file and one empty subfolder.
void WriteSmallTree(CFSSnapWriter& w)
{
    w.WriteHeader('C');
    uint64_t root = w.BeginFolder("C:", 2);
    w.WriteFile("a", 1, 0x0102030405060708ull, 0x1112131415161718ull, 0xA0B0C0D0u);
    uint64_t sub = w.BeginFolder("S", 1);
    w.EndFolder(sub, 0, 0);
    w.EndFolder(root, 1, 1);
}

const std::vector<uint8_t> kSmallTree = Bytes({
    0xAE, 0x00, 0x02, 0x00, 0x00, 0x00, 'C',               // version 174, 2 folders, drive
    0x02, 0x00, 'C', ':', 0x01, 0, 0, 0, 0x01, 0, 0, 0,    // root: 1 subfolder, 1 file
    0x01, 0x00, 'a',                                       // file a
    0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,        //   creation time
    0x18, 0x17, 0x16, 0x15, 0x14, 0x13, 0x12, 0x11,        //   last-write time
    0xD0, 0xC0, 0xB0, 0xA0,                                //   size
    0x01, 0x00, 'S', 0, 0, 0, 0, 0, 0, 0, 0,               // empty subfolder
});

TEST(FSSnapWriter, WritesTheRecordsByteForByte)
{
    CMemoryFile file;
    CFSSnapWriter w(file);
    WriteSmallTree(w);
    ASSERT_TRUE(w.Finish(2));
    EXPECT_EQ(file.Bytes(), kSmallTree);
}

TEST(FSSnapWriter, CountsPatchedBySeekingWhenTheBufferWasFlushed)
{
    // A buffer of 3 bytes forces every patch to go through the file.
    CMemoryFile file;
    CSnapWriter out(file, 3);
    out.PutU16(0);
    out.PutU32(0);
    out.PutU8('C');
    uint64_t counts = out.Position();
    out.PutU32(0);
    out.PutBytes("xyzxyz", 6);
    out.PatchU32(counts, 0x01020304u);
    ASSERT_TRUE(out.Finish(kFSSnapVersion, 9));
    EXPECT_EQ(file.Bytes(), Bytes({0xAE, 0, 9, 0, 0, 0, 'C', 4, 3, 2, 1, 'x', 'y', 'z', 'x', 'y', 'z'}));
}

TEST(FSSnapWriter, TheVersionIsWrittenAfterEverythingElse)
{
    // Fail exactly when the version word would be written: all else is there,
    // and the file still says version 0.
    // Allow the body through, then refuse any later write at offset 0.
    class RefuseHeader : public CMemoryFile {
    public:
        bool Write(const void* d, uint32_t n) override
        {
            if (GetPosition() == 0 && flushed)
                return false;
            flushed = true;
            return CMemoryFile::Write(d, n);
        }
        bool flushed = false;
    } refusing;
    CFSSnapWriter w2(refusing);
    WriteSmallTree(w2);
    EXPECT_FALSE(w2.Finish(2));
    ASSERT_EQ(refusing.Bytes().size(), kSmallTree.size());
    EXPECT_EQ(refusing.Bytes()[0], 0);
    EXPECT_EQ(refusing.Bytes()[1], 0);
}

TEST(FSSnapWriter, AWriteFailingPartWayLeavesVersionZeroAndStopsWriting)
{
    for (uint64_t limit : {0ull, 1ull, 7ull, 20ull, 40ull}) {
        CMemoryFile file;
        file.FailWritesFrom(limit);
        CSnapWriter out(file, 8);
        out.PutU16(0);
        out.PutU32(0);
        out.PutU8('D');
        for (int i = 0; i < 20; ++i)
            out.PutU32(static_cast<uint32_t>(i));
        EXPECT_TRUE(out.Failed()) << limit;
        EXPECT_FALSE(out.Finish(kFSSnapVersion, 1)) << limit;
        EXPECT_LE(file.Bytes().size(), limit);
        // Whatever reached the file starts with version 0 (or is too short to hold one).
        if (file.Bytes().size() >= 2) {
            EXPECT_EQ(GetLE16(file.Bytes().data()), 0) << limit;
        }
    }
}

TEST(FSSnapWriter, NamesAreCountedWithoutTerminatorAndCutAt65535)
{
    CMemoryFile file;
    CSnapWriter out(file);
    out.PutName(std::string());
    out.PutName(std::string("\xE9t\xE9", 3));
    std::string huge(70000, 'n');
    out.PutName(huge);
    ASSERT_TRUE(out.Flush());
    const auto& b = file.Bytes();
    ASSERT_EQ(b.size(), 2u + 5u + 2u + 65535u);
    EXPECT_EQ(GetLE16(b.data()), 0);
    EXPECT_EQ(GetLE16(b.data() + 2), 3);
    EXPECT_EQ(b[4], 0xE9);
    EXPECT_EQ(GetLE16(b.data() + 7), 65535);
}

TEST(FSSnapWriter, RootNameIsTheDriveAndAColon)
{
    EXPECT_EQ(FSRootName('C'), "C:");
    EXPECT_EQ(FSRootName('q'), "q:");
}

}  // namespace
