// The registry comparison from snapshot files to pruned trees: equality on
// data length and bytes, the unnamed value, the choice of viewer by type, the
// run's messages and its progress steps.
#include "compare/RegMine.h"
#include "compare/RegNode.h"
#include "compare/FileProperties.h"
#include "compare/RegVal.h"
#include "snapshot/SnapFormat.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/Recorders.h"
#include "tests/support/ViewerRecorder.h"
#include "compare/TreeListing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Keeps every position the bar was set to.
class CBarRecorder : public CRecordingProgress {
public:
    std::vector<float> positions;
    std::vector<int> asked;
    void BarSetPos(float p) override
    {
        positions.push_back(p);
        CRecordingProgress::BarSetPos(p);
    }
    int BarGetPos() override
    {
        asked.push_back(CRecordingProgress::BarGetPos());
        return asked.back();
    }
};

struct Comparison {
    CRecordingMessages messages;
    CRecordingMessages programMessages;
    CBarRecorder progress;
    CRegMine mine{messages, programMessages};
    bool ok = false;

    Comparison(const TRegistry& r1, const TRegistry& r2)
    {
        CMemoryFile file1 = WriteSnapshot(r1);
        CMemoryFile file2 = WriteSnapshot(r2);
        ok = mine.Compare(&progress, file1, file2);
    }
    Comparison(CMemoryFile file1, CMemoryFile file2) { ok = mine.Compare(&progress, file1, file2); }

    std::string Tree() const { return TreeListing(*mine.GetRoot1(), *mine.GetRoot2()); }
};

const CCompareNode* Child(const CCompareNode& node, const std::string& name)
{
    return node.Nodes().GetAt(node.FindNode(CCompareName(name)));
}

const CRegVal* ValueIn(const CCompareNode& node, const std::string& name)
{
    return static_cast<const CRegVal*>(node.Items().GetAt(node.FindItem(CCompareName(name))));
}

TRegistry Sample()
{
    TRegistry r;
    r.machine.subkeys.push_back(
        TKey{"Software",
             {},
             {TKey{"Pellix", {Sz("", "default text"), Dword("Count", 1), Sz("Path", "C:\\App")}, {}},
              TKey{"Empty", {}, {}}}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {TValue{"Blob", 3, {1, 2, 3}}}, {}});
    return r;
}

TKey& Pellix(TRegistry& r)
{
    return r.machine.subkeys[0].subkeys[0];
}

}  // namespace

TEST(RegMine, IdenticalSnapshotsPruneToBareRoots)
{
    Comparison c(Sample(), Sample());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(), "L 0 -1 N Registry 1\nR 0 -1 N Registry 2\n");
    EXPECT_TRUE(c.messages.shown.empty());
    EXPECT_TRUE(c.programMessages.shown.empty());
}

TEST(RegMine, TheFileIsLoadedAsStored)
{
    Comparison c(Sample(), TRegistry());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N Registry 1\n"
              "L 1 0 N HKEY_LOCAL_MACHINE\n"
              "L 2 1 N Software\n"
              "L 3 -1 N Pellix\n"
              "L 4 -1 I (Default)\n"
              "L 4 -1 I Count\n"
              "L 4 -1 I Path\n"
              "L 3 -1 N Empty\n"
              "L 1 0 N HKEY_USERS\n"
              "L 2 1 N .DEFAULT\n"
              "L 3 -1 I Blob\n"
              "R 0 -1 N Registry 2\n");
    const CCompareNode& pellix =
        *Child(*Child(*Child(*c.mine.GetRoot1(), "HKEY_LOCAL_MACHINE"), "Software"), "Pellix");
    const CRegVal* path = ValueIn(pellix, "Path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->GetType(), 1u);
    ASSERT_EQ(path->GetDataSize(), 7u);  // the terminating zero as the registry returned it
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(path->GetData()), 7), std::string("C:\\App\0", 7));
    const CRegVal* unnamed = ValueIn(pellix, "");
    ASSERT_NE(unnamed, nullptr);
    EXPECT_TRUE(unnamed->GetStoredName().empty());
    EXPECT_EQ(ValueIn(pellix, "(Default)"), nullptr);  // matching uses the stored name
}

