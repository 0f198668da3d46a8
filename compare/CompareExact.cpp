// What the comparison engine does with exact forms: gives a loaded tree what
// its file's appendix keeps beside the records, and, for a comparison of
// exact forms, the forms read from each file's code page.
#include "compare/CompareMine.h"

#include "compare/WideChars.h"

#include <string_view>
#include <vector>

namespace {

bool IsAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Calls visit(parent, position) for every item of root's tree and
// visitNode(node) for every node below root, in file order.
template <class VisitNode, class VisitItem>
void VisitInFileOrder(CCompareNode* root, VisitNode visitNode, VisitItem visitItem)
{
    struct Frame {
        CCompareNode* node;
        ListPosition next;
    };
    std::vector<Frame> stack{Frame{root, root->Nodes().GetHeadPosition()}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (!frame.next) {
            stack.pop_back();
            continue;
        }
        CCompareNode* node = frame.node->Nodes().GetNext(frame.next);
        if (!visitNode(node))
            return;
        for (ListPosition pos = node->Items().GetHeadPosition(); pos; pos = node->Items().GetNextPosition(pos))
            if (!visitItem(node, pos))
                return;
        stack.push_back(Frame{node, node->Nodes().GetHeadPosition()});
    }
}

}  // namespace

CCompareItem* CCompareMine::PlaceWithExactData(CTreeStorage&, const CCompareItem&, const std::vector<uint8_t>&) const
{
    return nullptr;
}

CCompareItem* CCompareMine::PlaceWithFileParts(CTreeStorage&, const CCompareItem&, uint32_t, const CFileHash*) const
{
    return nullptr;
}

CCompareItem* CCompareMine::PlaceWithCodePageData(CTreeStorage&, const CCompareItem&, uint32_t) const
{
    return nullptr;
}

// The records are numbered in file order: a node record, its item records,
// then its child node records, each with everything below it; the root of
// the tree is no record. The tree holds them in that order as loaded. Hash
// entries are not numbered: there is one for every item, in that order.
bool CCompareMine::GiveExactParts(CCompareNode* root, const CExactParts& parts, CTreeStorage& storage) const
{
    if (parts.Empty())
        return true;
    size_t name = 0, string = 0, size = 0, hash = 0;
    uint64_t record = 0;
    bool kindsFit = true;
    auto at = [&record](const auto& entries, size_t next) {
        return next < entries.size() && entries[next].record == record;
    };
    auto giveName = [&](auto* entry) {
        if (at(parts.names, name))
            entry->SetStoredName(storage.Name(entry->GetStoredName().view(), parts.names[name++].name));
        ++record;
    };
    VisitInFileOrder(
        root,
        [&](CCompareNode* node) {
            // Data, sizes and hashes belong to items only.
            kindsFit = !at(parts.strings, string) && !at(parts.sizes, size);
            giveName(node);
            return kindsFit;
        },
        [&](CCompareNode* node, ListPosition pos) {
            CCompareItem* item = node->Items().GetAt(pos);
            if (at(parts.strings, string)) {
                item = PlaceWithExactData(storage, *item, parts.strings[string++].data);
                if (!(kindsFit = item != nullptr))
                    return false;
                node->ReplaceItemAt(pos, item);
            }
            const bool large = at(parts.sizes, size);
            if (large || parts.hashed) {
                if (parts.hashed && hash == parts.hashes.size())
                    return kindsFit = false;  // more files than hash entries
                item = PlaceWithFileParts(storage, *item, large ? parts.sizes[size++].high : 0,
                                          parts.hashed ? &parts.hashes[hash++] : nullptr);
                if (!(kindsFit = item != nullptr))
                    return false;
                node->ReplaceItemAt(pos, item);
            }
            giveName(item);
            return true;
        });
    // Every entry named a record of the file, of its kind.
    return kindsFit && name == parts.names.size() && string == parts.strings.size() && size == parts.sizes.size() &&
           hash == parts.hashes.size();
}

void CCompareMine::GiveCodePageForms(CCompareNode* root, uint32_t codePage, CTreeStorage& storage,
                                     bool withData) const
{
    auto giveName = [&](auto* entry) {
        const CCompareName& name = entry->GetStoredName();
        if (!name.HasExact() && !IsAscii(name.view()))
            entry->SetStoredName(storage.Name(name.view(), CodePageToUtf16(codePage, name.view())));
    };
    VisitInFileOrder(
        root,
        [&](CCompareNode* node) {
            giveName(node);
            return true;
        },
        [&](CCompareNode* node, ListPosition pos) {
            CCompareItem* item = node->Items().GetAt(pos);
            giveName(item);
            if (withData)
                if (CCompareItem* exact = PlaceWithCodePageData(storage, *item, codePage))
                    node->ReplaceItemAt(pos, exact);
            return true;
        });
}

