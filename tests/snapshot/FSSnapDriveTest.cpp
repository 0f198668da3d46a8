// Snapshots of a whole drive: the wrapper maps a spare drive letter to an
// empty folder (with a link inside that leads back to the root); the suite
// fills it through the Windows API and checks the snapshot record by record
// against an independent listing of the same drive.

#include "tests/snapshot/FSSnapTesting.h"
#include "compare/FSFile.h"
#include "compare/FSMine.h"
#include "framework/AnsiName.h"

#include "framework/AppMessageBox.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/Recorders.h"

#include "res/Version.h"
#include "tests/support/SnapshotFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void ExpectSameTree(const FolderRecord& expected, const FolderRecord& actual, const std::string& path)
{
    SCOPED_TRACE(path);
    EXPECT_EQ(actual.name, expected.name);
    ASSERT_EQ(actual.files.size(), expected.files.size());
    for (size_t i = 0; i < expected.files.size(); ++i) {
        const FileRecord& e = expected.files[i];
        const FileRecord& a = actual.files[i];
        EXPECT_EQ(a.name, e.name) << i;
        EXPECT_EQ(a.creationTime, e.creationTime) << e.name;
        EXPECT_EQ(a.lastWriteTime, e.lastWriteTime) << e.name;
        EXPECT_EQ(a.size, e.size) << e.name;
    }
    ASSERT_EQ(actual.folders.size(), expected.folders.size());
    for (size_t i = 0; i < expected.folders.size(); ++i)
        ExpectSameTree(expected.folders[i], actual.folders[i], path + "\\" + expected.folders[i].name);
}

// The subfolder of that name, or null.
template <typename Folder>
Folder* Subfolder(Folder& folder, const std::string& name)
{
    for (auto& sub : folder.folders)
        if (sub.name == name)
            return &sub;
    return nullptr;
}

void Totals(const FolderRecord& f, uint32_t& files, uint32_t& folders)
{
    ++folders;
    files += static_cast<uint32_t>(f.files.size());
    for (const auto& sub : f.folders)
        Totals(sub, files, folders);
}

// Folders below Names whose names code page 1252 cannot hold, each holding a
// file of 7 bytes: recorded as the ANSI functions list them.
const struct {
    const wchar_t *folder, *file;
    const char* recorded;  // "folder: file size"
} kNamed[] = {
    {L"\u0414\u0438\u0440", L"\u0436\u0443\u043a.txt", "???: ???.txt 7"},
    {L"\u0416\u0443\u043a", L"other.txt", "???: other.txt 7"},  // reads as the one before
    {L"\U0001F30D", L"\U0001F30E.txt", "??: ??.txt 7"},
};

// "folder: file size ..." of a folder; its files are taken out and counted,
// as the ANSI listing cannot reach them.
std::string TakeFiles(FolderRecord& folder, uint32_t& files)
{
    std::string text = folder.name + ":";
    for (const FileRecord& f : folder.files)
        text += " " + f.name + " " + std::to_string(f.size);
    files += static_cast<uint32_t>(folder.files.size());
    folder.files.clear();
    return text;
}

// The folders the walk cannot enter, in the order a depth-first walk meets them.
std::string IgnoredInWalkOrder(const FolderRecord& tree, const std::string& path,
                               const std::vector<std::string>& notEntered)
{
    std::string list;
    for (const auto& sub : tree.folders) {
        std::string p = path + "\\" + sub.name;
        if (std::find(notEntered.begin(), notEntered.end(), p) != notEntered.end())
            list += "\r\n" + p;
        else
            list += IgnoredInWalkOrder(sub, p, notEntered);
    }
    return list;
}

