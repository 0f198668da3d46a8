// Broken and hostile snapshot files: every one ends in a refusal with the
// engine's messages or loads to exactly what the file holds; none crashes,
// hangs or takes memory beyond what its records need.
#include "compare/FSFile.h"
#include "compare/FSMine.h"
#include "snapshot/SnapFormat.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/support/Recorders.h"
#include "compare/TreeListing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kNotASnapshot = "File is not a valid file system snap shot or is an older version.";
const std::string kMismatch = "Error reading snap shot.  Number of folders read and contained do not match.";
const std::string kReadError1 = "ERROR: Error while reading file 1.";

TFolder Drive()
{
    return TFolder{"C:",
                   {TFile{"boot.ini", 211, 1, 2}},
                   {TFolder{"WINDOWS", {TFile{"win.ini", 10, 3, 4}, TFile{"", 0, 5, 6}}, {TFolder{"e", {}, {}}}}}};
}

struct Loaded {
    CRecordingMessages messages;
    CFSMine mine{messages};
    bool ok;

    explicit Loaded(std::vector<uint8_t> bytes)
    {
        CMemoryFile file1(std::move(bytes));
        CMemoryFile file2 = WriteSnapshot(Drive());
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
    Bytes& Name(const std::string& n)
    {
        U16(static_cast<uint16_t>(n.size()));
        b.insert(b.end(), n.begin(), n.end());
        return *this;
    }
    Bytes& Header(uint32_t folders) { return U16(kFSSnapVersion).U32(folders).U8('C'); }
    Bytes& Folder(const std::string& n, uint32_t subfolders, uint32_t files) { return Name(n).U32(subfolders).U32(files); }
    Bytes& File(const std::string& n, uint32_t size)
    {
        Name(n);
        for (int i = 0; i < 16; ++i)
            U8(static_cast<uint8_t>(i));
        return U32(size);
    }
};

}  // namespace

TEST(FSLoadBadInput, EveryTruncationOfAValidFileIsRefused)
{
    std::vector<uint8_t> whole = WriteSnapshot(Drive()).Bytes();
    for (size_t length = 0; length < whole.size(); ++length) {
        Loaded l(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
        EXPECT_FALSE(l.ok) << length;
        std::vector<std::string> expected{kReadError1};
        if (length < 2)
            expected.insert(expected.begin(), kNotASnapshot);  // the version word is incomplete
        EXPECT_EQ(l.messages.Texts(), expected) << length;
    }
    Loaded whole_file(whole);
    EXPECT_TRUE(whole_file.ok);
    EXPECT_TRUE(TreesIdentical(whole_file.mine));
}

TEST(FSLoadBadInput, AnEmptyFileIsRefusedByTheVersionTest)
{
    Loaded l({});
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kNotASnapshot, kReadError1}));
}

TEST(FSLoadBadInput, CountsThatLieAreNotBelieved)
{
    // A folder claiming 4,294,967,295 files or subfolders, with one present.
    for (bool files : {true, false}) {
        Bytes b;
        b.Header(1).Folder("C:", files ? 0 : 0xFFFFFFFFu, files ? 0xFFFFFFFFu : 0);
        if (files)
            b.File("a", 1);
        else
            b.Folder("a", 0, 0);
        Loaded l(b.b);
        EXPECT_FALSE(l.ok);
        EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kReadError1}));
        // What was read stays in the tree until the engine goes.
        const CCompareNode* drive = l.mine.GetRoot1()->Nodes().GetAt(l.mine.GetRoot1()->Nodes().GetHeadPosition());
        ASSERT_NE(drive, nullptr);
        EXPECT_EQ(drive->Items().GetCount() + drive->Nodes().GetCount(), 1u);
    }
}

TEST(FSLoadBadInput, AHeaderFolderCountOfMillionsWithOneRecordIsRefused)
{
    Loaded l(Bytes().Header(0xFFFFFFFFu).Folder("C:", 0, 0).b);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kMismatch, kReadError1}));
}

TEST(FSLoadBadInput, OneFolderRecordTooFewIsRefusedByTheCount)
{
    Loaded l(Bytes().Header(3).Folder("C:", 1, 0).Folder("a", 0, 0).b);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.messages.Texts(), (std::vector<std::string>{kMismatch, kReadError1}));
}

