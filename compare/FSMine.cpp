#include "compare/FSMine.h"

#include "compare/FSFile.h"
#include "compare/FSNode.h"
#include "snapshot/SnapFormat.h"

const char* const kFSNotASnapshot =
    "File is not a valid file system snap shot or is an older version.";
const char* const kFSFolderCountMismatch =
    "Error reading snap shot.  Number of folders read and contained do not match.";
const char* const kFSNestedTooDeep =
    "Error reading snap shot.  Folders are nested more than 16384 levels deep.";

float FSProgressStep(uint32_t folders1, uint32_t folders2)
{
    uint32_t total = folders1 + folders2;  // wraps as the bar's arithmetic always has
    // No step at all for two empty counts: such files are refused anyway.
    return total == 0 ? 0.0f : static_cast<float>(100.0 / (2.0 * total));
}

namespace {
const CSnapKind kFileSystem = {
    kFSSnapVersion, kFSNotASnapshot, {"File System 1", "File System 2"}, "folders", "files",
    RecordTreeLimit{kMaxFolderDepth, kFSNestedTooDeep}, FSProgressStep,
};
}  // namespace

CFSMine::CFSMine(IUserMessages& messages) : CCompareMine(kFileSystem, messages, messages) {}

bool CFSMine::ReadHeader(CSnapReader& in, uint32_t& topLevelNodes)
{
    uint8_t driveLetter;
    // Below the root lies one folder record, the drive's root folder.
    topLevelNodes = 1;
    return in.ReadU32(m_nFolderCount) && in.ReadU8(driveLetter);
}

CCompareNode* CFSMine::PlaceNode(CTreeStorage& storage, std::string_view name, CCompareNode* parent) const
{
    return storage.Create<CFSNode>(storage.Name(name), parent);
}

CCompareItem* CFSMine::ReadItem(CSnapReader& in, CTreeStorage& storage, CCompareName name, CCompareNode* folder)
{
    uint64_t created, modified;
    uint32_t size;
    if (!in.ReadU64(created) || !in.ReadU64(modified) || !in.ReadU32(size))
        return nullptr;
    return storage.Create<CFSFile>(std::move(name), created, modified, size, folder);
}

CCompareItem* CFSMine::PlaceWithFileParts(CTreeStorage& storage, const CCompareItem& item, uint32_t high,
                                          const CFileHash* hash) const
{
    return static_cast<const CFSFile&>(item).PlaceWithParts(storage, high, hash);
}

bool CFSMine::FinishLoad(CCompareNode* root)
{
    if (root->CountNodes() != m_nFolderCount) {
        LoadMessages().Note(kFSFolderCountMismatch);
        return false;
    }
    return true;
}