class FSSnapDrive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char drive = FixtureDriveLetter();
        if (!drive)
            return;
        s_root = std::string(1, drive) + ":";
        const std::string& r = s_root;
        ASSERT_TRUE(MakeFile(r + "\\root one.txt", "0123456789"));
        ASSERT_TRUE(MakeFile(r + "\\empty file", ""));
        ASSERT_TRUE(MakeFolder(r + "\\Program Files"));
        ASSERT_TRUE(MakeFolder(r + "\\Program Files\\Pellix App"));
        ASSERT_TRUE(MakeFolder(r + "\\Program Files\\Pellix App\\bin"));
        ASSERT_TRUE(MakeFile(r + "\\Program Files\\Pellix App\\bin\\app.exe", std::string(1000, 'x')));
        ASSERT_TRUE(MakeFile(r + "\\Program Files\\Pellix App\\readme.txt", "read me"));
        ASSERT_TRUE(MakeFolder(r + "\\Empty"));
        ASSERT_TRUE(MakeFolder(r + "\\Caf\xE9 \xC4rger"));
        ASSERT_TRUE(MakeFile(r + "\\Caf\xE9 \xC4rger\\na\xEFve \xA9.txt", "accents"));
        // Folders that list what their parent lists, without being it: the
        // loop guard must tell them from a way back and walk them all.
        ASSERT_TRUE(MakeFolder(r + "\\Echo"));
        ASSERT_TRUE(MakeFolder(r + "\\Echo\\echo"));
        ASSERT_TRUE(MakeFolder(r + "\\Echo\\echo\\echo"));
        ASSERT_TRUE(MakeFolder(r + "\\Echo\\echo\\echo\\echo"));
        ASSERT_TRUE(MakeFolder(r + "\\Big"));
        ASSERT_TRUE(MakeSizedFile(r + "\\Big\\sparse.bin", 5000000000ull));
        // Deep\<100 a>\<100 b>\<100 c>\<100 d>\bottom.txt: a path of 422
        // characters; from the third level on, longer than MAX_PATH.
        std::wstring deep = WideRoot() + L"\\Deep";
        ASSERT_TRUE(MakeFolderW(deep));
        for (wchar_t c : {L'a', L'b', L'c', L'd'}) {
            deep += L"\\" + std::wstring(100, c);
            ASSERT_TRUE(MakeFolderW(deep)) << deep.size();
        }
        ASSERT_TRUE(MakeFileW(deep + L"\\bottom.txt", "at the bottom"));
        ASSERT_TRUE(MakeFile(r + "\\Deep\\" + std::string(100, 'a') + "\\inside.txt", "in"));
        ASSERT_TRUE(MakeFolderW(WideRoot() + L"\\Names"));
        for (const auto& named : kNamed) {
            std::wstring folder = WideRoot() + L"\\Names\\" + named.folder;
            ASSERT_TRUE(MakeFolderW(folder));
            ASSERT_TRUE(MakeFileW(folder + L"\\" + named.file, "content"));
        }
        s_loopLink = r + "\\Links\\Back to root";
        s_ringLinks = {r + "\\Ring1\\hop\\hop", r + "\\Ring2\\hop\\hop"};
        ASSERT_TRUE(FileExists(s_loopLink + "\\Links"));  // the link really leads back
        // Outside leads to the host's folder that holds the drive's root as
        // a real folder: the loop closes at a folder that is no link.
        s_outsideLoop = r + "\\Outside\\drive";
        ASSERT_TRUE(FileExists(s_outsideLoop + "\\Links"));
        s_drive = drive;
    }

    static std::wstring WideRoot() { return std::wstring(s_root.begin(), s_root.end()); }

    void SetUp() override
    {
        if (!s_drive)
            FAIL() << "no fixture drive: run through scripts/with-drive, which maps it";
    }

    static char s_drive;
    static std::string s_root, s_loopLink, s_outsideLoop;
    // Links that close a loop through another link first.
    static std::vector<std::string> s_ringLinks;
};

char FSSnapDrive::s_drive = 0;
std::string FSSnapDrive::s_root, FSSnapDrive::s_loopLink,
    FSSnapDrive::s_outsideLoop;
std::vector<std::string> FSSnapDrive::s_ringLinks;

