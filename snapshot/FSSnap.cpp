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
std::string FSSnapDriveError(char driveLetter)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "ERROR: Drive %c: is not available.\n\n"
                  "The snap shot is incomplete and cannot be used.",
                  driveLetter);
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

// The names a folder lists, hashed (FNV-1a), folders told from files.
constexpr uint64_t kNamesHashStart = 14695981039346656037ull;

uint64_t HashName(uint64_t hash, const char* name, bool folder)
{
    for (const char* c = name; *c; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 1099511628211ull;
    return (hash ^ (folder ? 1u : 2u)) * 1099511628211ull;
}

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
// a symbolic link, a mount point, or a host's link seen through Wine, be it
// marked as a link or not) would make the walk endless: it is recorded like a
// folder that cannot be entered (zero counts, listed as ignored), so every
// real folder is still walked. Such a folder lists exactly what its ancestor
// listed, so identities (volume and file index) are looked up only for a
// folder whose listed names equal an ancestor's: a drive without loops costs
// next to nothing extra. A folder that changed between the two listings is
// caught one level further down, where the loop repeats. A loop through
// folders that lead elsewhere first is caught when the walk meets the same
// folder a second time, its identity then being on the chain.
bool CFSSnap::LeadsBack(ChainEntry& folder)
{
    for (ChainEntry& entry : m_chain) {
        if (entry.entries != folder.entries || entry.names != folder.names)
            continue;
        if (Identify(folder) && Identify(entry) && entry.id == folder.id)
            return true;
    }
    return false;
}

bool CFSSnap::Identify(ChainEntry& folder)
{
    if (!folder.looked) {
        folder.looked = true;
        folder.known = GetFolderId(*folder.path, folder.id);
    }
    return folder.known;
}

bool CFSSnap::DriveStillThere() const
{
    char root[4] = {m_cDrive, ':', '\\', 0};
    if (!m_bRootKnown)
        return ::GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES;
    FolderId id;
    return GetFolderId(root, id) && id == m_rootId;
}

bool CFSSnap::GetFolderId(const std::string& path, FolderId& id)
{
    CHandle folder(::CreateFileA(path.c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder.IsOpen() || !::GetFileInformationByHandle(folder.Get(), &info))
        return false;
    id = FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
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
    if (m_chain.empty())
        m_bRootKnown = GetFolderId(current, m_rootId);

    // The whole listing comes first: whether the folder leads back is told
    // from it, and a folder that does is recorded with nothing in it.
    ChainEntry self;
    self.path = &current;
    self.names = kNamesHashStart;
    std::vector<std::string> subfolders;
    m_files.clear();
    CFileFind finder;
    std::string pattern = path + "\\*";
    for (bool more = finder.FindFirst(pattern.c_str()); more; more = finder.FindNext()) {
        if (finder.IsDots())
            continue;
        const char* entry = finder.GetFileName();
        bool folder = finder.IsDirectory();
        self.names = HashName(self.names, entry, folder);
        ++self.entries;
        if (folder)
            subfolders.push_back(path + "\\" + entry);
        else
            m_files.push_back(ListedFile{entry, finder.GetCreationTime(), finder.GetLastWriteTime(),
                                         finder.GetLengthLow()});
    }
    finder.Close();
    if (!m_chain.empty() && LeadsBack(self)) {
        AddIgnored(path);
        return;
    }

    const uint32_t subfolderCount = static_cast<uint32_t>(subfolders.size());
    const uint32_t fileCount = static_cast<uint32_t>(m_files.size());
    for (const ListedFile& f : m_files) {
        file.WriteFile(f.name.data(), f.name.size(), f.creationTime, f.lastWriteTime, f.sizeLow);
        ++m_nFilesFound;
        float percent;
        if (m_meter.AddFile(f.sizeLow, percent))
            m_pProgress->SetPercent(percent);
    }
    CheckWrites(file);

    m_chain.push_back(self);
    for (const std::string& subfolder : subfolders)
        WalkFolder(file, subfolder);
    m_chain.pop_back();

    file.EndFolder(countsOffset, subfolderCount, fileCount);
    CheckWrites(file);
}
