// Pairs of generated file-system snapshots for the comparison benchmarks: a
// drive before and after a change, with a given share of its files changed,
// removed and added, written with the project's snapshot writer.
#pragma once

#include "snapshot/MemoryFile.h"

#include <cstdint>

struct CGeneratedPair {
    CMemoryFile before;
    CMemoryFile after;
    uint64_t filesBefore = 0;
    uint64_t filesAfter = 0;
    uint64_t nameBytes = 0;  // of all file names in both, for the average length
};

struct CGeneratedShape {
    uint32_t folders;          // folders of the drive, its root folder included
    uint32_t filesPerFolder;   // files in each folder
    uint32_t foldersPerFolder; // subfolders of each folder while there are folders to give
    double changed;            // share of files whose size changes
    double removed;            // share of files missing after the change
    double added;              // files added after the change, as a share of all
};

// 1,000,000 files in 100,000 folders; 1 % changed, 0.1 % removed and added.
CGeneratedShape ManyFoldersShape();
// 100,000 files in the drive's root folder alone; the same shares.
CGeneratedShape OneFolderShape();

CGeneratedPair GeneratePair(const CGeneratedShape& shape, uint32_t seed = 1);