TEST_F(FSSnapDrive, WalksTheWholeDriveIntoTheSnapshotRecordByRecord)
{
    std::string path = TempPath("corvane-walk.tvrec");
    CRecordingMessages messages;
    CRecordingProgress progress;
    CRecordedFSSnap snap(path, s_drive, nullptr, &progress, &messages);
    snap.Run();

    ASSERT_EQ(messages.shown.size(), 1u);  // the question, and nothing else
    EXPECT_EQ(messages.shown[0].text, kFSSnapQuestion);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);

    FSSnapFile file;
    std::string why;
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    ASSERT_TRUE(ParseFSSnap(bytes, file, why)) << why;
    EXPECT_EQ(file.version, 174);
    EXPECT_EQ(file.drive, static_cast<uint8_t>(s_drive));
    EXPECT_EQ(file.folderCount, file.foldersRead);
    // After the root record, what the file is: the whole drive, by the window.
    CSnapAppendix appendix;
    ASSERT_TRUE(ReadAppendixAt(bytes, file.bytesUsed, appendix));
    EXPECT_TRUE(appendix.Whole());
    EXPECT_EQ(appendix.codePage, ::GetACP());
    EXPECT_EQ(appendix.program + " " + appendix.version, std::string("corvane ") + CORVANE_VERSION);

    // The ANSI listing reaches neither the folders it names with "?" nor
    // paths longer than MAX_PATH: what they hold is checked here and taken
    // out, as that listing leaves them.
    uint32_t files = 0, folders = 1;  // the folder d, taken out below
    FolderRecord* named = Subfolder(file.root, "Names");
    ASSERT_NE(named, nullptr);
    std::multiset<std::string> wanted, got;
    for (const auto& n : kNamed)
        wanted.insert(n.recorded);
    for (FolderRecord& folder : named->folders)
        got.insert(TakeFiles(folder, files));
    EXPECT_EQ(got, wanted);
    FolderRecord* longFolder = Subfolder(file.root, "Deep");
    for (char c : {'a', 'b', 'c'})
        longFolder = longFolder ? Subfolder(*longFolder, std::string(100, c)) : nullptr;
    ASSERT_TRUE(longFolder && longFolder->folders.size() == 1);
    EXPECT_EQ(TakeFiles(longFolder->folders[0], files), std::string(100, 'd') + ": bottom.txt 13");
    longFolder->folders.clear();

    std::vector<std::string> notEntered = {s_loopLink, s_ringLinks[0], s_ringLinks[1], s_outsideLoop};
    FolderRecord expected = ListTree(s_root, s_root, notEntered);
    ExpectSameTree(expected, file.root, s_root);

    Totals(expected, files, folders);
    EXPECT_EQ(file.folderCount, folders);
    EXPECT_EQ(snap.FilesFound(), files);
    EXPECT_EQ(snap.FoldersIgnored(), 4u);

    // The sparse file of 5,000,000,000 bytes is recorded modulo 2^32.
    const FolderRecord* big = Subfolder(file.root, "Big");
    ASSERT_NE(big, nullptr);
    ASSERT_EQ(big->files.size(), 1u);
    EXPECT_EQ(big->files[0].size, 705032704u);

    // Loaded again, the names the code page cannot hold and the whole size
    // come back from the appendix, and nothing else is in it.
    CRecordingMessages loadMessages;
    CFSMine mine(loadMessages);
    const CCompareNode* names = LoadedNode(mine, bytes, {s_root, "Names"});
    ASSERT_NE(names, nullptr);
    std::multiset<std::u16string> held, heldWanted;
    for (const CCompareNode* folder : names->Nodes())
        for (const CCompareItem* item : folder->Items())
            held.insert(SystemName(folder->GetStoredName()) + u"\\" + SystemName(item->GetStoredName()));
    for (const auto& n : kNamed)
        heldWanted.insert(std::u16string(ExactUnits(n.folder, std::wcslen(n.folder))) + u"\\" +
                          std::u16string(ExactUnits(n.file, std::wcslen(n.file))));
    EXPECT_EQ(held, heldWanted);
    const CCompareNode* loadedBig = LoadedNode(mine, bytes, {s_root, "Big"});
    ASSERT_NE(loadedBig, nullptr);
    EXPECT_EQ(static_cast<const CFSFile*>(*loadedBig->Items().begin())->GetWholeSize(), 5000000000ull);
    // Two names for each of the three folders, but other.txt, which the
    // code page holds; one size.
    EXPECT_EQ(appendix.exact.names.size(), 5u);
    EXPECT_EQ(appendix.exact.sizes.size(), 1u);

    char head[400];
    std::snprintf(head, sizeof head,
                  "OPERATION SUCCESSFUL.\r\n\r\n%u files found\r\n%u directories found\r\n"
                  "4 directories ignored\r\n\r\nThe following directories could not be "
                  "accessed and contents were ignored:\r\n",
                  files, folders);
    ASSERT_EQ(snap.results.size(), 1u);
    EXPECT_EQ(snap.results[0], head + IgnoredInWalkOrder(expected, s_root, notEntered));
    EXPECT_NE(snap.results[0].find("\r\n" + s_loopLink), std::string::npos);
    // A link is walked like a folder until it closes a loop: Ring1\hop shows
    // Ring2's contents, whose own link leads back to Ring1.
    const FolderRecord* echo = Subfolder(file.root, "Echo");
    for (int level = 0; level < 3 && echo; ++level)
        echo = Subfolder(*echo, "echo");
    ASSERT_NE(echo, nullptr);
    const FolderRecord* ring1 = Subfolder(file.root, "Ring1");
    ASSERT_NE(ring1, nullptr);
    ASSERT_EQ(ring1->folders.size(), 1u);
    EXPECT_EQ(ring1->folders[0].name, "hop");
    ASSERT_EQ(ring1->folders[0].folders.size(), 1u);
    EXPECT_EQ(ring1->folders[0].folders[0].name, "hop");
    EXPECT_TRUE(ring1->folders[0].folders[0].folders.empty());
    EXPECT_TRUE(ring1->folders[0].folders[0].files.empty());

    EXPECT_EQ(progress.title, "Creating snap shot of file system...");
    EXPECT_EQ(progress.percent, 100.0f);
    ASSERT_FALSE(progress.events.empty());
    EXPECT_EQ(progress.events.back(), "refresh wait");
    ::DeleteFileA(path.c_str());
}

