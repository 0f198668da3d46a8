// Snapshot files on disk for the tests that need real files: the bytes a test
// built in memory, written through the portable standard-library file.
#pragma once

#include "compare/CompareMine.h"
#include "compare/SnapReader.h"
#include "snapshot/MemoryFile.h"
#include "snapshot/SnapAppendix.h"
#include "snapshot/StdioFile.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

// The records of a snapshot file: its bytes up to the last appendix marker,
// or all of them when it has none.
inline std::vector<uint8_t> RecordsOf(const std::vector<uint8_t>& bytes)
{
    auto marker = std::find_end(bytes.begin(), bytes.end(), kAppendixMarker, kAppendixMarker + kAppendixMarkerSize);
    return std::vector<uint8_t>(bytes.begin(), marker);
}

// What the appendix that begins at recordsEnd says; false when there is no
// appendix there, or a damaged one.
inline bool ReadAppendixAt(const std::vector<uint8_t>& bytes, size_t recordsEnd, CSnapAppendix& appendix)
{
    if (recordsEnd > bytes.size())
        return false;
    CMemoryFile file(std::vector<uint8_t>(bytes.begin() + static_cast<long>(recordsEnd), bytes.end()));
    CSnapReader in(file);
    return ReadAppendix(in, 0xFFFF, appendix) == AppendixRead::Read;
}

// The snapshot's bytes loaded into tree 1 of mine, as a comparison loads
// them; the node at path below the root ({"HKEY_LOCAL_MACHINE", "Software"}),
// or null when the file is refused or the path is not there.
inline const CCompareNode* LoadedNode(CCompareMine& mine, const std::vector<uint8_t>& bytes,
                                      const std::vector<std::string>& path)
{
    CMemoryFile file(bytes);
    mine.CreateRoots();
    const CCompareNode* node = mine.Load(file, mine.GetRoot1()) ? mine.GetRoot1() : nullptr;
    for (const std::string& step : path)
        node = node ? node->Nodes().GetAt(node->FindNode(CCompareName(step))) : nullptr;
    return node;
}

// A name as the system holds it: the exact form, or the recorded bytes
// widened one by one (ASCII, or the Latin-1 letters of code page 1252).
inline std::u16string SystemName(const CCompareName& name)
{
    if (name.HasExact())
        return std::u16string(name.Exact());
    std::u16string wide;
    for (char c : name.view())
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}
