#include "snapshot/FSSnap.h"

#include "compare/AnsiChars.h"
#include "framework/AnsiName.h"
#include "framework/FileFind.h"
#include "framework/Handle.h"
#include "framework/Wow64.h"
#include "operation/AppMessages.h"
#include "operation/DiskSnapFile.h"
#include "res/Version.h"
#include "snapshot/ResultsDlg.h"
#include "snapshot/ResultsText.h"
#include "snapshot/VolumeDisk.h"

#include <winternl.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <new>
#include <utility>

const char* const kFSSnapQuestion =
    "Corvane will now create a snap shot of the selected file system.\n"
    "This may take several seconds or minutes, depending on the speed of your disk.\n\n"
    "Note - It is highly recommended that you do not perform any other tasks and close all\n"
    "other programs during this operation.\n\nContinue?";
const char* const kFSSnapCreateError = "ERROR: Could not create snap shot file.";
const char* const kFSSnapWriteError =
    "ERROR: Could not write snap shot file. The disk may be full.\n\n"
    "The snap shot is incomplete and cannot be used.";
const char* const kTableNeedsRights = "reading it needs administrator rights";
const char* const kTableUnreadable = "the drive could not be read";
const char* const kTableNotUnderstood = "its structures are damaged or not understood";
const char* const kTableOtherVolume = "it is not the table of the drive's root";
const char* const kTableTooLarge = "it is larger than the memory left to hold it";
const char* const kFSSnapHashError =
    "ERROR: The system's SHA-256 hashing is not available, so file contents cannot be hashed.";
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

// The names a folder lists, hashed (FNV-1a), folders told from files.
constexpr uint64_t kNamesHashStart = 14695981039346656037ull;

uint64_t HashName(uint64_t hash, const char* name, bool folder)
{
    for (const char* c = name; *c; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 1099511628211ull;
    return (hash ^ (folder ? 1u : 2u)) * 1099511628211ull;
}

}  // namespace