TEST(RegMine, ANumberThatChangedIsChangedInBothTrees)
{
    TRegistry after = Sample();
    Pellix(after).values[1] = Dword("Count", 2);  // 01 00 00 00 -> 02 00 00 00
    Comparison c(Sample(), after);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N Registry 1\nL 1 0 N HKEY_LOCAL_MACHINE\nL 2 0 N Software\nL 3 0 N Pellix\nL 4 2 I Count\n"
              "R 0 -1 N Registry 2\nR 1 0 N HKEY_LOCAL_MACHINE\nR 2 0 N Software\nR 3 0 N Pellix\nR 4 2 I Count\n");
    const CRegVal* count1 = ValueIn(*Child(*Child(*Child(*c.mine.GetRoot1(), "HKEY_LOCAL_MACHINE"), "Software"), "Pellix"), "Count");
    const CRegVal* count2 = ValueIn(*Child(*Child(*Child(*c.mine.GetRoot2(), "HKEY_LOCAL_MACHINE"), "Software"), "Pellix"), "Count");
    ASSERT_NE(count1, nullptr);
    ASSERT_NE(count2, nullptr);
    EXPECT_EQ(count1->GetOpposite(), count2);
    EXPECT_EQ(count2->GetOpposite(), count1);
    EXPECT_EQ(count1->GetData()[0], 1);
    EXPECT_EQ(count2->GetData()[0], 2);
}

TEST(RegMine, OneByteMoreIsAChange)
{
    TRegistry after = Sample();
    after.users.subkeys[0].values[0].data.push_back(0);
    Comparison c(Sample(), after);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N Registry 1\nL 1 0 N HKEY_USERS\nL 2 0 N .DEFAULT\nL 3 2 I Blob\n"
              "R 0 -1 N Registry 2\nR 1 0 N HKEY_USERS\nR 2 0 N .DEFAULT\nR 3 2 I Blob\n");
}

TEST(RegMine, ATypeChangeWithEqualBytesIsIdentical)
{
    TRegistry after = Sample();
    Pellix(after).values[2].type = 2;  // REG_SZ -> REG_EXPAND_SZ
    after.users.subkeys[0].values[0].type = 0;
    Comparison c(Sample(), after);
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(TreesIdentical(c.mine));
}

TEST(RegMine, EqualityIsOnLengthAndBytesOnly)
{
    CRegNode parent(CCompareName("k"), nullptr);
    CTreeStorage storage;
    auto value = [&](uint32_t type, std::vector<uint8_t> bytes) {
        CRegVal* v = CRegVal::Place(storage, storage.Name("v"), type, static_cast<uint32_t>(bytes.size()), &parent);
        std::copy(bytes.begin(), bytes.end(), v->DataToFill());
        return v;
    };
    EXPECT_TRUE(value(3, {})->IsEqual(*value(4, {})));
    EXPECT_TRUE(value(4, {1, 0, 0, 0})->IsEqual(*value(11, {1, 0, 0, 0})));
    EXPECT_FALSE(value(4, {1, 0, 0, 0})->IsEqual(*value(4, {2, 0, 0, 0})));
    EXPECT_FALSE(value(4, {1, 0, 0, 0})->IsEqual(*value(4, {1, 0, 0, 0, 0})));
    EXPECT_FALSE(value(3, {})->IsEqual(*value(3, {0})));
    EXPECT_FALSE(value(3, {0, 0, 0, 9})->IsEqual(*value(3, {0, 0, 0, 8})));  // the last byte counts
}

TEST(RegMine, TheUnnamedValueIsMatchedAndShownAsDefault)
{
    CRecordingViews view;  // outlives the viewers the values own
    TRegistry after = Sample();
    Pellix(after).values[0] = Sz("", "other text");
    Comparison c(Sample(), after);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N Registry 1\nL 1 0 N HKEY_LOCAL_MACHINE\nL 2 0 N Software\nL 3 0 N Pellix\nL 4 2 I (Default)\n"
              "R 0 -1 N Registry 2\nR 1 0 N HKEY_LOCAL_MACHINE\nR 2 0 N Software\nR 3 0 N Pellix\nR 4 2 I (Default)\n");
    const CCompareNode& pellix2 =
        *Child(*Child(*Child(*c.mine.GetRoot2(), "HKEY_LOCAL_MACHINE"), "Software"), "Pellix");
    CRegVal* unnamed = const_cast<CRegVal*>(ValueIn(pellix2, ""));
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->GetViewerCaption(), "Registry 2 : (Default)");
    view.Show(*unnamed);
    EXPECT_EQ(view.log, (std::vector<std::string>{"open string Registry 2 : (Default) 11"}));
}

