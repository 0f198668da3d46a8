// Snapshot files on disk for the tests that need real files: the bytes a test
// built in memory, written through the portable standard-library file.
#pragma once

#include "snapshot/MemoryFile.h"
#include "snapshot/StdioFile.h"

#include <cstdio>
#include <string>

// Writes the snapshot's bytes to path, replacing any file there; false (and
// a line on standard error) when it could not.
inline bool SaveSnapshot(const std::string& path, const CMemoryFile& snapshot)
{
    CStdioFile file;
    const auto& bytes = snapshot.Bytes();
    bool ok = file.CreateTruncate(path) && file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
}
