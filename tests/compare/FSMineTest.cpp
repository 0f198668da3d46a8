// The file-system comparison from snapshot files to pruned trees: the cases
// a user meets, the run's order, messages and progress steps.
#include "compare/FSFile.h"
#include "compare/FSMine.h"
#include "snapshot/SnapFormat.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/support/Recorders.h"
#include "compare/TreeListing.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const uint64_t kTime = 130698651090000000ull;  // 2015-03-03 14:05:09 UTC

TFile File(const std::string& name, uint32_t size, uint64_t modified = kTime, uint64_t created = kTime)
{
    return TFile{name, size, created, modified};
}

struct Comparison {
    CRecordingMessages messages;
    CRecordingProgress progress;
    CFSMine mine{messages};
    bool ok = false;

    Comparison(const TFolder& drive1, const TFolder& drive2)
    {
        CMemoryFile file1 = WriteSnapshot(drive1);
        CMemoryFile file2 = WriteSnapshot(drive2);
        ok = mine.Compare(&progress, file1, file2);
    }
    Comparison(CMemoryFile file1, CMemoryFile file2) { ok = mine.Compare(&progress, file1, file2); }

    std::string Tree() const { return TreeListing(*mine.GetRoot1(), *mine.GetRoot2()); }
};

// Every link in both trees points at an entry that links back.
void ExpectSymmetricLinks(const CCompareNode& root)
{
    std::vector<const CCompareNode*> pending{&root};
    while (!pending.empty()) {
        const CCompareNode* node = pending.back();
        pending.pop_back();
        if (node->GetOpposite()) {
            EXPECT_EQ(node->GetOpposite()->GetOpposite(), node);
        }
        for (const CCompareItem* item : node->Items())
            if (item->GetOpposite()) {
                EXPECT_EQ(item->GetOpposite()->GetOpposite(), item);
                EXPECT_EQ(item->GetOpposite()->GetState(), item->GetState());
            }
        for (const CCompareNode* child : node->Nodes())
            pending.push_back(child);
    }
}

const CCompareNode* Child(const CCompareNode& node, const std::string& name)
{
    return node.Nodes().GetAt(node.FindNode(CCompareName(name)));
}

const CFSFile* FileIn(const CCompareNode& node, const std::string& name)
{
    return static_cast<const CFSFile*>(node.Items().GetAt(node.FindItem(CCompareName(name))));
}

TFolder SampleDrive()
{
    return TFolder{"C:",
                   {File("boot.ini", 211), File("pagefile.sys", 0)},
                   {TFolder{"WINDOWS", {File("win.ini", 10)}, {TFolder{"system32", {File("a.dll", 5)}, {}}}},
                    TFolder{"Temp", {}, {}}}};
}

}  // namespace

TEST(FSMine, IdenticalSnapshotsPruneToBareRoots)
{
    Comparison c(SampleDrive(), SampleDrive());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(), "L 0 -1 N File System 1\nR 0 -1 N File System 2\n");
    EXPECT_TRUE(c.messages.shown.empty());
}

TEST(FSMine, NamesDifferingOnlyInCaseAreMatched)
{
    TFolder drive2 = SampleDrive();
    drive2.folders[1].name = "TEMP";
    drive2.folders[0].files[0].name = "WIN.INI";
    Comparison c(SampleDrive(), drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(), "L 0 -1 N File System 1\nR 0 -1 N File System 2\n");
}

TEST(FSMine, AFolderInOneTreeOnlyKeepsItsSubtreeUncompared)
{
    TFolder drive1 = SampleDrive();
    drive1.folders.push_back(TFolder{"Old", {File("x.txt", 3)}, {TFolder{"deep", {File("y", 1)}, {}}}});
    Comparison c(drive1, SampleDrive());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N File System 1\n"
              "L 1 0 N C:\n"
              "L 2 1 N Old\n"
              "L 3 -1 N deep\n"
              "L 4 -1 I y\n"
              "L 3 -1 I x.txt\n"
              "R 0 -1 N File System 2\n");
    const CCompareNode* drive = Child(*c.mine.GetRoot1(), "C:");
    EXPECT_EQ(drive->GetOpposite(), nullptr);  // its opposite had nothing left and was deleted
}

