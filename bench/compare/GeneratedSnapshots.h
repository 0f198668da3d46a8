// Pairs of generated snapshots for the comparison benchmarks, written with the
// project's snapshot writers: a drive before and after a change, with a given
// share of its files changed, removed and added; and a registry before and
// after a change of a share of its values' data.
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

struct CGeneratedRegPair {
    CMemoryFile before;
    CMemoryFile after;
    uint32_t keys = 0;       // in each snapshot
    uint32_t values = 0;     // in each snapshot
    uint32_t changed = 0;    // values whose data differ
    uint64_t dataBytes = 0;  // of all values' data in the snapshot before
};

struct CGeneratedRegShape {
    uint32_t keys;             // about this many keys, spread over the two roots
    uint32_t values;           // values, spread evenly over the keys
    uint32_t changedPerMille;  // share of values whose data change
};

// A full desktop registry: 700,000 keys and 1,200,000 values, 1 % changed.
CGeneratedRegShape DesktopRegistryShape();

CGeneratedRegPair GenerateRegistryPair(const CGeneratedRegShape& shape);