CFSSnap::CFSSnap(const std::wstring& path, char driveLetter, CWnd* owner, IProgress* progress,
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

    m_pProgress->SetTitleText(m_bHash ? "Creating snap shot of file system and hashing file contents..."
                                      : "Creating snap shot of file system...");
    m_pProgress->SetStatusText("Creating snap shot file...");

    CDiskSnapFile file;
    if (!file.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite)) {
        m_messages.Error(kFSSnapCreateError);
        return;
    }

    m_pProgress->SetStatusText("Initializing snap shot...");
    m_nFilesFound = m_nFoldersFound = m_nFoldersIgnored = 0;
    m_strIgnored.clear();
    m_bRootKnown = false;
    std::unique_ptr<CFileHasher> hasher;
    if (m_bHash) {
        hasher = std::make_unique<CFileHasher>(m_hashLimit);
        if (!hasher->Start()) {
            file.Close();
            m_messages.Error(kFSSnapHashError);
            return;
        }
    }
    m_pHasher = hasher.get();
    struct ForgetHasher {
        CFileHasher*& hasher;
        ~ForgetHasher() { hasher = nullptr; }
    } forget{m_pHasher};

    m_nTableFolders = m_nListedFolders = 0;
    m_strTableNote.clear();
    if (m_places.Empty())
        ReadTable();
    struct ForgetTable {
        std::unique_ptr<CNtfsTable>& table;
        ~ForgetTable() { table.reset(); }
    } forgetTable{m_pTable};

    CFSSnapWriter writer(file);
    const char* failure = nullptr;
    std::string driveError;
    {
        // The walk sees the drive as it is: on 64-bit Windows, System32 with
        // its own files instead of those of SysWOW64. Only this thread, only
        // for the walk; the file was opened in the program's ordinary view.
        CFsRedirectionOff nativeView;
        try {
            writer.WriteHeader(m_cDrive);
            WalkDrive(writer);
            if (!DriveStillThere())
                throw DriveGone();
            CSnapAppendix appendix{true, ::GetACP(), m_strProgram, CORVANE_VERSION, m_places.PlacePaths(), {}};
            if (hasher) {
                appendix.exact.hashes = hasher->Finish();
                appendix.exact.hashed = true;
                appendix.exact.hashLimit = m_hashLimit;
            }
            writer.WriteAppendix(std::move(appendix));
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

    std::string results = FSResultsText(m_nFilesFound, m_nFoldersFound, m_nFoldersIgnored, m_strIgnored);
    // Further paragraphs, each after an empty line.
    bool listEnds = m_strIgnored.empty();  // the text ends with its list's heading and a line end
    auto addParagraph = [&](const std::string& paragraph) {
        results += (listEnds ? "\r\n" : "\r\n\r\n") + paragraph;
        listEnds = paragraph.size() >= 2 && paragraph.compare(paragraph.size() - 2, 2, "\r\n") == 0;
    };
    std::string way = TableResultsText();
    if (!way.empty())
        addParagraph(way);
    if (hasher)
        addParagraph(HashResultsText(hasher->Counts(), m_hashLimit, hasher->Unreadable()));
    if (!m_places.Empty())
        results = WithChosenPlaces(results, "Only the following directories and their contents were recorded:",
                                   m_places.Paths());
    ShowResults(results);
}

void CFSSnap::ShowResults(const std::string& text)
{
    ShowSnapshotResults(text);
}

void CFSSnap::AddIgnored(const std::string& path)
{
    m_strIgnored += "\n";
    AppendShownName(m_strIgnored, path);
    ++m_nFoldersIgnored;
}

void CFSSnap::HashFile(const ListedFile& listed)
{
    auto waiting = [this] {
        const DWORD now = ::GetTickCount();
        if (now - m_lastStatus >= 250)
            ShowFolderStatus();
    };
    m_pHasher->Add(m_widePath + L'\\' + listed.wideName, m_path + "\\" + listed.name, listed.size, listed.attributes,
                   waiting);
}

void CFSSnap::ShowFolderStatus()
{
    if (!m_pHasher) {
        m_pProgress->SetStatusText(m_path.c_str());
        return;
    }
    std::string status = m_path + " (hashing: " + HashedShare(m_pHasher->BytesRead(), m_pHasher->BytesListed()) + ")";
    m_pProgress->SetStatusText(status.c_str());
    m_lastStatus = ::GetTickCount();
}

void CFSSnap::CheckWrites(const CFSSnapWriter& file) const
{
    if (file.Failed())
        throw WriteFailed();
}

// A folder that leads back to a folder on the chain being walked (a junction,
// a symbolic link, a mount point, or a host's link seen through Wine, be it
// marked as a link or not) would make the walk endless: it is recorded like a
// folder that cannot be listed (zero counts, listed as ignored), so every
// real folder is still walked. Such a folder lists exactly what its ancestor
// listed, so identities (volume and file index) are looked up only for a
// folder whose listed names equal an ancestor's: a drive without loops costs
// next to nothing extra. A folder that changed between the two listings is
// caught one level further down, where the loop repeats. A loop through
// folders that lead elsewhere first is caught when the walk meets the same
// folder a second time, its identity then being on the chain.
bool CFSSnap::LeadsBack(ListingPrint& folder)
{
    for (Frame& ancestor : m_chain) {
        ListingPrint& entry = ancestor.print;
        if (entry.entries != folder.entries || entry.names != folder.names)
            continue;
        if (Identify(folder, m_widePath.size()) && Identify(entry, ancestor.widePathSize) &&
            entry.id == folder.id)
            return true;
    }
    return false;
}

// The folder whose wide path is the first widePathSize characters of the
// current one: the current folder, or one of its ancestors.
bool CFSSnap::Identify(ListingPrint& folder, size_t widePathSize) const
{
    if (!folder.looked) {
        folder.looked = true;
        std::wstring path = m_widePath.substr(0, widePathSize);
        if (widePathSize == m_chain.front().widePathSize)
            path += L'\\';  // \\?\X: alone names the volume, not its root folder
        folder.known = GetFolderId(path, folder.id);
    }
    return folder.known;
}

bool CFSSnap::DriveStillThere() const
{
    char root[4] = {m_cDrive, ':', '\\', 0};
    if (!m_bRootKnown)
        return ::GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES;
    FolderId id;
    return GetFolderId(std::wstring(root, root + 3), id) && id == m_rootId;
}

bool CFSSnap::GetFolderId(const std::wstring& path, FolderId& id)
{
    CHandle folder(::CreateFileW(path.c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder.IsOpen() || !::GetFileInformationByHandle(folder.Get(), &info))
        return false;
    id = FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

void CFSSnap::WalkDrive(CFSSnapWriter& file)
{
    m_chain.clear();
    m_path = FSRootName(m_cDrive);
    // The wide functions reach every folder by its real name, by a path of
    // any length the system allows: the \\?\ prefix takes it as it is.
    m_widePath = L"\\\\?\\";
    m_widePath += static_cast<wchar_t>(static_cast<unsigned char>(m_cDrive));
    m_widePath += L':';
    const SnapPlace* root = m_places.Empty() ? nullptr : &m_places.Roots().front();
    if (root && !root->chosen)
        PassFolder(file, *root);
    else
        EnterFolder(file, m_path);  // the root is listed, or the walk ends
    m_bRootKnown = GetFolderId(m_widePath + L'\\', m_rootId);

    while (!m_chain.empty()) {
        Frame& folder = m_chain.back();
        if (folder.next < folder.subfolders.size()) {
            Subfolder sub = std::move(folder.subfolders[folder.next++]);
            m_path.resize(folder.pathSize);
            (m_path += '\\') += sub.recorded;
            m_widePath.resize(folder.widePathSize);
            (m_widePath += L'\\') += sub.name;
            if (sub.place && !sub.place->chosen)
                PassFolder(file, *sub.place);
            else
                EnterFolder(file, sub.recorded, sub.exact ? nullptr : &sub.name, sub.mayLeaveVolume);
            continue;
        }
        file.EndFolder(folder.countsOffset, folder.subfolderCount, folder.fileCount);
        CheckWrites(file);
        m_chain.pop_back();
    }
}

CFSSnap::Frame CFSSnap::BeginFolder(CFSSnapWriter& file, const std::string& name, const std::wstring* exact)
{
    ++m_nFoldersFound;
    ShowFolderStatus();

    Frame self;
    self.countsOffset = file.BeginFolder(name.data(), name.size(), exact ? ExactUnits(*exact) : std::u16string_view());
    CheckWrites(file);
    self.pathSize = m_path.size();
    self.widePathSize = m_widePath.size();
    return self;
}

void CFSSnap::PassFolder(CFSSnapWriter& file, const SnapPlace& place)
{
    bool exact;
    AnsiName(place.name.data(), place.name.size(), exact);
    Frame self = BeginFolder(file, place.recorded, exact ? nullptr : &place.name);
    for (const SnapPlace& step : place.next)
        self.subfolders.push_back(Subfolder{step.name, step.recorded, &step});
    self.subfolderCount = static_cast<uint32_t>(self.subfolders.size());
    m_chain.push_back(std::move(self));
}

void CFSSnap::EnterFolder(CFSSnapWriter& file, const std::string& name, const std::wstring* exact,
                          bool mayLeaveVolume)
{
    Frame self = BeginFolder(file, name, exact);

    // The whole listing comes first: whether the folder leads back is told
    // from it, and a folder that does is recorded with nothing in it.
    self.print.names = kNamesHashStart;
    m_files.clear();
    bool listed = true;
    if (const std::vector<uint32_t>* entries = m_pTable ? TableListing(mayLeaveVolume, listed) : nullptr) {
        ++m_nTableFolders;
        for (uint32_t number : *entries) {
            const CNtfsEntry& entry = m_pTable->Entry(number);
            std::u16string_view entryName = m_pTable->Name(entry);
            AddListed(self, reinterpret_cast<const wchar_t*>(entryName.data()), entryName.size(), entry.IsFolder(),
                      entry.creationTime, entry.lastWriteTime, entry.size, entry.attributes, true);
        }
    } else if (listed) {
        if (m_pTable)
            ++m_nListedFolders;
        CFileFind finder;
        std::wstring pattern = m_widePath + L"\\*";
        for (bool more = finder.FindFirst(pattern.c_str()); more; more = finder.FindNext()) {
            if (finder.IsDots())
                continue;
            const wchar_t* entry = finder.GetFileName();
            AddListed(self, entry, std::wcslen(entry), finder.IsDirectory(), finder.GetCreationTime(),
                      finder.GetLastWriteTime(), finder.GetLength(), finder.GetAttributes(), false);
        }
        listed = finder.Listed();
    }
    if (!listed) {
        // A folder that cannot be listed is listed in the results; a drive
        // whose root cannot be listed (at the start, or any more) ends the walk.
        if (m_chain.empty() || !DriveStillThere())
            throw DriveGone();
        AddIgnored(m_path);
        return;
    }
    if (!m_chain.empty() && LeadsBack(self.print)) {
        AddIgnored(m_path);
        return;
    }

    self.subfolderCount = static_cast<uint32_t>(self.subfolders.size());
    self.fileCount = static_cast<uint32_t>(m_files.size());
    for (const ListedFile& f : m_files) {
        file.WriteFile(f.name.data(), f.name.size(), f.creationTime, f.lastWriteTime, f.size,
                       ExactUnits(f.exactName));
        ++m_nFilesFound;
        if (m_pHasher)
            HashFile(f);
        float percent;
        if (m_meter.AddFile(static_cast<uint32_t>(f.size), percent))
            m_pProgress->SetPercent(percent);
    }
    CheckWrites(file);
    m_chain.push_back(std::move(self));
}

void CFSSnap::AddListed(Frame& self, const wchar_t* entry, size_t length, bool folder, uint64_t creationTime,
                        uint64_t lastWriteTime, uint64_t size, DWORD attributes, bool fromTable)
{
    bool nameExact;
    std::string recorded = AnsiName(entry, length, nameExact);
    self.print.names = HashName(self.print.names, recorded.c_str(), folder);
    ++self.print.entries;
    if (folder)
        self.subfolders.push_back(Subfolder{std::wstring(entry, length), std::move(recorded), nullptr, nameExact,
                                            !fromTable || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    else
        m_files.push_back(ListedFile{std::move(recorded), nameExact ? std::wstring() : std::wstring(entry, length),
                                     creationTime, lastWriteTime, size, attributes,
                                     m_pHasher ? std::wstring(entry, length) : std::wstring()});
}

void CFSSnap::ReadTable()
{
    m_pTable.reset();
    CVolumeDisk disk;
    if (!disk.Open(m_cDrive)) {
        // Without administrator rights an NTFS drive is walked; said only
        // when the system names the drive's file system NTFS.
        wchar_t root[4] = {static_cast<wchar_t>(static_cast<unsigned char>(m_cDrive)), L':', L'\\', 0};
        wchar_t system[MAX_PATH + 1] = {};
        if (disk.LastError() == ERROR_ACCESS_DENIED &&
            ::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH + 1) &&
            std::wcscmp(system, L"NTFS") == 0)
            m_strTableNote = kTableNeedsRights;
        return;
    }
    auto table = std::make_unique<CNtfsTable>();
    CNtfsTable::Outcome outcome;
    try {
        outcome = table->Load(disk, [&](CNtfsTable::Step step, uint64_t done, uint64_t total) {
            char status[160];
            std::snprintf(status, sizeof status, "Reading the %s of %c: (%s)",
                          step == CNtfsTable::Step::Table ? "master file table" : "directory indexes", m_cDrive,
                          HashedShare(done, total).c_str());
            m_pProgress->SetStatusText(status);
        });
    } catch (const std::bad_alloc&) {
        // A volume of more files than this program's memory holds is walked:
        // the walk holds next to nothing.
        m_strTableNote = kTableTooLarge;
        return;
    }
    switch (outcome) {
    case CNtfsTable::Outcome::Read:
        m_pTable = std::move(table);
        break;
    case CNtfsTable::Outcome::NotNtfs:
        break;  // the walk is the only way, and nothing to say
    case CNtfsTable::Outcome::Unreadable:
        m_strTableNote = kTableUnreadable;
        break;
    case CNtfsTable::Outcome::Unsupported:
        m_strTableNote = kTableNotUnderstood;
        break;
    }
}

const std::vector<uint32_t>* CFSSnap::TableListing(bool mayLeaveVolume, bool& listable)
{
    // The walk's test of a folder stays: it is opened for listing. Its
    // identity then says which folder of the table the path leads to, through
    // whatever links the system followed.
    std::wstring path = m_chain.empty() ? m_widePath + L'\\' : m_widePath;
    CHandle folder(::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    listable = folder.IsOpen();
    if (!listable)
        return nullptr;
    uint64_t reference;
    if (m_chain.empty() || mayLeaveVolume) {
        // The root, and a link that may lead to another volume (a mount
        // point): the volume's serial number as well.
        BY_HANDLE_FILE_INFORMATION info;
        if (!::GetFileInformationByHandle(folder.Get(), &info))
            return nullptr;
        reference = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
        if (m_chain.empty()) {
            // The root must be the table's root folder, or the table is of another volume.
            m_tableVolume = info.dwVolumeSerialNumber;
            if ((reference & 0xFFFFFFFFFFFFull) != CNtfsTable::kRootRecord) {
                m_pTable.reset();
                m_strTableNote = kTableOtherVolume;
                return nullptr;
            }
        } else if (info.dwVolumeSerialNumber != m_tableVolume) {
            return nullptr;  // a folder mounted from another volume
        }
    } else {
        // A plain folder is on its parent's volume: its file index alone,
        // which costs the system far less to tell.
        FILE_INTERNAL_INFORMATION internal;
        IO_STATUS_BLOCK status;
        if (!NT_SUCCESS(::NtQueryInformationFile(folder.Get(), &status, &internal, sizeof internal,
                                                 FileInternalInformation)))
            return nullptr;
        reference = static_cast<uint64_t>(internal.IndexNumber.QuadPart);
    }
    return m_pTable->Folder(reference);
}

std::string CFSSnap::TableResultsText() const
{
    return NtfsResultsText(m_cDrive, m_nTableFolders, m_nListedFolders, m_strTableNote);
}

namespace {

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_BAD_NETPATH || error == ERROR_NOT_READY;
}

// The folder's path made absolute as the system makes a typed path absolute
// (relative to the current folder, "." and ".." resolved, "/" read as "\").
std::wstring AbsolutePath(std::wstring typed)
{
    if (typed.size() == 2 && typed[1] == L':')
        typed += L'\\';  // "X:" alone is the drive, not its current folder
    DWORD size = ::GetFullPathNameW(typed.c_str(), 0, nullptr, nullptr);
    std::wstring path(size, L'\0');
    size = size ? ::GetFullPathNameW(typed.c_str(), size, &path[0], nullptr) : 0;
    path.resize(size < path.size() ? size : 0);
    if (path.compare(0, 4, L"\\\\?\\") == 0 && path.size() > 6 && path[5] == L':')
        path.erase(0, 4);
    return path;
}

}  // namespace

std::string ChooseFolder(const std::wstring& typed, CChosenPlaces& places)
{
    const std::string shown = StrictAnsiName(typed);
    const std::wstring path = AbsolutePath(typed);
    if (path.empty())
        return PlaceMissing(shown);
    wchar_t letter = path[0] >= L'a' && path[0] <= L'z' ? static_cast<wchar_t>(path[0] - L'a' + L'A') : path[0];
    if (path.size() < 3 || letter < L'A' || letter > L'Z' || path[1] != L':' || path[2] != L'\\')
        return PlaceNotOnADrive(shown);

    // The folders as the walk sees them: on 64-bit Windows, System32 with
    // its own folders.
    CFsRedirectionOff nativeView;
    std::vector<SnapPlace> steps{SnapPlace{std::wstring{letter, L':'}, FSRootName(static_cast<char>(letter)), false, {}}};
    std::wstring reached = L"\\\\?\\" + steps[0].name;
    if (::GetFileAttributesW((reached + L'\\').c_str()) == INVALID_FILE_ATTRIBUTES)
        return PlaceMissing(shown);
    for (size_t at = 3; at < path.size();) {
        size_t end = path.find(L'\\', at);
        if (end == std::wstring::npos)
            end = path.size();
        std::wstring name = path.substr(at, end - at);
        at = end + 1;
        if (name.empty())
            continue;
        if (name.find_first_of(L"*?") != std::wstring::npos)
            return PlaceMissing(shown);  // a pattern, which no name matches as it stands
        // The name as the folder's listing holds it, in its own letter case;
        // a folder whose parent cannot be listed keeps the typed name.
        std::wstring candidate = reached + L'\\' + name;
        DWORD attributes;
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW(candidate.c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            ::FindClose(find);
            name = found.cFileName;
            attributes = found.dwFileAttributes;
        } else if (IsMissing(::GetLastError())) {
            return PlaceMissing(shown);
        } else if ((attributes = ::GetFileAttributesW(candidate.c_str())) == INVALID_FILE_ATTRIBUTES) {
            if (IsMissing(::GetLastError()))
                return PlaceMissing(shown);
            attributes = FILE_ATTRIBUTE_DIRECTORY;  // the walk finds out, and lists it as ignored
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return at >= path.size() ? PlaceIsAFile(shown) : PlaceMissing(shown);
        reached += L'\\' + name;
        steps.push_back(SnapPlace{name, AnsiName(name), false, {}});
    }
    return places.Add(steps, shown, true);
}
