// Describes a drive's folder tree in a few lines and writes it as a
// file-system snapshot file with the project's own writer.
#pragma once

#include "snapshot/FSSnapFormat.h"
#include "snapshot/MemoryFile.h"

#include <cstdint>
#include <string>
#include <vector>

struct TFile {
    std::string name;
    uint64_t size = 0;  // the record holds the low half, the appendix the high one
    uint64_t created = 0;
    uint64_t modified = 0;
    std::u16string exact = {};  // the name the file system holds, when name is not it
};

struct TFolder {
    std::string name;
    std::vector<TFile> files;
    std::vector<TFolder> folders;
    std::u16string exact = {};
};

inline uint32_t CountFolders(const TFolder& folder)
{
    uint32_t count = 1;
    for (const TFolder& sub : folder.folders)
        count += CountFolders(sub);
    return count;
}

inline void WriteFolder(CFSSnapWriter& writer, const TFolder& folder)
{
    uint64_t counts = writer.BeginFolder(folder.name.data(), folder.name.size(), folder.exact);
    for (const TFile& f : folder.files)
        writer.WriteFile(f.name.data(), f.name.size(), f.created, f.modified, f.size, f.exact);
    for (const TFolder& sub : folder.folders)
        WriteFolder(writer, sub);
    writer.EndFolder(counts, static_cast<uint32_t>(folder.folders.size()),
                     static_cast<uint32_t>(folder.files.size()));
}

// The snapshot of a drive whose root folder record is root (named "C:" and
// so on), with the appendix when it is present.
inline CMemoryFile WriteSnapshot(const TFolder& root, char drive = 'C', const CSnapAppendix& appendix = {})
{
    CMemoryFile file;
    CFSSnapWriter writer(file);
    writer.WriteHeader(drive);
    WriteFolder(writer, root);
    if (appendix.present)
        writer.WriteAppendix(appendix);
    writer.Finish(CountFolders(root));
    file.SeekToBegin();
    return file;
}

inline CMemoryFile MemoryFileOf(std::vector<uint8_t> bytes)
{
    return CMemoryFile(std::move(bytes));
}
