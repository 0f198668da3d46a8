// The file-system snapshot of one drive: asks the user to confirm, walks every
// folder depth-first into the snapshot file, keeps the progress window
// informed and shows the totals in the results dialog. Runs on the snapshot
// worker thread.
#pragma once

#include "framework/AnsiName.h"
#include "snapshot/ChosenPlaces.h"
#include "snapshot/FileHasher.h"
#include "snapshot/FSProgressMeter.h"
#include "snapshot/FSSnapFormat.h"
#include "snapshot/NtfsTable.h"
#include "seams/Progress.h"
#include "seams/UserMessages.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CWnd;

class CFSSnap {
public:
    // path: the snapshot file, by its wide name, created exactly as named.
    // messages: where the question and errors go; the application-wide
    // message box when none is given.
    CFSSnap(const std::wstring& path, char driveLetter, CWnd* owner, IProgress* progress,
            IUserMessages* messages = nullptr);
    // A path in the ANSI code page, as the window's dialogs give it, taken as
    // the ANSI functions take it.
    CFSSnap(const std::string& path, char driveLetter, CWnd* owner, IProgress* progress,
            IUserMessages* messages = nullptr)
        : CFSSnap(WideName(path), driveLetter, owner, progress, messages)
    {
    }
    virtual ~CFSSnap() = default;

    // Records only these folders of the drive, and the path down to each;
    // the whole drive when none are given.
    void ChoosePlaces(CChosenPlaces places) { m_places = std::move(places); }

    // Hashes every file's content into the snapshot's appendix, but for
    // files larger than limit (0: none).
    void HashContents(uint64_t limit)
    {
        m_bHash = true;
        m_hashLimit = limit;
    }

    // The program named in the snapshot's appendix as its writer.
    void SetProgramName(std::string name) { m_strProgram = std::move(name); }

    void Run();

    // Totals of the last run, as the results dialog shows them.
    uint32_t FilesFound() const { return m_nFilesFound; }
    uint32_t FoldersFound() const { return m_nFoldersFound; }
    uint32_t FoldersIgnored() const { return m_nFoldersIgnored; }
    const std::string& IgnoredList() const { return m_strIgnored; }
    // How the last run learnt what the folders hold: from the NTFS master
    // file table (each folder it knew), or by listing them.
    uint32_t FoldersFromTable() const { return m_nTableFolders; }

protected:
    // Shows the finished snapshot's text; the results dialog by default.
    virtual void ShowResults(const std::string& text);

private:
    // The identity of a folder on its volume.
    struct FolderId {
        DWORD volume, indexHigh, indexLow;
        bool operator==(const FolderId& o) const
        {
            return volume == o.volume && indexHigh == o.indexHigh && indexLow == o.indexLow;
        }
    };

    // What a folder's listing held, and its identity, looked up only when
    // another folder's listing holds the same.
    struct ListingPrint {
        size_t entries = 0;
        uint64_t names = 0;  // a hash of the listed names
        bool looked = false, known = false;
        FolderId id{};
    };

    // A subfolder still to walk: its name as the file system holds it, and
    // as the snapshot records it; for a step towards chosen folders, the step.
    struct Subfolder {
        std::wstring name;
        std::string recorded;
        const SnapPlace* place = nullptr;
        bool exact = true;  // recorded reads back as name
        bool mayLeaveVolume = true;  // a link, or below a folder not listed from the table
    };

    // A folder on the chain from the root to the folder being walked.
    struct Frame {
        uint64_t countsOffset = 0;
        uint32_t subfolderCount = 0, fileCount = 0;
        size_t widePathSize = 0, pathSize = 0;  // of m_widePath and m_path at this folder
        ListingPrint print;
        std::vector<Subfolder> subfolders;
        size_t next = 0;  // the subfolder to walk next
    };

    // A file of the folder being listed, written once the folder is known
    // not to lead back.
    struct ListedFile {
        std::string name;
        std::wstring exactName;  // when name is not exact
        uint64_t creationTime, lastWriteTime, size;
        DWORD attributes;
        std::wstring wideName;  // only when the contents are hashed
    };

