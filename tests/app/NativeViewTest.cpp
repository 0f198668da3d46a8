// The 32-bit program on 64-bit Windows, in Wine's 64-bit prefix, where it
// runs under the same redirection: snapshots record the native file system
// and registry, a snapshot of the prefix's C: ends although its user folders
// lead to a home folder that leads back into the prefix, and the rest of the
// program (the setup dialog's proposal and its Save As dialog) keeps the
// ordinary view while and after a walk runs; and, marked large-address-aware,
// it has 4 GB of address space there.
#include "app/SnapshotSetupDlg.h"
#include "framework/Wow64.h"
#include "res/resource.h"
#include "snapshot/FSSnap.h"
#include "snapshot/RegSnap.h"
#include "tests/app/DialogSteps.h"
#include "tests/snapshot/FSSnapTesting.h"
#include "tests/snapshot/RegSnapTesting.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/Recorders.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

namespace {

std::string Environment(const char* name)
{
    char value[MAX_PATH];
    DWORD n = ::GetEnvironmentVariableA(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

// A folder of the prefix's drive_c as the host holds it, through drive Z:,
// where no redirection applies.
std::string HostFolder(const std::string& below)
{
    std::string path = "Z:" + Environment("WINEPREFIX") + "\\drive_c\\" + below;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The files of a folder with their sizes (low 32 bits, as a snapshot holds them).
std::map<std::string, uint32_t> FileSizes(const std::string& folder)
{
    std::map<std::string, uint32_t> sizes;
    WIN32_FIND_DATAA found;
    HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return sizes;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            sizes[found.cFileName] = found.nFileSizeLow;
    } while (::FindNextFileA(h, &found));
    ::FindClose(h);
    return sizes;
}

std::map<std::string, uint32_t> FileSizes(const FolderRecord& folder)
{
    std::map<std::string, uint32_t> sizes;
    for (const FileRecord& f : folder.files)
        sizes[f.name] = f.size;
    return sizes;
}

const FolderRecord* FindFolder(const FolderRecord& root, const std::vector<std::string>& names)
{
    const FolderRecord* folder = &root;
    for (const std::string& name : names) {
        const FolderRecord* next = nullptr;
        for (const FolderRecord& sub : folder->folders)
            if (_stricmp(sub.name.c_str(), name.c_str()) == 0)
                next = &sub;
        if (!next)
            return nullptr;
        folder = next;
    }
    return folder;
}

const RegKeyRecord* FindKey(const RegKeyRecord& root, const std::vector<std::string>& names)
{
    const RegKeyRecord* key = &root;
    for (const std::string& name : names) {
        const RegKeyRecord* next = nullptr;
        for (const RegKeyRecord& sub : key->subkeys)
            if (_stricmp(sub.name.c_str(), name.c_str()) == 0)
                next = &sub;
        if (!next)
            return nullptr;
        key = next;
    }
    return key;
}

size_t CountKeysNamed(const RegKeyRecord& key, const std::string& name)
{
    size_t n = _stricmp(key.name.c_str(), name.c_str()) == 0 ? 1 : 0;
    for (const RegKeyRecord& sub : key.subkeys)
        n += CountKeysNamed(sub, name);
    return n;
}

class NativeView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(IsWow64()) << "run in Wine's 64-bit prefix (CORVANE_WINE64=1 scripts/wine-run)";
        ::DeleteFileA(path.c_str());
    }
    void TearDown() override { ::DeleteFileA(path.c_str()); }

    // Outside drive C:, so the walk does not meet its own file.
    std::string path = "Z:\\tmp\\corvane-native-view.tvrec";
    CRecordingMessages messages;
    CRecordingProgress progress;
};

TEST_F(NativeView, TheSystemDriveIsRecordedAsItIsWithTheUserFoldersLinkedInPlace)
{
    std::string profile = Environment("USERPROFILE");  // C:\users\<name>
    ASSERT_EQ(profile.rfind("C:\\users\\", 0), 0u) << profile;
    // The prefix's user folders lead to its home folder, which leads back
    // to the prefix's drive_c: a loop that no entry marks as a link.
    ASSERT_TRUE(FileExists(profile + "\\Desktop\\Prefix drive\\windows\\system32\\kernel32.dll"));

    CRecordedFSSnap snap(path, 'C', nullptr, &progress, &messages);
    snap.Run();
    ASSERT_EQ(messages.shown.size(), 1u) << messages.shown.back().text;
    ASSERT_EQ(snap.results.size(), 1u);
    FSSnapFile file;
    std::string why;
    ASSERT_TRUE(ParseFSSnap(ReadWholeFile(path), file, why)) << why;
    EXPECT_EQ(file.version, 174);

    // System32 holds the 64-bit files, SysWOW64 the 32-bit ones: the two
    // kernel32.dll differ in size, and each folder equals the host's.
    const FolderRecord* system32 = FindFolder(file.root, {"windows", "system32"});
    const FolderRecord* syswow64 = FindFolder(file.root, {"windows", "syswow64"});
    ASSERT_NE(system32, nullptr);
    ASSERT_NE(syswow64, nullptr);
    std::map<std::string, uint32_t> host64 = FileSizes(HostFolder("windows\\system32"));
    std::map<std::string, uint32_t> host32 = FileSizes(HostFolder("windows\\syswow64"));
    ASSERT_TRUE(host64.count("kernel32.dll") && host32.count("kernel32.dll"));
    ASSERT_NE(host64["kernel32.dll"], host32["kernel32.dll"]);
    EXPECT_TRUE(FileSizes(*system32) == host64) << system32->files.size() << " files recorded, "
                                                 << host64.size() << " on the host";
    EXPECT_TRUE(FileSizes(*syswow64) == host32) << syswow64->files.size() << " files recorded, "
                                                  << host32.size() << " on the host";

    // Each user folder shows the home folder once; its way back into the
    // prefix is recorded like a folder that cannot be entered.
    std::string user = profile.substr(9);
    const FolderRecord* desktop = FindFolder(file.root, {"users", user, "Desktop"});
    ASSERT_NE(desktop, nullptr);
    const FolderRecord* loop = FindFolder(*desktop, {"Prefix drive"});
    ASSERT_NE(loop, nullptr);
    EXPECT_TRUE(loop->files.empty() && loop->folders.empty());
    EXPECT_NE(snap.IgnoredList().find("\n" + profile + "\\Desktop\\Prefix drive"), std::string::npos)
        << snap.IgnoredList();
    const FolderRecord* music = FindFolder(file.root, {"users", user, "Music"});
    ASSERT_NE(music, nullptr);
    ASSERT_EQ(music->files.size(), 1u);
    EXPECT_EQ(music->files[0].name, "song.txt");
    // The walk never went into the prefix a second time.
    EXPECT_EQ(FindFolder(*desktop, {"Prefix drive", "windows"}), nullptr);
    EXPECT_LT(snap.FoldersFound(), 2000u);
}

TEST_F(NativeView, AChosenFolderIsFoundWhereTheWalkFindsIt)
{
    CChosenPlaces places;  // System32\drivers has no counterpart in SysWOW64
    ASSERT_EQ(ChooseFolder(L"c:\\WINDOWS\\system32\\drivers", places), "");
    EXPECT_EQ(places.Paths(), std::vector<std::string>{"C:\\windows\\system32\\drivers"});
}

// Blocks the walk when it reaches the given folder until released.
class CHoldingProgress : public CRecordingProgress {
public:
    explicit CHoldingProgress(const std::string& folder) : m_folder(folder) {}
    ~CHoldingProgress() override
    {
        ::CloseHandle(m_reached);
        ::CloseHandle(m_release);
    }
    void SetStatusText(const char* text) override
    {
        CRecordingProgress::SetStatusText(text);
        if (m_folder == text) {
            ::SetEvent(m_reached);
            ::WaitForSingleObject(m_release, kPatienceMs);
        }
    }
    bool WaitReached() { return ::WaitForSingleObject(m_reached, kPatienceMs) == WAIT_OBJECT_0; }
    void Release() { ::SetEvent(m_release); }

private:
    std::string m_folder;
    HANDLE m_reached = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

// What a person does in the setup dialog: reads the proposed name, browses
// for another in the Save As dialog, and cancels. Returns the path Save As
// put in the dialog, empty when it did not appear.
struct SetupSeen {
    std::string proposed, browsed;
};

SetupSeen UseTheSetupDialog(const std::string& chosen)
{
    SetupSeen seen;
    CSnapshotSetupDlg dialog;
    CDialogSteps steps("Snap Shot Setup", [&](HWND h) {
        Click(h, IDC_SETUP_FILESYSTEM);
        seen.proposed = GetText(h, IDC_SETUP_PATH);
        PressButton(h, IDC_SETUP_BROWSE);
        HWND saveAs = WaitForDialog("Save As");
        if (saveAs) {
            SetText(saveAs, 1148, chosen);  // the file name box
            PressButton(saveAs, IDOK);
            WaitGone(saveAs);
            seen.browsed = GetText(h, IDC_SETUP_PATH);
        }
        PressButton(h, IDCANCEL);
    });
    dialog.DoModal();
    steps.Join();
    return seen;
}

TEST_F(NativeView, TheSetupDialogProposesAndBrowsesWhileAndAfterAWalkRuns)
{
    // The program's own thread keeps the ordinary view throughout.
    std::string kernel32 = "C:\\windows\\system32\\kernel32.dll";
    uint32_t size32 = FileSizes(HostFolder("windows\\syswow64"))["kernel32.dll"];
    uint32_t size64 = FileSizes(HostFolder("windows\\system32"))["kernel32.dll"];
    ASSERT_NE(size32, size64);
    auto seenHere = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        return ::GetFileAttributesExA(kernel32.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
    };

    CHoldingProgress holding("C:\\windows\\system32");
    CRecordedFSSnap snap(path, 'C', nullptr, &holding, &messages);
    std::thread worker([&] { snap.Run(); });
    ASSERT_TRUE(holding.WaitReached());
    uint32_t during = seenHere();
    SetupSeen whileWalking = UseTheSetupDialog("C:\\users\\Public\\during walk.tvrec");
    holding.Release();
    worker.join();
    SetupSeen afterwards = UseTheSetupDialog("C:\\users\\Public\\after walk.tvrec");

    EXPECT_EQ(during, size32);
    EXPECT_EQ(seenHere(), size32);
    for (const SetupSeen* seen : {&whileWalking, &afterwards}) {
        EXPECT_EQ(seen->proposed.rfind(":\\FileSystem ", 1), 1u) << seen->proposed;
        EXPECT_EQ(seen->proposed.substr(seen->proposed.size() - 6), ".tvrec");
    }
    EXPECT_EQ(whileWalking.browsed, "C:\\users\\Public\\during walk.tvrec");
    EXPECT_EQ(afterwards.browsed, "C:\\users\\Public\\after walk.tvrec");
    ASSERT_EQ(snap.results.size(), 1u);
    // The walk itself saw the 64-bit files while it was held.
    FSSnapFile file;
    std::string why;
    ASSERT_TRUE(ParseFSSnap(ReadWholeFile(path), file, why)) << why;
    const FolderRecord* system32 = FindFolder(file.root, {"windows", "system32"});
    ASSERT_NE(system32, nullptr);
    EXPECT_EQ(FileSizes(*system32)["kernel32.dll"], size64);
}

class NativeRegistryView : public NativeView {
protected:
    void SetUp() override
    {
        NativeView::SetUp();
        RemoveKeys();
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY key;
            const char* name = view == KEY_WOW64_64KEY ? k64 : k32;
            ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string("Software\\") + name).c_str(),
                                        0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            ::RegSetValueExA(key, "view", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                             static_cast<DWORD>(std::strlen(name) + 1));
            ::RegCloseKey(key);
        }
    }
    void TearDown() override
    {
        RemoveKeys();
        NativeView::TearDown();
    }
    static void RemoveKeys()
    {
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, (std::string("Software\\") + k64).c_str(), KEY_WOW64_64KEY, 0);
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, (std::string("Software\\") + k32).c_str(), KEY_WOW64_32KEY, 0);
    }
    RegSnapFile Snapshot(IRegistry* registry)
    {
        CRecordedRegSnap snap(path, nullptr, &progress, FALSE, &messages, registry);
        snap.Run();
        EXPECT_EQ(snap.results.size(), 1u);
        return ReadRegSnap(path);
    }

    static constexpr const char* k64 = "Corvane Native 64";
    static constexpr const char* k32 = "Corvane Native 32";
};

