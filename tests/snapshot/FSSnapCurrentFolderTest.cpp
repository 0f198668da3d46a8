// The walk makes every folder it tests current; when it ends, the folder that
// was current before is current again, whatever way the walk ended.
#include "snapshot/FSSnap.h"

#include "tests/support/DriveFixture.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

namespace {

class CSilentFSSnap : public CFSSnap {
public:
    using CFSSnap::CFSSnap;

protected:
    void ShowResults(const std::string&) override {}
};

std::string CurrentFolder()
{
    char folder[MAX_PATH * 2] = "";
    ::GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

std::string TempFolder()
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    std::string folder = dir;
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

struct EndCase {
    const char* name;
    const char* snapshotName;  // under the temp folder; null: a file that cannot be written
};

class FSSnapCurrentFolder : public ::testing::TestWithParam<EndCase> {};

TEST_P(FSSnapCurrentFolder, IsWhereItWasAfterTheWalk)
{
    char drive = FixtureDriveLetter();
    ASSERT_NE(drive, 0) << "run through scripts/with-drive, which maps the drive";
    std::string root = std::string(1, drive) + ":";
    for (const char* folder : {"\\current folder test", "\\current folder test\\last"})
        ASSERT_TRUE(MakeFolder(root + folder) || FileExists(root + folder)) << folder;

    std::string before = TempFolder();
    ASSERT_TRUE(::SetCurrentDirectoryA(before.c_str()));
    ASSERT_EQ(CurrentFolder(), before);

    const EndCase& c = GetParam();
    std::string path = c.snapshotName ? before + "\\" + c.snapshotName : std::string("Z:\\dev\\full");
    CRecordingMessages messages;
    CRecordingProgress progress;
    CSilentFSSnap snap(path, drive, nullptr, &progress, &messages);
    snap.Run();
    EXPECT_GE(snap.FoldersFound(), 3u);  // it walked into the drive
    EXPECT_EQ(CurrentFolder(), before);
    if (c.snapshotName)
        ::DeleteFileA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Ends, FSSnapCurrentFolder,
                         ::testing::Values(EndCase{"complete", "corvane-current-folder.tvrec"},
                                           EndCase{"diskFull", nullptr}),
                         [](const ::testing::TestParamInfo<EndCase>& test) { return std::string(test.param.name); });

}  // namespace
