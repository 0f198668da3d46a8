// Texts that finished snapshots show in the results dialog.
#pragma once

#include "snapshot/SnapAppendix.h"

#include <cstdint>
#include <string>

// Replaces every "\n" by "\r\n", for the multi-line edit of the results dialog.
std::string ToCrLf(const std::string& text);

// The file-system snapshot's totals and the list of folders that could not be
// accessed; ignoredList holds each path preceded by "\n".
std::string FSResultsText(uint32_t filesFound, uint32_t foldersFound, uint32_t foldersIgnored,
                          const std::string& ignoredList);

// Counts of a walk's files by their hash entry.
struct CHashCounts {
    uint32_t hashed = 0;
    uint32_t byMark[kLastHashMark + 1] = {};
    uint32_t NotHashed() const;
};

// How a file-system snapshot of an NTFS drive learnt what its folders hold:
// fromTable folders read from the drive's master file table and listed
// beside it by the file system, or why the table was not used (notUsed, an
// empty text when it was not even tried: a drive of another file system).
std::string NtfsResultsText(char driveLetter, uint32_t fromTable, uint32_t listed, const std::string& notUsed);

// What a file-system snapshot taken with hashes adds to its results text:
// how many files were hashed, how many were not, by reason (the limit
// named), and the files that could not be read, each preceded by "\n" in
// unreadable with its reason.
std::string HashResultsText(const CHashCounts& counts, uint64_t limit, const std::string& unreadable);

// How far the hashing is, for the progress window: "1,234 of 5,678 MB read".
std::string HashedShare(uint64_t read, uint64_t listed);
