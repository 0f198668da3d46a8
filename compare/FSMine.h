// The file-system kind of the comparison engine: reads two file-system
// snapshot files into trees of folders and files, sizes the progress bar's
// steps so that loading fills its first half, and runs the comparison.
// Folders nested deeper than kMaxFolderDepth (deeper than any path the
// system can form) are refused with a message.
#pragma once

#include "compare/CompareMine.h"

#include <cstdint>

class CFSMine : public CCompareMine {
public:
    explicit CFSMine(IUserMessages& messages);

protected:
    bool ReadHeader(CSnapReader& in, uint32_t& topLevelNodes) override;
    CCompareNode* PlaceNode(CTreeStorage& storage, std::string_view name, CCompareNode* parent) const override;
    CCompareItem* ReadItem(CSnapReader& in, CTreeStorage& storage, CCompareName name, CCompareNode* parent) override;
    bool FinishLoad(CCompareNode* root) override;
    CCompareItem* PlaceWithFileParts(CTreeStorage& storage, const CCompareItem& item, uint32_t high,
                                     const CFileHash* hash) const override;

private:
    uint32_t m_nFolderCount = 0;  // the header's, of the file being loaded
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
