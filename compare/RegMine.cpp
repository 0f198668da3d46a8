#include "compare/RegMine.h"

#include "compare/RecordTree.h"
#include "compare/RegNode.h"
#include "compare/RegTypes.h"
#include "compare/RegVal.h"
#include "compare/SnapReader.h"
#include "compare/WideChars.h"
#include "snapshot/SnapFormat.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

const char* const kRegNotASnapshot = "File is not a registry snap shot or is of an older version.";
const char* const kRegNestedTooDeep =
    "Error reading snap shot.  Keys are nested more than 512 levels deep.";
const char* const kRegDataTooLarge =
    "Error reading snap shot.  The data of a value do not fit into memory.";

namespace {

// Data up to this length are read straight into their value; longer ones
// are gathered first as they arrive, so that a length the file does not
// hold takes no room in the tree.
constexpr uint32_t kReadInPlaceLimit = 16 * 1024;
// Data up to this length are gathered in one piece; longer ones in pieces
// that double with what has arrived, so that a length the file does not
// hold costs no more than the bytes it does.
constexpr uint32_t kDirectDataLimit = 64 * 1024;

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

namespace {
const CSnapKind kRegistry = {
    kRegSnapVersion, kRegNotASnapshot, {"Registry 1", "Registry 2"}, "keys", "values",
    RecordTreeLimit{kMaxKeyDepth, kRegNestedTooDeep}, RegProgressStep,
};
}  // namespace

CRegMine::CRegMine(IUserMessages& messages, IUserMessages& programMessages)
    : CCompareMine(kRegistry, messages, programMessages)
{
}

void CRegMine::SettlePairs()
{
    if (!m_bTypesCompared)
        return;
    // Every pair of values is met from tree 1.
    std::vector<CCompareNode*> pending{GetRoot1()};
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

bool CRegMine::ReadHeader(CSnapReader& in, uint32_t& topLevelNodes)
{
    uint32_t keysRecorded;
    return in.ReadU32(keysRecorded) && in.ReadU32(topLevelNodes);
}

CCompareNode* CRegMine::PlaceNode(CTreeStorage& storage, std::string_view name, CCompareNode* parent) const
{
    return storage.Create<CRegNode>(storage.Name(name), parent);
}

CCompareItem* CRegMine::ReadItem(CSnapReader& in, CTreeStorage& storage, CCompareName name, CCompareNode* key)
{
    uint32_t type, size;
    if (!in.ReadU32(type) || !in.ReadU32(size))
        return nullptr;
    if (size > kReadInPlaceLimit) {
        switch (ReadData(in, size, m_data)) {
        case DataRead::Ok:
            break;
        case DataRead::Short:
            return nullptr;
        case DataRead::OutOfMemory:
            LoadMessages().Note(kRegDataTooLarge);
            return nullptr;
        }
    }
    CRegVal* value;
    try {
        value = CRegVal::Place(storage, std::move(name), type, size, key);
    } catch (const std::bad_alloc&) {
        LoadMessages().Note(kRegDataTooLarge);
        return nullptr;
    }
    if (size <= kReadInPlaceLimit)
        return in.ReadBytes(value->DataToFill(), size) ? value : nullptr;
    std::memcpy(value->DataToFill(), m_data.data(), size);
    if (m_data.capacity() > kDirectDataLimit)
        std::vector<uint8_t>().swap(m_data);  // a rare long value does not keep its room
    return value;
}

CCompareItem* CRegMine::PlaceWithExactData(CTreeStorage& storage, const CCompareItem& item,
                                           const std::vector<uint8_t>& data) const
{
    // Only string data are converted on their way to the record.
    const CRegVal& value = static_cast<const CRegVal&>(item);
    if (!RegTypeOf(value.GetType()).strings)
        return nullptr;
    return value.PlaceWithExactData(storage, data.data(), static_cast<uint32_t>(data.size()));
}

CCompareItem* CRegMine::PlaceWithCodePageData(CTreeStorage& storage, const CCompareItem& item,
                                              uint32_t codePage) const
{
    const CRegVal& value = static_cast<const CRegVal&>(item);
    if (!RegTypeOf(value.GetType()).strings || value.HasExactData())
        return nullptr;
    std::string_view data(reinterpret_cast<const char*>(value.GetData()), value.GetDataSize());
    if (std::all_of(data.begin(), data.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return nullptr;
    std::u16string units = CodePageToUtf16(codePage, data);
    return value.PlaceWithExactData(storage, reinterpret_cast<const uint8_t*>(units.data()),
                                    static_cast<uint32_t>(2 * units.size()));
}

bool CRegMine::FinishLoad(CCompareNode* root)
{
    static const char* const kEveryHive[][2] = {
        {"HKEY_LOCAL_MACHINE", "SOFTWARE"}, {"HKEY_LOCAL_MACHINE", "SYSTEM"}, {"HKEY_USERS", ".DEFAULT"}};
    std::string& missing = m_missingHive[root == GetRoot2()];
    missing.clear();
    for (const auto& hive : kEveryHive) {
        const CCompareNode* parent = root->Nodes().GetAt(root->FindNode(CCompareName(hive[0])));
        if (!parent || !parent->FindNode(CCompareName(hive[1]))) {
            missing = std::string(hive[0]) + "\\" + hive[1];
            break;
        }
    }
    if (m_pProgress) {
        float position = static_cast<float>(m_pProgress->BarGetPos() + kRegLoadedFileStep);
        m_pProgress->BarSetPos(position);
    }
    return true;
}