TEST_F(FSSnapDrive, StatusShowsEachFolderAfterTheSetupTexts)
{
    std::string path = TempPath("corvane-status.tvrec");
    CRecordingMessages messages;
    CRecordingProgress progress;
    CRecordedFSSnap snap(path, s_drive, nullptr, &progress, &messages);
    snap.Run();
    ASSERT_GE(progress.events.size(), 5u);
    EXPECT_EQ(progress.events[0], "title Creating snap shot of file system...");
    EXPECT_EQ(progress.events[1], "status Creating snap shot file...");
    EXPECT_EQ(progress.events[2], "status Initializing snap shot...");
    EXPECT_EQ(progress.events[3], "status " + s_root);
    EXPECT_NE(std::find(progress.events.begin(), progress.events.end(),
                        "status " + s_root + "\\Program Files\\Pellix App\\bin"),
              progress.events.end());
    ::DeleteFileA(path.c_str());
}

TEST_F(FSSnapDrive, AnsweringNoWritesNothingAndShowsNothing)
{
    std::string path = TempPath("corvane-declined.tvrec");
    ::DeleteFileA(path.c_str());
    CRecordingMessages messages;
    messages.answers = {MsgAnswer::No};
    CRecordingProgress progress;
    CRecordedFSSnap snap(path, s_drive, nullptr, &progress, &messages);
    snap.Run();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kFSSnapQuestion});
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(snap.results.empty());
    EXPECT_TRUE(progress.events.empty());
}

TEST_F(FSSnapDrive, AFileThatCannotBeCreatedShowsTheErrorAndNoResults)
{
    std::string path = s_root + "\\No Such Folder\\snap.tvrec";
    CRecordingMessages messages;
    CRecordingProgress progress;
    CRecordedFSSnap snap(path, s_drive, nullptr, &progress, &messages);
    snap.Run();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "ERROR: Could not create snap shot file.");
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(snap.results.empty());
    EXPECT_FALSE(FileExists(path));
}

TEST_F(FSSnapDrive, AFullDiskIsReportedAndNoResultsAreShown)
{
    // Z: is the host's root: /dev/full accepts the file and refuses every write.
    CRecordingMessages messages;
    CRecordingProgress progress;
    CRecordedFSSnap snap("Z:\\dev\\full", s_drive, nullptr, &progress, &messages);
    snap.Run();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, kFSSnapWriteError);
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(snap.results.empty());
    EXPECT_NE(progress.percent, 100.0f);
}

TEST_F(FSSnapDrive, TheRealQuestionAndResultsDialogAnsweredAsAPersonWould)
{
    std::string path = TempPath("corvane-real.tvrec");
    CRecordingProgress progress;
    CFSSnap snap(path, s_drive, nullptr, &progress);  // application-wide message boxes
    CDialogDriver question, results;
    question.Answer("Corvane", IDYES);
    results.Answer("Results", IDCANCEL, 60000);
    snap.Run();
    const auto& asked = question.Join();
    const auto& shown = results.Join();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].MessageText(), kFSSnapQuestion);
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].edits.size(), 1u);
    EXPECT_EQ(shown[0].edits[0].rfind("OPERATION SUCCESSFUL.\r\n\r\n", 0), 0u);
    EXPECT_NE(shown[0].edits[0].find("\r\n4 directories ignored\r\n"), std::string::npos);
    FSSnapFile file;
    std::string why;
    ASSERT_TRUE(ParseFSSnap(ReadWholeFile(path), file, why)) << why;
    EXPECT_EQ(file.version, 174);
    ::DeleteFileA(path.c_str());
}

}  // namespace