TEST(FSLoadBadInput, FoldersNestedAMillionDeepAreRefusedWithAMessage)
{
    const uint32_t depth = 1000000;
    Bytes b;
    b.Header(depth);
    for (uint32_t i = 0; i < depth; ++i)
        b.Folder("d", i + 1 < depth ? 1 : 0, 0);
    Loaded l(b.b);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.messages.Texts(),
              (std::vector<std::string>{
                  "Error reading snap shot.  Folders are nested more than 16384 levels deep.",
                  kReadError1}));
    EXPECT_EQ(l.mine.GetRoot1()->CountNodes(), kMaxFolderDepth);
}

// The deepest nesting accepted is compared and pruned like any tree.
TEST(FSLoadBadInput, FoldersNestedToTheLimitAreCompared)
{
    auto nested = [](uint32_t extraFileAtBottom) {
        Bytes b;
        b.Header(kMaxFolderDepth);
        for (uint32_t i = 0; i < kMaxFolderDepth; ++i) {
            bool last = i + 1 == kMaxFolderDepth;
            b.Folder("d", last ? 0 : 1, last ? extraFileAtBottom : 0);
        }
        if (extraFileAtBottom)
            b.File("bottom", 1);
        return CMemoryFile(b.b);
    };
    CRecordingMessages messages;
    CFSMine mine(messages);
    CMemoryFile file1 = nested(0), file2 = nested(1);
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2)) << messages.Texts().size();
    EXPECT_TRUE(mine.GetRoot1()->IsEmpty());
    EXPECT_EQ(mine.GetRoot2()->CountNodes(), kMaxFolderDepth);
    std::string path;
    for (uint32_t i = 0; i < kMaxFolderDepth; ++i)
        path += "d\\";
    std::vector<std::string> unique;
    WalkTree(
        *mine.GetRoot2(), [](const CCompareNode&, unsigned) { return true; },
        [&](const CCompareItem& item, unsigned) {
            if (item.GetState() == csUnique)
                unique.push_back(EntryPath(item));
        });
    EXPECT_EQ(unique, std::vector<std::string>{path + "bottom"});
}

TEST(FSLoadBadInput, NamesEndAtTheirFirstZeroByte)
{
    Loaded l(Bytes()
                 .Header(2)
                 .Folder(std::string("C:\0junk", 7), 1, 1)
                 .File(std::string("boot.INI\0x", 10), 211)
                 .Folder(std::string("win\0", 4), 0, 0)
                 .b);
    ASSERT_TRUE(l.ok);
    std::string tree = TreeListing(*l.mine.GetRoot1(), *l.mine.GetRoot2());
    EXPECT_EQ(tree,
              "L 0 -1 N File System 1\nL 1 0 N C:\nL 2 1 N win\nL 2 2 I boot.INI\n"
              "R 0 -1 N File System 2\nR 1 0 N C:\nR 2 1 N WINDOWS\nR 3 -1 N e\n"
              "R 3 -1 I win.ini\nR 3 -1 I \nR 2 2 I boot.ini\n");
}

TEST(FSLoadBadInput, BytesAfterTheRootRecordAreNotRead)
{
    std::vector<uint8_t> bytes = WriteSnapshot(Drive()).Bytes();
    for (int i = 0; i < 1000; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 37));
    Loaded l(bytes);
    EXPECT_TRUE(l.ok);
    EXPECT_TRUE(l.messages.shown.empty());
    EXPECT_TRUE(TreesIdentical(l.mine));
}

TEST(FSLoadBadInput, ALongestNameIsRead)
{
    std::string name(0xFFFF, 'n');
    Loaded l(Bytes().Header(1).Folder("C:", 0, 1).File(name, 1).b);
    ASSERT_TRUE(l.ok);
    const CCompareNode* drive = l.mine.GetRoot1()->Nodes().GetAt(l.mine.GetRoot1()->Nodes().GetHeadPosition());
    EXPECT_EQ(drive->Items().GetAt(drive->FindItem(CCompareName(name)))->GetStoredName().size(), 0xFFFFu);
}
