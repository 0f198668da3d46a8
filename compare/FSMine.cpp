#include "compare/FSMine.h"

#include "compare/FSFile.h"
#include "compare/FSNode.h"
#include "compare/RecordTree.h"
#include "compare/SnapReader.h"
#include "snapshot/SnapFormat.h"

#include <cstdio>
#include <string_view>

const char* const kFSNotASnapshot =
    "File is not a valid file system snap shot or is an older version.";
const char* const kFSFolderCountMismatch =
    "Error reading snap shot.  Number of folders read and contained do not match.";
const char* const kFSNestedTooDeep =
    "Error reading snap shot.  Folders are nested more than 16384 levels deep.";

namespace {

// The folder count at offset 2 of a snapshot file; what was not delivered stays 0.
uint32_t PeekFolderCount(IInputFile& file)
{
    uint8_t header[6] = {};
    file.SeekToBegin();
    if (file.Read(header, 2) == 2)
        file.Read(header + 2, 4);
    return GetLE32(header + 2);
}

}  // namespace

float FSProgressStep(uint32_t folders1, uint32_t folders2)
{
    uint32_t total = folders1 + folders2;  // wraps as the bar's arithmetic always has
    // No step at all for two empty counts: such files are refused anyway.
    return total == 0 ? 0.0f : static_cast<float>(100.0 / (2.0 * total));
}

bool CFSMine::Compare(IProgress* progress, IInputFile& file1, IInputFile& file2)
{
    uint32_t folders1 = PeekFolderCount(file1);
    uint32_t folders2 = PeekFolderCount(file2);
    if (progress)
        progress->BarSetStep(FSProgressStep(folders1, folders2));
    return CCompareMine::Compare(progress, file1, file2);
}

void CFSMine::CreateRoots()
{
    m_pRoot1 = std::make_unique<CFSNode>(CCompareName("File System 1"), nullptr);
    m_pRoot2 = std::make_unique<CFSNode>(CCompareName("File System 2"), nullptr);
}

void CFSMine::FormatNodeCount(std::string& out, unsigned long count) const
{
    char text[32];
    std::snprintf(text, sizeof text, "%lu folders", count);
    out = text;
}

void CFSMine::FormatItemCount(std::string& out, unsigned long count) const
{
    char text[32];
    std::snprintf(text, sizeof text, "%lu files", count);
    out = text;
}

bool CFSMine::Load(IInputFile& file, CCompareNode* root)
{
    file.SeekToBegin();
    CSnapReader in(file);
    if (!ReadVersionWord(in, kFSSnapVersion, m_messages, kFSNotASnapshot))
        return false;
    uint32_t folderCount;
    uint8_t driveLetter;
    if (!in.ReadU32(folderCount) || !in.ReadU8(driveLetter))
        return false;

    CTreeStorage& storage = StorageFor(root);
    std::string_view name;
    auto readFolder = [&](CCompareNode* parent, NodeRecordCounts& counts) -> CCompareNode* {
        if (!in.ReadName(name))
            return nullptr;
        CCompareNode* node = storage.Create<CFSNode>(storage.Name(name), parent);
        counts.cut = !in.ReadU32(counts.nodes) || !in.ReadU32(counts.items);
        return node;
    };
    auto readFile = [&](CCompareNode* folder) -> CCompareItem* {
        if (!in.ReadName(name))
            return nullptr;
        // Kept before the next read, which may move the buffer under the view.
        CCompareName fileName = storage.Name(name);
        uint64_t created, modified;
        uint32_t size;
        if (!in.ReadU64(created) || !in.ReadU64(modified) || !in.ReadU32(size))
            return nullptr;
        return storage.Create<CFSFile>(std::move(fileName), created, modified, size, folder);
    };
    // Below the root lies one folder record, the drive's root folder.
    if (!ReadRecordTree(root, 1, RecordTreeLimit{kMaxFolderDepth, kFSNestedTooDeep}, m_messages,
                        m_pProgress, storage, readFolder, readFile))
        return false;

    if (root->CountNodes() != folderCount) {
        m_messages.Note(kFSFolderCountMismatch);
        return false;
    }
    return true;
}
