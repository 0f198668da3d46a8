// The file-system kind of the comparison engine: reads two file-system
// snapshot files into trees of folders and files, sizes the progress bar's
// steps so that loading fills its first half, and runs the comparison.
//
// A snapshot file is untrusted input. Its counts are never believed ahead of
// the records: every node and file is created for a record actually read, a
// short read fails the load, and folders nested deeper than kMaxFolderDepth
// (deeper than any path the system can form) are refused with a message.
#pragma once

#include "compare/CompareMine.h"

#include <cstdint>

class CFSMine : public CCompareMine {
public:
    using CCompareMine::CCompareMine;

    bool Compare(IProgress* progress, IInputFile& file1, IInputFile& file2) override;
    bool Load(IInputFile& file, CCompareNode* root) override;
    void CreateRoots() override;
    void FormatNodeCount(std::string& out, unsigned long count) const override;
    void FormatItemCount(std::string& out, unsigned long count) const override;
};

// A path has fewer than 32,767 characters, so no real folder lies deeper
// than this below the drive's root folder record, which is depth 1.
constexpr uint32_t kMaxFolderDepth = 16384;

// The share of the bar one step advances: loading the folder records of both
// files, one step each, brings the bar to 50 percent.
float FSProgressStep(uint32_t folders1, uint32_t folders2);

extern const char* const kFSNotASnapshot;
extern const char* const kFSFolderCountMismatch;
extern const char* const kFSNestedTooDeep;