TEST(RegMine, KeyAndValueNamesAreMatchedWithoutRegardToCase)
{
    TRegistry after = Sample();
    after.machine.subkeys[0].name = "SOFTWARE";
    Pellix(after).values[1].name = "count";
    Comparison c(Sample(), after);
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(TreesIdentical(c.mine));
}

TEST(RegMine, KeysAndValuesOfOneSideAreUnique)
{
    TRegistry after = Sample();
    Pellix(after).values.erase(Pellix(after).values.begin() + 2);
    after.users.subkeys.push_back(TKey{"S-1-5-18", {Dword("x", 7)}, {TKey{"Sub", {}, {}}}});
    Comparison c(Sample(), after);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.Tree(),
              "L 0 -1 N Registry 1\nL 1 0 N HKEY_LOCAL_MACHINE\nL 2 0 N Software\nL 3 0 N Pellix\nL 4 1 I Path\n"
              "R 0 -1 N Registry 2\nR 1 0 N HKEY_USERS\nR 2 1 N S-1-5-18\nR 3 -1 N Sub\nR 3 -1 I x\n");
}

TEST(RegMine, AFileSystemSnapshotIsRefusedByTheVersionTest)
{
    CMemoryFile fs = WriteSnapshot(TFolder{"C:", {}, {}});
    Comparison c(WriteSnapshot(Sample()), std::move(fs));
    EXPECT_FALSE(c.ok);
    ASSERT_EQ(c.programMessages.shown.size(), 1u);
    EXPECT_EQ(c.programMessages.shown[0].text, "File is not a registry snap shot or is of an older version.");
    EXPECT_EQ(c.programMessages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(c.programMessages.shown[0].buttons, MsgButtons::Ok);
    ASSERT_EQ(c.messages.shown.size(), 1u);
    EXPECT_EQ(c.messages.shown[0].text, "ERROR: Error while reading file 2.");
    EXPECT_EQ(c.messages.shown[0].icon, MsgIcon::Exclamation);
}

TEST(RegMine, TheRunReportsEachStepAndSizesTheBar)
{
    Comparison c(Sample(), Sample());
    ASSERT_TRUE(c.ok);
    // Key records per file: HKEY_LOCAL_MACHINE, Software, Pellix, Empty, HKEY_USERS, .DEFAULT.
    const uint32_t keys = CountKeys(Sample().machine) + CountKeys(Sample().users);
    EXPECT_EQ(keys, 6u);
    EXPECT_FLOAT_EQ(c.progress.barStep, static_cast<float>(75.0 / (2 * keys)));
    EXPECT_EQ(c.progress.events,
              (std::vector<std::string>{"bar setstep", "status Reading snap shot 1 into memory...",
                                        "refresh wait", "bar setpos",
                                        "status Reading snap shot 2 into memory...", "refresh wait",
                                        "bar setpos", "status Comparing snapshot 1 against snapshot 2...",
                                        "refresh wait", "status Comparing snapshot 2 against snapshot 1...",
                                        "refresh wait", "status Removing identicals...", "refresh wait",
                                        "status Comparison complete.", "refresh wait"}));
    // One step per key record: file 1 brings the bar to 37.5, read back as
    // 37; 12 more make 49; file 2 adds 37.5 to 86.5, read back as 86.
    EXPECT_EQ(c.progress.asked, (std::vector<int>{37, 86}));
    EXPECT_EQ(c.progress.positions, (std::vector<float>{49.0f, 98.0f}));
    // Then one step per pair of keys compared, the roots' pair included, in each pass.
    EXPECT_EQ(c.progress.stepIts, 2 * 6 + 2 * 7);
}

TEST(RegMine, TheKeyCountOfTheHeaderOnlySizesTheSteps)
{
    CMemoryFile file1 = WriteSnapshot(Sample());
    CMemoryFile file2 = WriteSnapshot(Sample());
    PutLE32(file1.Bytes().data() + 2, 0xFFFFFFFFu);  // with 1 of file 2: wraps to 0
    PutLE32(file2.Bytes().data() + 2, 1);
    Comparison c(std::move(file1), std::move(file2));
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(TreesIdentical(c.mine));
    EXPECT_EQ(c.progress.barStep, 0.0f);
    EXPECT_EQ(c.progress.positions, (std::vector<float>{12.0f, 24.0f}));
}

TEST(RegMine, CountTexts)
{
    CRecordingMessages messages;
    CRegMine mine(messages);
    std::string text;
    mine.FormatNodeCount(text, 0);
    EXPECT_EQ(text, "0 keys");
    mine.FormatNodeCount(text, 4294967295ul);
    EXPECT_EQ(text, "4294967295 keys");
    mine.FormatItemCount(text, 12);
    EXPECT_EQ(text, "12 values");
}

TEST(RegMine, EachTypeOpensItsViewerOrIsUndisplayable)
{
    CRecordingViews view;  // outlives the viewers the values own
    TRegistry r;
    for (uint32_t type = 0; type <= 13; ++type)
        r.machine.values.push_back(TValue{"t" + std::to_string(type), type, {1, 2}});
    r.machine.values.push_back(TValue{"huge", 0xFFFFFFFFu, {}});
    Comparison c(r, TRegistry());
    ASSERT_TRUE(c.ok);
    CCompareNode& machine = *const_cast<CCompareNode*>(Child(*c.mine.GetRoot1(), "HKEY_LOCAL_MACHINE"));
    for (CCompareItem* item : machine.Items())
        view.Show(*item);
    const std::string cap = "Registry 1 : t";
    EXPECT_EQ(view.log, (std::vector<std::string>{
                            "note Undisplayable type.",           // REG_NONE
                            "open string " + cap + "1 2",        // REG_SZ
                            "open string " + cap + "2 2",        // REG_EXPAND_SZ
                            "open binary " + cap + "3 2",        // REG_BINARY
                            "open dword " + cap + "4 2",         // REG_DWORD
                            "note Undisplayable type.",           // REG_DWORD_BIG_ENDIAN
                            "open binary " + cap + "6 2",        // REG_LINK
                            "open binary " + cap + "7 2",        // REG_MULTI_SZ
                            "open binary " + cap + "8 2",  "open binary " + cap + "9 2",
                            "open binary " + cap + "10 2",
                            "open binary " + cap + "11 2",       // REG_QWORD
                            "note Undisplayable type.",           // 12
                            "note Undisplayable type.",           // 13
                            "note Undisplayable type.",           // 4294967295
                        }));
}

TEST(RegMine, ASecondRequestBringsTheViewerToTheFront)
{
    CRecordingViews view;  // outlives the viewers the values own
    Comparison c(Sample(), TRegistry());
    ASSERT_TRUE(c.ok);
    CCompareNode& pellix = *const_cast<CCompareNode*>(
        Child(*Child(*Child(*c.mine.GetRoot1(), "HKEY_LOCAL_MACHINE"), "Software"), "Pellix"));
    CRegVal* count = const_cast<CRegVal*>(ValueIn(pellix, "Count"));
    view.Show(*count);
    view.Show(*count);
    EXPECT_EQ(view.log, (std::vector<std::string>{"open dword Registry 1 : Count 4", "front"}));
    // The user closed it: the next request opens a new one.
    view.viewers.back()->open = false;
    view.Show(*count);
    EXPECT_EQ(view.log.back(), "open dword Registry 1 : Count 4");
    EXPECT_EQ(view.log.size(), 3u);
}

TEST(RegMine, AViewerThatCannotBeCreatedLeavesTheNote)
{
    CRecordingViews view;  // outlives the viewers the values own
    Comparison c(Sample(), TRegistry());
    ASSERT_TRUE(c.ok);
    CCompareNode& users = *const_cast<CCompareNode*>(Child(*c.mine.GetRoot1(), "HKEY_USERS"));
    CRegVal* blob = const_cast<CRegVal*>(ValueIn(*Child(users, ".DEFAULT"), "Blob"));
    view.canOpen = false;
    view.Show(*blob);
    EXPECT_EQ(view.log, (std::vector<std::string>{"open binary Registry 1 : Blob 3", "note Undisplayable type."}));
    EXPECT_EQ(view.shown.Find(*blob), nullptr);
}

TEST(RegMine, EmptyKeysOnBothSidesAreRemoved)
{
    TRegistry r;
    r.machine.subkeys.push_back(TKey{"Unreadable", {}, {}});
    Comparison c(r, r);
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(TreesIdentical(c.mine));
}