    // Reads the master file table of an NTFS drive, when the drive can be
    // read raw, so that the walk takes the folders' listings from it.
    void ReadTable();
    // The listing of the folder at m_widePath from the table, when the table
    // knows the folder the path leads to; listable is false when the folder
    // cannot be listed at all.
    const std::vector<uint32_t>* TableListing(bool mayLeaveVolume, bool& listable);
    // What the walk does with one entry of a listing.
    // fromTable: the listing is the table's.
    void AddListed(Frame& self, const wchar_t* name, size_t length, bool folder, uint64_t creationTime,
                   uint64_t lastWriteTime, uint64_t size, DWORD attributes, bool fromTable);
    // Says in the results how the snapshot was taken, when the drive is NTFS.
    std::string TableResultsText() const;
    // Walks the drive from its root, depth-first, without recursion: a path
    // may be as deep as the system allows.
    void WalkDrive(CFSSnapWriter& file);
    // Records the folder at m_path and m_widePath with its files, and puts it
    // on the chain when it has subfolders to walk.
    // exact: the folder's name as the system holds it, when name is not it.
    // mayLeaveVolume: the folder may be on another volume than its parent.
    void EnterFolder(CFSSnapWriter& file, const std::string& name, const std::wstring* exact = nullptr,
                     bool mayLeaveVolume = true);
    // Records a folder on the way to chosen folders, holding only the next
    // steps, without listing it.
    void PassFolder(CFSSnapWriter& file, const SnapPlace& place);
    // Writes the folder's name and counts to be patched; the frame to fill.
    Frame BeginFolder(CFSSnapWriter& file, const std::string& name, const std::wstring* exact);
    bool LeadsBack(ListingPrint& folder);
    bool Identify(ListingPrint& folder, size_t widePathSize) const;
    static bool GetFolderId(const std::wstring& path, FolderId& id);
    // The drive's root can be entered and is still the folder the walk began in.
    bool DriveStillThere() const;
    void AddIgnored(const std::string& path);
    // Hands the file just recorded on to be hashed, telling the progress
    // window how far the hashing is while the walk waits for it.
    void HashFile(const ListedFile& listed);
    // The folder being walked as the status text, with how far the hashing is.
    void ShowFolderStatus();
    void CheckWrites(const CFSSnapWriter& file) const;

    IProgress* m_pProgress;
    std::wstring m_strPath;
    char m_cDrive;
    CFSProgressMeter m_meter;
    uint32_t m_nFilesFound = 0;
    uint32_t m_nFoldersFound = 0;
    uint32_t m_nFoldersIgnored = 0;
    CWnd* m_pOwner;
    std::string m_strIgnored;
    IUserMessages& m_messages;
    std::vector<Frame> m_chain;
    std::string m_path;        // the folder being entered, as the results list it
    std::wstring m_widePath;   // the same folder for the wide functions: \\?\X:\...
    std::vector<ListedFile> m_files;  // the files of the folder being listed
    FolderId m_rootId{};
    bool m_bRootKnown = false;
    CChosenPlaces m_places;
    std::string m_strProgram = "corvane";
    bool m_bHash = false;
    uint64_t m_hashLimit = 0;
    CFileHasher* m_pHasher = nullptr;  // while a walk hashes
    DWORD m_lastStatus = 0;            // when the hashing was last told
    std::unique_ptr<CNtfsTable> m_pTable;  // while a walk lists from it
    std::string m_strTableNote;            // why an NTFS drive's table was not used
    DWORD m_tableVolume = 0;               // the serial number of the volume the table is of
    uint32_t m_nTableFolders = 0, m_nListedFolders = 0;  // listed from the table, and by the system beside it
};

// Adds the folder, typed as a user gives it (absolute or relative), to the
// places of a snapshot of chosen folders, named as the file system names it.
// Returns why it is refused, or an empty text: a folder that does not exist,
// a file, a place not on a drive, on another drive than the others, named
// twice or inside another. A folder that exists but cannot be looked into is
// taken; the walk lists it as ignored. Every name is looked up as typed, so
// a look-alike (a full-width "＼") is no separator; the refusal shows what
// the code page cannot hold as "?".
std::string ChooseFolder(const std::wstring& typed, CChosenPlaces& places);

// Texts of the file-system snapshot.
extern const char* const kFSSnapQuestion;
extern const char* const kFSSnapCreateError;
extern const char* const kFSSnapWriteError;
extern const char* const kFSSnapHashError;
// Why an NTFS drive's master file table was not used.
extern const char* const kTableNeedsRights;
extern const char* const kTableUnreadable;
extern const char* const kTableNotUnderstood;
extern const char* const kTableOtherVolume;
extern const char* const kTableTooLarge;
// The drive's root could not be entered, or vanished during the walk.
std::string FSSnapDriveError(char driveLetter);
