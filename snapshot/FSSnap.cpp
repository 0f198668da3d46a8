#include "snapshot/FSSnap.h"

#include "framework/FileFind.h"
#include "framework/Handle.h"
#include "framework/Wow64.h"
#include "operation/AppMessages.h"
#include "operation/DiskSnapFile.h"
#include "snapshot/ResultsDlg.h"
#include "snapshot/ResultsText.h"

#include <mbstring.h>

#include <algorithm>
#include <cstdio>

const char* const kFSSnapQuestion =
    "Corvane will now create a snap shot of the selected file system.\n"
    "This may take several seconds or minutes, depending on the speed of your disk.\n\n"
    "Note - It is highly recommended that you do not perform any other tasks and close all\n"
    "other programs during this operation.\n\nContinue?";
const char* const kFSSnapCreateError = "ERROR: Could not create snap shot file.";
const char* const kFSSnapWriteError =
    "ERROR: Could not write snap shot file. The disk may be full.\n\n"
    "The snap shot is incomplete and cannot be used.";
const char* const kFSSnapDriveErrorFormat =
    "ERROR: Drive %c: is not available.\n\n"
    "The snap shot is incomplete and cannot be used.";

std::string FSSnapDriveError(char driveLetter)
{
    char text[160];
    std::snprintf(text, sizeof text, kFSSnapDriveErrorFormat, driveLetter);
    return text;
}

namespace {

// Thrown when a write to the snapshot file failed; the walk stops at once.
struct WriteFailed {};
// Thrown when the drive's root cannot be entered: the drive is not there, or
// no longer. What was walked is not the drive, so the walk stops at once.
struct DriveGone {};

// The text after the last backslash, searched character by character so that
// the second byte of a double-byte character is never taken for a backslash.
std::string LastComponent(const std::string& path)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(path.c_str());
    const unsigned char* slash = _mbsrchr(p, '\\');
    return slash ? path.substr(static_cast<size_t>(slash - p) + 1) : path;
}

// The walk tests access to each folder by making it the process's current
// folder. Afterwards the process must not hold the last walked folder open (it
// could not be deleted, its drive not ejected), nor resolve relative names
// there: the folder that was current before the walk becomes current again.
class CCurrentFolderKeeper {
public:
    CCurrentFolderKeeper()
    {
        DWORD n = ::GetCurrentDirectoryA(0, nullptr);
        if (n == 0)
            return;
        m_strFolder.resize(n);
        DWORD got = ::GetCurrentDirectoryA(n, &m_strFolder[0]);
        m_strFolder.resize(got < n ? got : 0);
    }
    ~CCurrentFolderKeeper()
    {
        if (!m_strFolder.empty())
            ::SetCurrentDirectoryA(m_strFolder.c_str());
    }
    CCurrentFolderKeeper(const CCurrentFolderKeeper&) = delete;
    CCurrentFolderKeeper& operator=(const CCurrentFolderKeeper&) = delete;

private:
    std::string m_strFolder;
};

}  // namespace

CFSSnap::CFSSnap(const std::string& path, char driveLetter, CWnd* owner, IProgress* progress,
                 IUserMessages* messages)
    : m_pProgress(progress), m_strPath(path), m_cDrive(driveLetter), m_pOwner(owner),
      m_messages(messages ? *messages : AppMessages())
{
}

void CFSSnap::Run()
{
    if (!m_messages.AskYesNo(kFSSnapQuestion))
        return;

    char root[4] = {m_cDrive, ':', '\\', 0};
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    float used = UnknownUsedGigaunits();
    if (::GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                            &totalClusters))
        used = UsedGigaunits(sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
    m_meter = CFSProgressMeter(used);

    m_pProgress->SetTitleText("Creating snap shot of file system...");
    m_pProgress->SetStatusText("Creating snap shot file...");

    CDiskSnapFile file;
    if (!file.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite)) {
        m_messages.Error(kFSSnapCreateError);
        return;
    }

    m_pProgress->SetStatusText("Initializing snap shot...");
    m_nFilesFound = m_nFoldersFound = m_nFoldersIgnored = 0;
    m_strIgnored.clear();
    m_chain.clear();
    m_bRootKnown = false;

    CFSSnapWriter writer(file);
    const char* failure = nullptr;
    std::string driveError;
    {
        CCurrentFolderKeeper keeper;
        // The walk sees the drive as it is: on 64-bit Windows, System32 with
        // its own files instead of those of SysWOW64. Only this thread, only
        // for the walk; the file was opened in the program's ordinary view.
        CFsRedirectionOff nativeView;
        try {
            writer.WriteHeader(m_cDrive);
            WalkFolder(writer, FSRootName(m_cDrive));
            if (!DriveStillThere())
                throw DriveGone();
            if (!writer.Finish(m_nFoldersFound))
                failure = kFSSnapWriteError;
        } catch (const WriteFailed&) {
            failure = kFSSnapWriteError;
        } catch (const DriveGone&) {
            // What was walked reaches the file, still with version 0 in front.
            writer.Flush();
            driveError = FSSnapDriveError(m_cDrive);
            failure = driveError.c_str();
        }
    }
    file.Close();
    if (failure) {
        // The version word was never written, so the partial file is refused
        // by every reader.
        m_messages.Error(failure);
        return;
    }

    m_pProgress->SetPercent(100);
    m_pProgress->Refresh(true);

    ShowResults(FSResultsText(m_nFilesFound, m_nFoldersFound, m_nFoldersIgnored, m_strIgnored));
}

void CFSSnap::ShowResults(const std::string& text)
{
    ShowSnapshotResults(text);
}

