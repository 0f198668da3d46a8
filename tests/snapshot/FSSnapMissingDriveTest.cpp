// A drive that is not there when the snapshot starts, or that goes away during
// the walk (a card pulled, a share lost): the user is told that the drive is
// not available, and the file keeps version 0, so no reader takes it for a
// snapshot of an empty drive. The wrapper maps the drive to a folder of the
// host, which the test moves away through drive Z: (the host's root) and back.

#include "tests/snapshot/FSSnapTesting.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

// Moves the drive's folder away when the walk shows its given folder.
class CPullingProgress : public CRecordingProgress {
public:
    std::function<bool()> pull;
    int pullAtFolder = 0;
    int folders = 0;
    bool pulled = false;

    void SetStatusText(const char* text) override
    {
        CRecordingProgress::SetStatusText(text);
        if (text[1] == ':' && ++folders == pullAtFolder)
            pulled = pull();
    }
};

constexpr int kAreas = 20, kFoldersPerArea = 20;

class FSSnapMissingDrive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_drive = FixtureDriveLetter();
        const char* folder = std::getenv("CORVANE_FIXTURE_FOLDER");
        if (!s_drive || !folder)
            return;
        s_hostFolder = std::string("Z:") + folder;
        for (char& c : s_hostFolder)
            if (c == '/')
                c = '\\';
        s_movedFolder = s_hostFolder + " moved away";
        ::MoveFileA(s_movedFolder.c_str(), s_hostFolder.c_str());  // left over from an interrupted run
        std::string root = std::string(1, s_drive) + ":";
        for (int area = 0; area < kAreas; ++area) {
            for (int f = 0; f < kFoldersPerArea; ++f) {
                std::string path = root + "\\area " + std::to_string(area);
                MakeFolder(path);
                path += "\\folder " + std::to_string(f);
                if (!FileExists(path + "\\file.txt")) {
                    ASSERT_TRUE(MakeFolder(path) && MakeFile(path + "\\file.txt", "x"));
                }
            }
        }
    }

    void SetUp() override
    {
        if (!s_drive || s_hostFolder.empty())
            FAIL() << "no fixture drive: run through scripts/with-drive, which maps it";
        ::DeleteFileA(path.c_str());
    }
    void TearDown() override
    {
        MoveBack();
        ::DeleteFileA(path.c_str());
    }

    static bool MoveAway() { return ::MoveFileA(s_hostFolder.c_str(), s_movedFolder.c_str()) != FALSE; }
    static void MoveBack() { ::MoveFileA(s_movedFolder.c_str(), s_hostFolder.c_str()); }

    void ExpectToldAndRefused(const CRecordedFSSnap& snap)
    {
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[0].text, kFSSnapQuestion);
        EXPECT_EQ(messages.shown[1].text,
                  std::string("ERROR: Drive ") + s_drive +
                      ": is not available.\n\nThe snap shot is incomplete and cannot be used.");
        EXPECT_EQ(messages.shown[1].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(snap.results.empty());
        std::vector<uint8_t> bytes = ReadWholeFile(path);
        ASSERT_GE(bytes.size(), 7u);
        EXPECT_EQ(bytes[0], 0);  // version 0: every reader refuses the file
        EXPECT_EQ(bytes[1], 0);
        EXPECT_EQ(bytes[6], static_cast<uint8_t>(s_drive));
        for (float p : progress.percents)
            EXPECT_NE(p, 100.0f);
    }

    static char s_drive;
    static std::string s_hostFolder, s_movedFolder;
    std::string path = std::string("Z:\\tmp\\corvane-missing-drive.tvrec");
    CRecordingMessages messages;
    CPullingProgress progress;
};

char FSSnapMissingDrive::s_drive = 0;
std::string FSSnapMissingDrive::s_hostFolder, FSSnapMissingDrive::s_movedFolder;

TEST_F(FSSnapMissingDrive, ADriveThatIsNotThereAtTheStartIsReportedNotRecordedAsEmpty)
{
    ASSERT_TRUE(MoveAway());
    CRecordedFSSnap snap(path, s_drive, nullptr, &progress, &messages);
    snap.Run();
    ExpectToldAndRefused(snap);
    EXPECT_EQ(snap.FoldersFound(), 1u);
}

TEST_F(FSSnapMissingDrive, ADriveThatGoesAwayDuringTheWalkIsReportedAndTheWalkStops)
{
    progress.pull = MoveAway;
    progress.pullAtFolder = 100;
    CRecordedFSSnap snap(path, s_drive, nullptr, &progress, &messages);
    snap.Run();
    ASSERT_TRUE(progress.pulled);
    ExpectToldAndRefused(snap);
    // The walk stopped where the drive went, instead of listing every
    // folder it still meant to visit as one it could not enter.
    EXPECT_LT(snap.FoldersIgnored(), 2u);
    EXPECT_LT(progress.folders, 110);
    MoveBack();
    EXPECT_TRUE(FileExists(std::string(1, s_drive) + ":\\area 19\\folder 19\\file.txt"));
}

TEST_F(FSSnapMissingDrive, TheSameDriveLeftInPlaceIsRecordedWhole)
{
    CRecordedFSSnap snap(path, s_drive, nullptr, &progress, &messages);
    snap.Run();
    ASSERT_EQ(messages.shown.size(), 1u) << messages.shown.back().text;
    ASSERT_EQ(snap.results.size(), 1u);
    EXPECT_EQ(snap.FoldersFound(), 1u + kAreas + kAreas * kFoldersPerArea);
    EXPECT_EQ(snap.FilesFound(), static_cast<uint32_t>(kAreas * kFoldersPerArea));
    FSSnapFile file;
    std::string why;
    ASSERT_TRUE(ParseFSSnap(ReadWholeFile(path), file, why)) << why;
    EXPECT_EQ(file.version, 174);
}

}  // namespace
