// The comparison operation with real files and a real progress window: what
// the user is told on each way it can fail, the engine it hands back, and the
// two Open dialogs as a person answers them.
#include "compare/CompareOperation.h"

#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "compare/TreeListing.h"
#include "framework/FileDialog.h"
#include "res/resource.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Recorders.h"
#include "tests/support/SnapshotFiles.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <deque>
#include <thread>

namespace {

std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::string Save(const char* name, const CMemoryFile& file)
{
    std::string path = TempFile(name);
    SaveSnapshot(path, file);
    return path;
}

const uint64_t kTime = 130698651090000000ull;

// The snapshot files every case chooses from.
struct Files {
    std::string before = Save("corvane-op-before.tvrec",
                              WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 10, kTime, kTime}}, {}}));
    std::string copy = Save("corvane-op-copy.tvrec",
                            WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 10, kTime, kTime}}, {}}));
    std::string after = Save("corvane-op-after.tvrec",
                             WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 12, kTime, kTime}}, {}}));
    std::string registry = Save("corvane-op-registry.tvrec", WriteSnapshot(TRegistry{}));
    std::string truncated = Save("corvane-op-truncated.tvrec", Truncated(
        WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 12, kTime, kTime}}, {}}), 20));
    std::string text = Save("corvane-op-text.tvrec", CMemoryFile(std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}));

    static CMemoryFile Truncated(CMemoryFile file, size_t keep)
    {
        file.Bytes().resize(keep);
        return file;
    }
};

// Answers the Open dialogs with the paths given, or cancels at a null one.
class CAnsweredOperation : public CCompareOperation {
public:
    using CCompareOperation::CCompareOperation;
    std::deque<const std::string*> answers;
    std::vector<std::string> titles;

protected:
    bool AskForSnapshot(CFileDialog&, const char* title, std::string& path) override
    {
        titles.push_back(title);
        const std::string* answer = answers.empty() ? nullptr : answers.front();
        if (!answers.empty())
            answers.pop_front();
        if (!answer)
            return false;
        path = *answer;
        return true;
    }
};

struct OperationCase {
    const char* name;
    int kind;
    std::vector<const std::string Files::*> chosen;  // a null member cancels that dialog
    bool holdFirstOpen;
    std::vector<std::string> told;         // the operation's and the engine's boxes
    std::vector<std::string> toldProgram;  // the boxes of the program's own windows
    const char* tree;                      // the result's listing, or null for no result
};

class CompareOperation : public ::testing::TestWithParam<OperationCase> {};

TEST_P(CompareOperation, TellsWhatWentWrongOrHandsBackTheEngine)
{
    const OperationCase& c = GetParam();
    Files files;
    CRecordingMessages messages, programMessages;
    CAnsweredOperation operation(&messages, &programMessages);
    for (auto member : c.chosen)
        operation.answers.push_back(member ? &(files.*member) : nullptr);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.holdFirstOpen)  // another program has it open without sharing
        held = ::CreateFileA((files.*c.chosen[0]).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);

    std::unique_ptr<CCompareMine> result = operation.Start(nullptr, c.kind);
    if (held != INVALID_HANDLE_VALUE)
        ::CloseHandle(held);

    EXPECT_EQ(messages.Texts(), c.told);
    EXPECT_EQ(programMessages.Texts(), c.toldProgram);
    if (!c.tree) {
        EXPECT_EQ(result, nullptr);
        return;
    }
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(operation.titles, (std::vector<std::string>{kSelectSnapshot1, kSelectSnapshot2}));
    EXPECT_EQ(TreeListing(*result->GetRoot1(), *result->GetRoot2()), c.tree);
}

const char* const kChangedTree =
    "L 0 -1 N File System 1\nL 1 0 N C:\nL 2 2 I boot.ini\n"
    "R 0 -1 N File System 2\nR 1 0 N C:\nR 2 2 I boot.ini\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, CompareOperation,
    ::testing::Values(
        OperationCase{"firstDialogCancelled", 1, {nullptr}, false, {}, {}, nullptr},
        OperationCase{"secondDialogCancelled", 1, {&Files::before, nullptr}, false, {}, {}, nullptr},
        OperationCase{"sameFileTwice", 1, {&Files::before, &Files::before}, false, {kOpenFailedFile2}, {}, nullptr},
        OperationCase{"firstHeldOpenElsewhere", 1, {&Files::before, &Files::after}, true, {kOpenFailedFile1}, {},
                      nullptr},
        OperationCase{"registryFileInAFileSystemComparison",
                      1,
                      {&Files::registry, &Files::before},
                      false,
                      {kFSNotASnapshot, kReadErrorFile1, kComparisonFailed},
                      {},
                      nullptr},
        OperationCase{"fileSystemFileInARegistryComparison",
                      0,
                      {&Files::before, &Files::registry},
                      false,
                      {kReadErrorFile1, kComparisonFailed},
                      {kRegNotASnapshot},
                      nullptr},
        OperationCase{"truncatedSecondFile", 1, {&Files::before, &Files::truncated}, false,
                      {kReadErrorFile2, kComparisonFailed}, {}, nullptr},
        OperationCase{"notASnapshotAtAll", 1, {&Files::text, &Files::before}, false,
                      {kFSNotASnapshot, kReadErrorFile1, kComparisonFailed}, {}, nullptr},
        OperationCase{"identicalSnapshots", 1, {&Files::before, &Files::copy}, false, {}, {},
                      "L 0 -1 N File System 1\nR 0 -1 N File System 2\n"},
        OperationCase{"aChangedFile", 1, {&Files::before, &Files::after}, false, {}, {}, kChangedTree}),
    [](const ::testing::TestParamInfo<OperationCase>& test) { return std::string(test.param.name); });

// The Open dialog's file name box (the combo box of the Explorer-style dialog).
const int kFileNameBox = 0x47C;

TEST(CompareOperationDialogs, BothOpenDialogsAnsweredAsAPersonWould)
{
    Files files;
    CRecordingMessages messages;
    CCompareOperation operation(&messages, &messages);
    std::vector<std::string> seen;
    bool progressShown = false;
    std::thread person([&]() {
        // The progress window tells what is going on while the files are chosen.
        HWND progress = nullptr;
        WaitFor([&]() { return (progress = FindDialogOfProcess("Corvane")) != nullptr; });
        progressShown = progress && WaitFor([&]() {
            return GetWindowTextOf(::GetDlgItem(progress, IDC_PROGRESS_TITLE)) == kCompareTitle &&
                   GetWindowTextOf(::GetDlgItem(progress, IDC_PROGRESS_STATUS)) == kCompareSetupStatus &&
                   ::SendDlgItemMessageA(progress, IDC_PROGRESS_OPICON, STM_GETICON, 0, 0) != 0;
        });
        for (const auto& [title, path] : {std::pair{kSelectSnapshot1, files.before},
                                          std::pair{kSelectSnapshot2, files.after}}) {
            HWND dialog = nullptr;
            if (!WaitFor([&]() { return (dialog = FindDialogOfProcess(title)) != nullptr; }))
                return;
            seen.push_back(title);
            ::SetDlgItemTextA(dialog, kFileNameBox, path.c_str());
            PressButton(dialog, IDOK);
            WaitFor([&]() { return !::IsWindow(dialog); });
        }
    });
    std::unique_ptr<CCompareMine> result = operation.Start(nullptr, 1);
    person.join();
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(seen, (std::vector<std::string>{kSelectSnapshot1, kSelectSnapshot2}));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{});
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(TreeListing(*result->GetRoot1(), *result->GetRoot2()), kChangedTree);
}

}  // namespace