void CFSSnap::AddIgnored(const std::string& path)
{
    m_strIgnored += "\n";
    m_strIgnored += path;
    ++m_nFoldersIgnored;
}

void CFSSnap::CheckWrites(const CFSSnapWriter& file) const
{
    if (file.Failed())
        throw WriteFailed();
}

// A folder that leads back to a folder on the chain being walked (a junction,
// a symbolic link, or a host's link seen through Wine, which carries no
// reparse attribute) would make the walk endless: it is recorded like a folder
// that cannot be entered (zero counts, listed as ignored), so every real
// folder is still walked. Every folder's identity is taken as it is entered,
// so the test does not depend on what the listing says about the entry. A
// loop through links that lead elsewhere first is caught when the walk meets
// the same folder a second time, its identity then being on the chain.
bool CFSSnap::OnChain(ChainEntry& folder)
{
    for (ChainEntry& entry : m_chain)
        if (entry.known && entry.index == folder.index && SameVolume(entry, folder))
            return true;
    return false;
}

bool CFSSnap::SameVolume(ChainEntry& a, ChainEntry& b)
{
    for (ChainEntry* entry : {&a, &b}) {
        if (entry->volumeLooked)
            continue;
        entry->volumeLooked = true;
        FolderId id;
        entry->volumeKnown = GetFolderId(*entry->path, id);
        entry->volume = id.volume;
    }
    return a.volumeKnown && b.volumeKnown && a.volume == b.volume;
}

bool CFSSnap::DriveStillThere() const
{
    char root[4] = {m_cDrive, ':', '\\', 0};
    if (!m_bRootKnown)
        return ::GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES;
    FolderId id;
    return GetFolderId(root, id) && id == m_rootId;
}

namespace {

CHandle OpenFolder(const std::string& path)
{
    return CHandle(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// NtQueryInformationFile for FileInternalInformation: the file index alone.
// Under Wine it costs a fraction of GetFileInformationByHandle, which also
// asks for the volume; it is looked up at run time and missed gracefully.
using QueryInformationFile = LONG(WINAPI*)(HANDLE, void* ioStatus, void* info, ULONG length,
                                           int infoClass);
constexpr int kFileInternalInformation = 6;

QueryInformationFile InternalInformationQuery()
{
    static QueryInformationFile query = [] {
        HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        return ntdll ? reinterpret_cast<QueryInformationFile>(reinterpret_cast<void*>(
                           ::GetProcAddress(ntdll, "NtQueryInformationFile")))
                     : nullptr;
    }();
    return query;
}

}  // namespace

bool CFSSnap::GetFolderId(const std::string& path, FolderId& id)
{
    CHandle folder = OpenFolder(path);
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder.IsOpen() || !::GetFileInformationByHandle(folder.Get(), &info))
        return false;
    id = FolderId{info.dwVolumeSerialNumber,
                  (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

bool CFSSnap::GetFolderIndex(const std::string& path, uint64_t& index)
{
    QueryInformationFile query = InternalInformationQuery();
    if (!query) {
        FolderId id;
        if (!GetFolderId(path, id))
            return false;
        index = id.index;
        return true;
    }
    CHandle folder = OpenFolder(path);
    if (!folder.IsOpen())
        return false;
    ULONG_PTR ioStatus[2];
    LARGE_INTEGER internal;
    if (query(folder.Get(), ioStatus, &internal, sizeof internal, kFileInternalInformation) != 0)
        return false;
    index = static_cast<uint64_t>(internal.QuadPart);
    return true;
}

void CFSSnap::WalkFolder(CFSSnapWriter& file, const std::string& path)
{
    ++m_nFoldersFound;
    std::string name = LastComponent(path);
    m_pProgress->SetStatusText(path.c_str());

    uint64_t countsOffset = file.BeginFolder(name.data(), name.size());
    CheckWrites(file);

    // "X:" alone names the drive's current folder, not its root.
    std::string current = path.find('\\') == std::string::npos ? path + "\\" : path;
    if (!::SetCurrentDirectoryA(current.c_str())) {
        // A folder that cannot be entered is listed; a drive that cannot be
        // entered (at the start, or any more) ends the walk.
        if (m_chain.empty() || !DriveStillThere())
            throw DriveGone();
        AddIgnored(path);
        return;
    }
    ChainEntry self;
    self.path = &current;
    self.known = GetFolderIndex(current, self.index);
    if (m_chain.empty()) {
        m_bRootKnown = GetFolderId(current, m_rootId);
    } else if (self.known && OnChain(self)) {
        AddIgnored(path);
        return;
    }

    uint32_t subfolderCount = 0, fileCount = 0;
    std::vector<std::string> subfolders;
    CFileFind finder;
    std::string pattern = path + "\\*";
    for (bool more = finder.FindFirst(pattern.c_str()); more; more = finder.FindNext()) {
        if (finder.IsDots())
            continue;
        const char* entry = finder.GetFileName();
        if (finder.IsDirectory()) {
            subfolders.push_back(path + "\\" + entry);
            ++subfolderCount;
            continue;
        }
        file.WriteFile(entry, std::char_traits<char>::length(entry), finder.GetCreationTime(),
                       finder.GetLastWriteTime(), finder.GetLengthLow());
        ++fileCount;
        ++m_nFilesFound;
        float percent;
        if (m_meter.AddFile(finder.GetLengthLow(), percent))
            m_pProgress->SetPercent(percent);
    }
    finder.Close();
    CheckWrites(file);

    m_chain.push_back(self);
    for (const std::string& subfolder : subfolders)
        WalkFolder(file, subfolder);
    m_chain.pop_back();

    file.EndFolder(countsOffset, subfolderCount, fileCount);
    CheckWrites(file);
}
