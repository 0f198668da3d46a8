#include "snapshot/FSSnap.h"

#include "framework/FileFind.h"
#include "framework/Handle.h"
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

namespace {

// Thrown when a write to the snapshot file failed; the walk stops at once.
struct WriteFailed {};

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

    CFSSnapWriter writer(file);
    bool written = false;
    {
        CCurrentFolderKeeper keeper;
        try {
            writer.WriteHeader(m_cDrive);
            WalkFolder(writer, FSRootName(m_cDrive));
            written = writer.Finish(m_nFoldersFound);
        } catch (const WriteFailed&) {
            written = false;
        }
    }
    file.Close();
    if (!written) {
        // The version word was never written, so the partial file is refused
        // by every reader.
        m_messages.Error(kFSSnapWriteError);
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

// A folder link (junction or symbolic link) is descended into like a folder.
// One that leads back to a folder on the chain being walked would make the
// walk endless: it is recorded like a folder that cannot be opened (zero
// counts, listed as ignored), so every real folder is still walked. Only a
// link can close such a loop, so identities (volume and file index) are looked
// up only when a link is met: a drive without links costs nothing extra. A
// loop through links that lead elsewhere first is caught when the walk meets
// the same link a second time, its identity then being on the chain.
bool CFSSnap::LeadsToAncestor(const std::string& path)
{
    FolderId id;
    if (!GetFolderId(path, id))
        return false;
    for (ChainEntry& entry : m_chain) {
        if (!entry.looked) {
            entry.looked = true;
            entry.known = GetFolderId(*entry.path, entry.id);
        }
        if (entry.known && entry.id == id)
            return true;
    }
    return false;
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

void CFSSnap::WalkFolder(CFSSnapWriter& file, const std::string& path, bool isLink)
{
    ++m_nFoldersFound;
    std::string name = LastComponent(path);
    m_pProgress->SetStatusText(path.c_str());

    uint64_t countsOffset = file.BeginFolder(name.data(), name.size());
    CheckWrites(file);

    // "X:" alone names the drive's current folder, not its root.
    std::string current = path.find('\\') == std::string::npos ? path + "\\" : path;
    if (!::SetCurrentDirectoryA(current.c_str())) {
        AddIgnored(path);
        return;
    }
    if (isLink && LeadsToAncestor(current)) {
        AddIgnored(path);
        return;
    }

    uint32_t subfolderCount = 0, fileCount = 0;
    std::vector<std::pair<std::string, bool>> subfolders;  // path, is a folder link
    CFileFind finder;
    std::string pattern = path + "\\*";
    for (bool more = finder.FindFirst(pattern.c_str()); more; more = finder.FindNext()) {
        if (finder.IsDots())
            continue;
        const char* entry = finder.GetFileName();
        if (finder.IsDirectory()) {
            bool link = (finder.Data().dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            subfolders.emplace_back(path + "\\" + entry, link);
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

    m_chain.push_back(ChainEntry{&current});
    for (const auto& subfolder : subfolders)
        WalkFolder(file, subfolder.first, subfolder.second);
    m_chain.pop_back();

    file.EndFolder(countsOffset, subfolderCount, fileCount);
    CheckWrites(file);
}