TEST(FSMine, AFolderPrunedOnOneSideLeavesItsTwinWithoutOpposite)
{
    TFolder drive2 = SampleDrive();
    drive2.folders[0].files.push_back(File("new.log", 7));
    Comparison c(SampleDrive(), drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N File System 1\n"
              "R 0 -1 N File System 2\n"
              "R 1 0 N C:\n"
              "R 2 0 N WINDOWS\n"
              "R 3 1 I new.log\n");
    const CCompareNode* windows = Child(*Child(*c.mine.GetRoot2(), "C:"), "WINDOWS");
    EXPECT_EQ(windows->GetOpposite(), nullptr);
    EXPECT_EQ(Child(*c.mine.GetRoot2(), "C:")->GetOpposite(), nullptr);
}

TEST(FSMine, ChangedFilesSurviveInBothTreesLinked)
{
    TFolder drive2 = SampleDrive();
    drive2.folders[0].files[0].size = 12;                         // grew from 10 to 12 bytes
    drive2.folders[0].folders[0].files[0].modified = kTime + 1;   // 100 nanoseconds later
    drive2.files[0].created = kTime - 10000000;                   // only the creation time
    Comparison c(SampleDrive(), drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N File System 1\n"
              "L 1 0 N C:\n"
              "L 2 0 N WINDOWS\n"
              "L 3 0 N system32\n"
              "L 4 2 I a.dll\n"
              "L 3 2 I win.ini\n"
              "L 2 2 I boot.ini\n"
              "R 0 -1 N File System 2\n"
              "R 1 0 N C:\n"
              "R 2 0 N WINDOWS\n"
              "R 3 0 N system32\n"
              "R 4 2 I a.dll\n"
              "R 3 2 I win.ini\n"
              "R 2 2 I boot.ini\n");
    const CFSFile* win1 = FileIn(*Child(*Child(*c.mine.GetRoot1(), "C:"), "WINDOWS"), "win.ini");
    const CFSFile* win2 = FileIn(*Child(*Child(*c.mine.GetRoot2(), "C:"), "WINDOWS"), "win.ini");
    EXPECT_EQ(win1->GetOpposite(), win2);
    EXPECT_EQ(win2->GetOpposite(), win1);
    EXPECT_EQ(win1->GetSize(), 10u);
    EXPECT_EQ(win2->GetSize(), 12u);
    ExpectSymmetricLinks(*c.mine.GetRoot1());
    ExpectSymmetricLinks(*c.mine.GetRoot2());
}

TEST(FSMine, SizesAreComparedOnTheirStoredLow32Bits)
{
    TFolder drive1{"C:", {File("big.iso", static_cast<uint32_t>(5000000000ull))}, {}};
    TFolder drive2{"C:", {File("big.iso", 705032704u)}, {}};
    Comparison c(drive1, drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(), "L 0 -1 N File System 1\nR 0 -1 N File System 2\n");
}

TEST(FSMine, EmptyFoldersOnBothSidesAreRemoved)
{
    TFolder drive{"C:", {}, {TFolder{"empty", {}, {}}}};
    Comparison c(drive, drive);
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(TreesIdentical(c.mine));
}

TEST(FSMine, ARootHoldingOnlyFilesLoadsAsOneFolder)
{
    TFolder drive{"C:", {File("a", 1), File("b", 2)}, {}};
    Comparison c(drive, TFolder{"C:", {File("a", 1), File("b", 3)}, {}});
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N File System 1\nL 1 0 N C:\nL 2 2 I b\n"
              "R 0 -1 N File System 2\nR 1 0 N C:\nR 2 2 I b\n");
}

TEST(FSMine, UniqueFilesAndFoldersOfTreeTwoAreFoundByTheSecondPass)
{
    TFolder drive2 = SampleDrive();
    drive2.files.push_back(File("added.txt", 1));
    drive2.folders.push_back(TFolder{"NewApp", {File("app.exe", 9)}, {}});
    Comparison c(SampleDrive(), drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N File System 1\n"
              "R 0 -1 N File System 2\n"
              "R 1 0 N C:\n"
              "R 2 1 N NewApp\n"
              "R 3 -1 I app.exe\n"
              "R 2 1 I added.txt\n");
}