TEST_F(NativeRegistryView, EachKeyIsRecordedOnceWhereItIs)
{
    RegSnapFile file = Snapshot(nullptr);
    ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
    const RegKeyRecord& machine = file.roots[0];
    const RegKeyRecord* native = FindKey(machine, {"Software", k64});
    ASSERT_NE(native, nullptr);
    ASSERT_EQ(native->values.size(), 1u);
    EXPECT_EQ(native->values[0].name, "view");
    EXPECT_NE(FindKey(machine, {"Software", "Wow6432Node", k32}), nullptr);
    EXPECT_EQ(FindKey(machine, {"Software", k32}), nullptr);
    EXPECT_EQ(FindKey(machine, {"Software", "Wow6432Node", k64}), nullptr);
    EXPECT_EQ(CountKeysNamed(machine, k32), 1u);
    EXPECT_EQ(CountKeysNamed(machine, k64), 1u);
}

TEST_F(NativeRegistryView, ThePlainViewWouldHaveHiddenTheNativeKey)
{
    // What the walk recorded before it asked for the 64-bit view: Software
    // showed Wow6432Node's contents, so the 64-bit key was not there at all.
    CPlainViewRegistry plain;
    RegSnapFile file = Snapshot(&plain);
    const RegKeyRecord& machine = file.roots[0];
    EXPECT_EQ(CountKeysNamed(machine, k64), 0u);
    EXPECT_NE(FindKey(machine, {"Software", k32}), nullptr);
}

}  // namespace

namespace {

// The programs of this build are linked as the shipped ones are, so this
// process has the address space the program has.
TEST(NativeAddressSpace, MoreThanTwoGigabytesCanBeReserved)
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(::GlobalMemoryStatusEx(&status));
    EXPECT_GT(status.ullTotalVirtual, 3ull << 30);

    // Reserved only, never committed: it costs no memory.
    const SIZE_T piece = 64u << 20;
    std::vector<void*> reserved;
    bool aboveTwoGigabytes = false;
    while (reserved.size() * piece < (5ull << 29)) {
        void* p = ::VirtualAlloc(nullptr, piece, MEM_RESERVE, PAGE_NOACCESS);
        if (!p)
            break;
        reserved.push_back(p);
        aboveTwoGigabytes |= reinterpret_cast<uintptr_t>(p) >= 0x80000000u;
    }
    uint64_t total = reserved.size() * static_cast<uint64_t>(piece);
    for (void* p : reserved)
        ::VirtualFree(p, 0, MEM_RELEASE);
    EXPECT_GE(total, 5ull << 29);
    EXPECT_TRUE(aboveTwoGigabytes);
}

}  // namespace
