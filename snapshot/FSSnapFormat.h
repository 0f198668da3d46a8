// The file-system snapshot file: a 7-byte header (version, folder count, drive
// letter) and the drive's root folder record. A folder record is its name, its
// subfolder and file counts, its file records, then its subfolder records
// depth-first; a file record is its name, creation time, last-write time and
// the low 32 bits of its size. What a record cannot hold (an exact name, the
// high half of a size) is gathered by record number for the appendix.
#pragma once

#include "snapshot/SnapAppendix.h"
#include "snapshot/SnapWriter.h"

#include <cstdint>
#include <string>
#include <string_view>

class CFSSnapWriter {
public:
    explicit CFSSnapWriter(IOutputFile& file) : m_out(file) {}

    // Header with version 0 and folder count 0; both are set by Finish.
    void WriteHeader(char driveLetter);
    // Writes the folder's name and zero counts; returns where the counts are.
    // exact: the name the system holds, when name is not it.
    uint64_t BeginFolder(const char* name, size_t length, std::u16string_view exact = {});
    void WriteFile(const char* name, size_t length, uint64_t creationTime, uint64_t lastWriteTime,
                   uint64_t size, std::u16string_view exact = {});
    void EndFolder(uint64_t countsOffset, uint32_t subfolders, uint32_t files);
    // What the snapshot is, after its last record, with what the records
    // could not hold, and the hashes that appendix.exact brings.
    void WriteAppendix(CSnapAppendix appendix);
    bool Finish(uint32_t folderCount);
    // Hands what is buffered to the file, leaving the version word as it is.
    bool Flush() { return m_out.Flush(); }
    bool Failed() const { return m_out.Failed(); }

private:
    CSnapWriter m_out;
    uint32_t m_nRecords = 0;  // written so far, the number of the next
    CExactParts m_exact;
};

// The root folder's name: the drive letter and a colon.
std::string FSRootName(char driveLetter);
