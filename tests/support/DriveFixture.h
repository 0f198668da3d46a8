// Building folder trees on a drive letter through the Windows API, listing them
// again independently of the walker, and reading a file-system snapshot file
// record by record for comparison.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The letter that the test wrapper mapped to an empty fixture folder
// (environment variable CORVANE_FIXTURE_DRIVE), upper case; 0 when none.
char FixtureDriveLetter();

bool MakeFolder(const std::string& path);
// Removes the folder and everything below it; true when it is gone.
bool RemoveTree(const std::string& path);
bool MakeFile(const std::string& path, const std::string& content);
// A file of the given size whose data is never written (sparse on the host).
bool MakeSizedFile(const std::string& path, uint64_t size);
// A folder or a file by its real name and a path of any length (the wide
// API with the \\?\ prefix); path is a full path.
bool MakeFolderW(const std::wstring& path);
bool MakeFileW(const std::wstring& path, const std::string& content);
std::vector<uint8_t> ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
// A program run to its end or the deadline, its standard output into a file
// of the temporary folder; what it wrote there.
std::string RunProgram(const std::string& exe, const std::string& arguments, DWORD& code);

struct FileRecord {
    std::string name;
    uint64_t creationTime = 0;
    uint64_t lastWriteTime = 0;
    uint32_t size = 0;
};

struct FolderRecord {
    std::string name;
    std::vector<FileRecord> files;
    std::vector<FolderRecord> folders;
};

struct FSSnapFile {
    uint16_t version = 0;
    uint32_t folderCount = 0;
    uint8_t drive = 0;
    FolderRecord root;
    uint32_t foldersRead = 0;
    size_t bytesUsed = 0;  // offset just after the root record
};

// Parses a file-system snapshot; false with a reason when it is malformed.
bool ParseFSSnap(const std::vector<uint8_t>& bytes, FSSnapFile& out, std::string& why);

// Lists a folder tree as the snapshot must record it, with FindFirstFileA and
// FindNextFileA themselves rather than the program's file finder: files in
// listing order, then subfolders in listing order. The folders named in
// `notEntered` (full paths) are recorded with no contents.
FolderRecord ListTree(const std::string& path, const std::string& name,
                      const std::vector<std::string>& notEntered);
