#include "compare/RegMine.h"

#include "compare/RecordTree.h"
#include "compare/RegNode.h"
#include "compare/RegVal.h"
#include "compare/SnapReader.h"
#include "snapshot/SnapFormat.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <new>
#include <vector>

const char* const kRegNotASnapshot = "File is not a registry snap shot or is of an older version.";
const char* const kRegNestedTooDeep =
    "Error reading snap shot.  Keys are nested more than 512 levels deep.";
const char* const kRegDataTooLarge =
    "Error reading snap shot.  The data of a value do not fit into memory.";

namespace {

// The keys-recorded count at offset 2 of a snapshot file; what was not
// delivered stays 0.
uint32_t PeekKeyCount(IInputFile& file)
{
    uint8_t header[6] = {};
    file.SeekToBegin();
    if (file.Read(header, 2) == 2)
        file.Read(header + 2, 4);
    return GetLE32(header + 2);
}

// Data up to this length are read in one piece.
constexpr uint32_t kDirectDataLimit = 1u << 20;

enum class DataRead { Ok, Short, OutOfMemory };

// Reads size bytes of a value's data into buffer. Longer data are gathered
// in chunks that grow with what has arrived, so a length that the file does
// not hold fails on the short read long before memory runs out.
DataRead ReadData(CSnapReader& in, uint32_t size, std::vector<uint8_t>& buffer)
{
    try {
        if (size <= kDirectDataLimit) {
            buffer.resize(size);
            return in.ReadBytes(buffer.data(), size) ? DataRead::Ok : DataRead::Short;
        }
        buffer.clear();
        while (buffer.size() < size) {
            size_t chunk = std::max<size_t>(buffer.size(), kDirectDataLimit);
            chunk = std::min<size_t>(chunk, size - buffer.size());
            size_t at = buffer.size();
            buffer.resize(at + chunk);
            if (!in.ReadBytes(buffer.data() + at, static_cast<uint32_t>(chunk)))
                return DataRead::Short;
        }
        return DataRead::Ok;
    } catch (const std::bad_alloc&) {
        return DataRead::OutOfMemory;
    }
}

}  // namespace

float RegProgressStep(uint32_t keys1, uint32_t keys2)
{
    uint32_t total = keys1 + keys2;  // wraps as the bar's arithmetic always has
    // No step at all for two empty counts rather than an infinite one.
    return total == 0 ? 0.0f : static_cast<float>(75.0 / total);
}

bool CRegMine::Compare(IProgress* progress, IInputFile& file1, IInputFile& file2)
{
    uint32_t keys1 = PeekKeyCount(file1);
    uint32_t keys2 = PeekKeyCount(file2);
    if (progress)
        progress->BarSetStep(RegProgressStep(keys1, keys2));
    return CCompareMine::Compare(progress, file1, file2);
}

void CRegMine::SettlePairs()
{
    if (!m_bTypesCompared)
        return;
    // Every pair of values is met from tree 1.
    std::vector<CCompareNode*> pending{m_pRoot1.get()};
    while (!pending.empty()) {
        CCompareNode* node = pending.back();
        pending.pop_back();
        for (CCompareNode* child : node->Nodes())
            if (child->GetState() == csIdentical)
                pending.push_back(child);
        for (CCompareItem* item : node->Items()) {
            CCompareItem* opposite = item->GetOpposite();
            if (item->GetState() == csIdentical && opposite &&
                static_cast<CRegVal*>(item)->GetType() != static_cast<CRegVal*>(opposite)->GetType()) {
                item->SetState(csChanged);
                opposite->SetState(csChanged);
            }
        }
    }
}

void CRegMine::CreateRoots()
{
    m_pRoot1 = std::make_unique<CRegNode>(CCompareName("Registry 1"), nullptr);
    m_pRoot2 = std::make_unique<CRegNode>(CCompareName("Registry 2"), nullptr);
}

void CRegMine::FormatNodeCount(std::string& out, unsigned long count) const
{
    char text[32];
    std::snprintf(text, sizeof text, "%lu keys", count);
    out = text;
}

void CRegMine::FormatItemCount(std::string& out, unsigned long count) const
{
    char text[32];
    std::snprintf(text, sizeof text, "%lu values", count);
    out = text;
}

bool CRegMine::Load(IInputFile& file, CCompareNode* root)
{
    file.SeekToBegin();
    CSnapReader in(file);
    if (!ReadVersionWord(in, kRegSnapVersion, m_programMessages, kRegNotASnapshot))
        return false;
    uint32_t keysRecorded, topLevelKeys;
    if (!in.ReadU32(keysRecorded) || !in.ReadU32(topLevelKeys))
        return false;

    CTreeStorage& storage = StorageFor(root);
    std::string_view name;
    std::vector<uint8_t> data;
    auto readKey = [&](CCompareNode* parent, NodeRecordCounts& counts) -> CCompareNode* {
        if (!in.ReadName(name))
            return nullptr;
        CCompareNode* node = storage.Create<CRegNode>(storage.Name(name), parent);
        counts.cut = !in.ReadU32(counts.nodes) || !in.ReadU32(counts.items);
        return node;
    };
    auto readValue = [&](CCompareNode* key) -> CCompareItem* {
        if (!in.ReadName(name))
            return nullptr;
        // Kept before the next read, which may move the buffer under the view.
        CCompareName valueName = storage.Name(name);
        uint32_t type, size;
        if (!in.ReadU32(type) || !in.ReadU32(size))
            return nullptr;
        if (size <= CRegVal::kPlacedDataLimit) {
            // Read straight into the value.
            CRegVal* value;
            try {
                value = CRegVal::Place(storage, std::move(valueName), type, size, key);
            } catch (const std::bad_alloc&) {
                m_programMessages.Note(kRegDataTooLarge);
                return nullptr;
            }
            if (in.ReadBytes(value->DataToFill(), size))
                return value;
            CCompareNode::ItemList::Dispose(value);
            return nullptr;
        }
        switch (ReadData(in, size, data)) {
        case DataRead::Ok:
            break;
        case DataRead::Short:
            return nullptr;
        case DataRead::OutOfMemory:
            m_programMessages.Note(kRegDataTooLarge);
            return nullptr;
        }
        CCompareItem* value;
        try {
            // A value on the heap outlives the storage that the result is
            // moved out of (CCompareMine::CompactStorage), so it owns its name.
            value = CRegVal::Create(CCompareName(valueName.view()), type, data.data(), size, key).release();
        } catch (const std::bad_alloc&) {
            m_programMessages.Note(kRegDataTooLarge);
            return nullptr;
        }
        if (data.capacity() > kDirectDataLimit)
            std::vector<uint8_t>().swap(data);  // a rare long value does not keep its room
        return value;
    };
    if (!ReadRecordTree(root, topLevelKeys, RecordTreeLimit{kMaxKeyDepth, kRegNestedTooDeep},
                        m_programMessages, m_pProgress, storage, readKey, readValue))
        return false;

    if (m_pProgress) {
        float position = static_cast<float>(m_pProgress->BarGetPos() + kRegLoadedFileStep);
        m_pProgress->BarSetPos(position);
    }
    return true;
}