// Siblings whose names differ only in case are paired in list order: the
// first with the first, the second with the second; the rest are unique.
TEST(FSMine, CaseDuplicateSiblingsArePairedInOrder)
{
    TFolder drive1{"C:",
                   {File("a.txt", 1), File("A.TXT", 2), File("A.txt", 3)},
                   {TFolder{"Dir", {File("x", 1)}, {}}, TFolder{"DIR", {File("y", 1)}, {}}}};
    TFolder drive2{"C:",
                   {File("A.txt", 1), File("a.TXT", 5)},
                   {TFolder{"dir", {File("x", 1)}, {}}, TFolder{"dIR", {File("y", 2)}, {}},
                    TFolder{"Dir", {}, {}}}};
    Comparison c(drive1, drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N File System 1\n"
              "L 1 0 N C:\n"
              "L 2 0 N DIR\n"
              "L 3 2 I y\n"
              "L 2 2 I A.TXT\n"
              "L 2 1 I A.txt\n"
              "R 0 -1 N File System 2\n"
              "R 1 0 N C:\n"
              "R 2 0 N dIR\n"
              "R 3 2 I y\n"
              "R 2 1 N Dir\n"
              "R 2 2 I a.TXT\n");
    const CCompareNode* drive = Child(*c.mine.GetRoot1(), "C:");
    ListPosition pos = drive->Items().GetHeadPosition();
    const CCompareItem* changed = drive->Items().GetNext(pos);
    EXPECT_EQ(changed->GetStoredName().str(), "A.TXT");
    EXPECT_EQ(changed->GetOpposite()->GetStoredName().str(), "a.TXT");
    ExpectSymmetricLinks(*c.mine.GetRoot1());
    ExpectSymmetricLinks(*c.mine.GetRoot2());
}

// The same pairing when the lists are long enough to be searched by index.
TEST(FSMine, CaseDuplicatesInLongListsArePairedInOrder)
{
    TFolder drive1{"C:", {}, {}}, drive2{"C:", {}, {}};
    for (int i = 0; i < 50; ++i) {
        drive1.files.push_back(File("f" + std::to_string(i), 1));
        drive2.files.push_back(File("F" + std::to_string(i), 1));
    }
    for (int k = 0; k < 4; ++k)
        drive1.files.push_back(File(k % 2 ? "dup" : "DUP", static_cast<uint32_t>(k)));
    for (int k = 0; k < 3; ++k)
        drive2.files.push_back(File(k % 2 ? "Dup" : "dUP", static_cast<uint32_t>(k == 1 ? 9 : k)));
    Comparison c(drive1, drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N File System 1\nL 1 0 N C:\nL 2 2 I dup\nL 2 1 I dup\n"
              "R 0 -1 N File System 2\nR 1 0 N C:\nR 2 2 I Dup\n");
    ExpectSymmetricLinks(*c.mine.GetRoot1());
    ExpectSymmetricLinks(*c.mine.GetRoot2());
}

TEST(FSMine, RunsItsStepsInOrderWithTheirStatusTexts)
{
    Comparison c(SampleDrive(), SampleDrive());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.progress.events,
              (std::vector<std::string>{
                  "bar setstep",
                  "status Reading snap shot 1 into memory...", "refresh wait",
                  "status Reading snap shot 2 into memory...", "refresh wait",
                  "status Comparing snapshot 1 against snapshot 2...", "refresh wait",
                  "status Comparing snapshot 2 against snapshot 1...", "refresh wait",
                  "status Removing identicals...", "refresh wait",
                  "status Comparison complete.", "refresh wait"}));
}

TEST(FSMine, StepsTheBarOncePerFolderReadAndPerPairCompared)
{
    TFolder drive2 = SampleDrive();
    drive2.folders.pop_back();  // no Temp: 3 folders against 4
    Comparison c(SampleDrive(), drive2);
    ASSERT_TRUE(c.ok);
    EXPECT_FLOAT_EQ(c.progress.barStep, static_cast<float>(100.0 / (2.0 * 7)));
    // 4 + 3 folder records; each pass compares the roots, C:, WINDOWS and system32.
    EXPECT_EQ(c.progress.stepIts, 7 + 4 + 4);
}

TEST(FSMine, ProgressStepWrapsTheSumOfTheCountsLikeTheBar)
{
    EXPECT_FLOAT_EQ(FSProgressStep(1, 1), 25.0f);
    EXPECT_FLOAT_EQ(FSProgressStep(0xFFFFFFFFu, 3), 25.0f);  // 2 after wrapping
    EXPECT_EQ(FSProgressStep(0, 0), 0.0f);
}

