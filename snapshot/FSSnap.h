// The file-system snapshot of one drive: asks the user to confirm, walks every
// folder depth-first into the snapshot file, keeps the progress window
// informed and shows the totals in the results dialog. Runs on the snapshot
// worker thread.
#pragma once

#include "snapshot/FSProgressMeter.h"
#include "snapshot/FSSnapFormat.h"
#include "seams/Progress.h"
#include "seams/UserMessages.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CWnd;

class CFSSnap {
public:
    // messages: where the question and errors go; the application-wide
    // message box when none is given.
    CFSSnap(const std::string& path, char driveLetter, CWnd* owner, IProgress* progress,
            IUserMessages* messages = nullptr);
    virtual ~CFSSnap() = default;

    void Run();

    // Totals of the last run, as the results dialog shows them.
    uint32_t FilesFound() const { return m_nFilesFound; }
    uint32_t FoldersFound() const { return m_nFoldersFound; }
    uint32_t FoldersIgnored() const { return m_nFoldersIgnored; }
    const std::string& IgnoredList() const { return m_strIgnored; }

protected:
    // Shows the finished snapshot's text; the results dialog by default.
    virtual void ShowResults(const std::string& text);

private:
    // The identity of a folder on its volume.
    struct FolderId {
        DWORD volume;
        uint64_t index;
        bool operator==(const FolderId& o) const { return volume == o.volume && index == o.index; }
    };

    // A folder on the chain from the root to the folder being walked. Its
    // file index is taken as it is entered, which is cheap; its volume only
    // when another folder's index matches it.
    struct ChainEntry {
        const std::string* path = nullptr;
        uint64_t index = 0;
        bool known = false;  // false when the index could not be had
        bool volumeLooked = false, volumeKnown = false;
        DWORD volume = 0;
    };

    void WalkFolder(CFSSnapWriter& file, const std::string& path);
    bool OnChain(ChainEntry& folder);
    static bool SameVolume(ChainEntry& a, ChainEntry& b);
    static bool GetFolderId(const std::string& path, FolderId& id);
    static bool GetFolderIndex(const std::string& path, uint64_t& index);
    // The drive's root can be entered and is still the folder the walk began in.
    bool DriveStillThere() const;
    void AddIgnored(const std::string& path);
    void CheckWrites(const CFSSnapWriter& file) const;

    IProgress* m_pProgress;
    std::string m_strPath;
    char m_cDrive;
    CFSProgressMeter m_meter;
    uint32_t m_nFilesFound = 0;
    uint32_t m_nFoldersFound = 0;
    uint32_t m_nFoldersIgnored = 0;
    CWnd* m_pOwner;
    std::string m_strIgnored;
    IUserMessages& m_messages;
    std::vector<ChainEntry> m_chain;
    FolderId m_rootId{};
    bool m_bRootKnown = false;
};

// Texts of the file-system snapshot.
extern const char* const kFSSnapQuestion;
extern const char* const kFSSnapCreateError;
extern const char* const kFSSnapWriteError;
// The drive's root could not be entered, or vanished during the walk; formatted
// with the drive letter.
extern const char* const kFSSnapDriveErrorFormat;
std::string FSSnapDriveError(char driveLetter);