TEST(FSMine, RefusesARegistrySnapshotWithItsMessages)
{
    CMemoryFile registry(std::vector<uint8_t>{0xE1, 0x00, 1, 0, 0, 0});
    Comparison c(std::move(registry), WriteSnapshot(SampleDrive()));
    EXPECT_FALSE(c.ok);
    ASSERT_EQ(c.messages.shown.size(), 2u);
    EXPECT_EQ(c.messages.shown[0].text,
              "File is not a valid file system snap shot or is an older version.");
    EXPECT_EQ(c.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(c.messages.shown[1].text, "ERROR: Error while reading file 1.");
    EXPECT_EQ(c.messages.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(c.messages.shown[1].buttons, MsgButtons::Ok);
}

TEST(FSMine, RefusesAnInterruptedSecondFile)
{
    CMemoryFile file2 = WriteSnapshot(SampleDrive());
    file2.Bytes()[0] = 0;  // the version word is written last
    Comparison c(WriteSnapshot(SampleDrive()), std::move(file2));
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.messages.Texts(),
              (std::vector<std::string>{
                  "File is not a valid file system snap shot or is an older version.",
                  "ERROR: Error while reading file 2."}));
    EXPECT_EQ(c.progress.status, "Reading snap shot 2 into memory...");
}

TEST(FSMine, RefusesAFolderCountThatDoesNotMatch)
{
    for (uint32_t count : {0u, 3u, 5u}) {
        CMemoryFile file1 = WriteSnapshot(SampleDrive());  // 4 folders
        PutLE32(file1.Bytes().data() + 2, count);
        Comparison c(std::move(file1), WriteSnapshot(SampleDrive()));
        EXPECT_FALSE(c.ok);
        EXPECT_EQ(c.messages.Texts(),
                  (std::vector<std::string>{
                      "Error reading snap shot.  Number of folders read and contained do not match.",
                      "ERROR: Error while reading file 1."}));
        EXPECT_EQ(c.messages.shown[0].icon, MsgIcon::Information);
    }
}

TEST(FSMine, ReadsTheDriveByteWithoutUsingIt)
{
    CMemoryFile file1 = WriteSnapshot(SampleDrive());
    file1.Bytes()[6] = 0xFF;
    Comparison c(std::move(file1), WriteSnapshot(SampleDrive()));
    EXPECT_TRUE(c.ok);
    EXPECT_TRUE(TreesIdentical(c.mine));
}

TEST(FSMine, EachRootHoldsTheDriveRecord)
{
    CRecordingMessages messages;
    CFSMine mine(messages);
    CMemoryFile file = WriteSnapshot(SampleDrive());
    mine.CreateRoots();
    ASSERT_TRUE(mine.Load(file, mine.GetRoot1()));
    std::string name;
    mine.GetRoot1()->GetName(name);
    EXPECT_EQ(name, "File System 1");
    mine.GetRoot2()->GetName(name);
    EXPECT_EQ(name, "File System 2");
    ASSERT_EQ(mine.GetRoot1()->Nodes().GetCount(), 1u);
    EXPECT_EQ(Child(*mine.GetRoot1(), "C:")->GetParent(), mine.GetRoot1());
    EXPECT_EQ(mine.GetRoot1()->CountNodes(), 4u);
    const CFSFile* boot = FileIn(*Child(*mine.GetRoot1(), "C:"), "boot.ini");
    EXPECT_EQ(boot->GetSize(), 211u);
    EXPECT_EQ(boot->GetModified(), kTime);
}

TEST(FSMine, FormatsItsCounts)
{
    CRecordingMessages messages;
    CFSMine mine(messages);
    std::string text;
    mine.FormatNodeCount(text, 1234);
    EXPECT_EQ(text, "1234 folders");
    mine.FormatItemCount(text, 0);
    EXPECT_EQ(text, "0 files");
}

TEST(FSMine, ASecondRunReplacesTheTreesOfTheFirst)
{
    CRecordingMessages messages;
    CFSMine mine(messages);
    TFolder drive2 = SampleDrive();
    drive2.files.push_back(File("n", 1));
    CMemoryFile a = WriteSnapshot(SampleDrive()), b = WriteSnapshot(drive2);
    ASSERT_TRUE(mine.Compare(nullptr, a, b));
    EXPECT_FALSE(TreesIdentical(mine));
    CMemoryFile c = WriteSnapshot(SampleDrive()), d = WriteSnapshot(SampleDrive());
    ASSERT_TRUE(mine.Compare(nullptr, c, d));
    EXPECT_TRUE(TreesIdentical(mine));
}
