#include "compare/CompareMine.h"

#include "compare/TreePairing.h"
#include "compare/TreePruning.h"
#include "compare/WideChars.h"

#include <cstdio>
#include <utility>

const char* const kReadErrorFile1 = "ERROR: Error while reading file 1.";
const char* const kReadErrorFile2 = "ERROR: Error while reading file 2.";
const char* const kComparisonFailed = "Comparison failed.";
const char* const kCompareOutOfMemory = "ERROR: There is not enough memory to compare these snap shots.";

namespace {

// The node count at offset 2 of a snapshot file; what was not delivered stays 0.
uint32_t PeekNodeCount(IInputFile& file)
{
    uint8_t header[6] = {};
    file.SeekToBegin();
    if (file.Read(header, 2) == 2)
        file.Read(header + 2, 4);
    return GetLE32(header + 2);
}

void FormatCount(std::string& out, unsigned long count, const char* word)
{
    char text[48];
    std::snprintf(text, sizeof text, "%lu %s", count, word);
    out = text;
}

}  // namespace

void CCompareMine::FormatNodeCount(std::string& out, unsigned long count) const
{
    FormatCount(out, count, m_kind.nodeWord);
}

void CCompareMine::FormatItemCount(std::string& out, unsigned long count) const
{
    FormatCount(out, count, m_kind.itemWord);
}

void CCompareMine::CreateRoots()
{
    // Tree 2 links into tree 1: both go before either starts again.
    m_tree1.Release();
    m_tree2.Release();
    for (CCompareTree* tree : {&m_tree1, &m_tree2})
        tree->SetRoot(PlaceNode(tree->Storage(), m_kind.rootNames[tree == &m_tree2], nullptr));
}

bool CCompareMine::Load(IInputFile& file, CCompareNode* root)
{
    file.SeekToBegin();
    CSnapReader in(file);
    uint16_t version = 0;
    in.ReadU16(version);
    if (version != m_kind.version) {
        m_loadMessages.Note(m_kind.notASnapshot);
        return false;
    }
    uint32_t topLevelNodes;
    if (!ReadHeader(in, topLevelNodes))
        return false;

    CTreeStorage& storage = (root == m_tree2.Root() ? m_tree2 : m_tree1).Storage();
    std::string_view name;
    auto readNode = [&](CCompareNode* parent, NodeRecordCounts& counts) -> CCompareNode* {
        if (!in.ReadName(name))
            return nullptr;
        CCompareNode* node = PlaceNode(storage, name, parent);
        counts.cut = !in.ReadU32(counts.nodes) || !in.ReadU32(counts.items);
        return node;
    };
    auto readItem = [&](CCompareNode* parent) -> CCompareItem* {
        // The name goes to the storage before the next read, which may move
        // the buffer under the view.
        return in.ReadName(name) ? ReadItem(in, storage, storage.Name(name), parent) : nullptr;
    };
    if (!ReadRecordTree(root, topLevelNodes, m_kind.limit, m_loadMessages, m_pProgress, storage, readNode,
                        readItem) ||
        !FinishLoad(root))
        return false;
    CSnapAppendix& appendix = root == m_tree2.Root() ? m_appendix2 : m_appendix1;
    switch (ReadAppendix(in, m_kind.limit.maxDepth, appendix)) {
    case AppendixRead::None:
        return true;
    case AppendixRead::Read:
        if (!GiveExactParts(root, appendix.exact, storage)) {
            m_loadMessages.Note(kAppendixDamaged);
            return false;
        }
        // The tree holds them now; whether the files were hashed, and up to
        // which size, stays told.
        {
            CExactParts told;
            told.hashed = appendix.exact.hashed;
            told.hashLimit = appendix.exact.hashLimit;
            appendix.exact = std::move(told);
        }
        return true;
    case AppendixRead::Damaged:
        m_loadMessages.Note(kAppendixDamaged);
        return false;
    case AppendixRead::Newer:
        m_loadMessages.Note(kAppendixNewer);
        return false;
    }
    return false;
}

std::string CodePageNote(const CSnapAppendix& first, const CSnapAppendix& second, uint32_t systemCodePage)
{
    if (first.present && second.present)
        return std::string();  // compared in exact forms
    for (const CSnapAppendix* told : {&first, &second}) {
        if (!told->present || told->codePage == 0 || told->codePage == systemCodePage)
            continue;
        const int number = told == &first ? 1 : 2;
        return "Note - Snap shot " + std::to_string(number) + " was taken under code page " +
               std::to_string(told->codePage) + ", this computer uses code page " + std::to_string(systemCodePage) +
               ", and snap shot " + std::to_string(3 - number) +
               " does not say which it was taken under: names with characters beyond ASCII may not match.";
    }
    return std::string();
}

std::string NoPlaceInCommon(const CSnapAppendix& first, const CSnapAppendix& second)
{
    std::string text = "ERROR: The two snap shots recorded no place in common, so nothing can be compared.";
    int number = 1;
    for (const CSnapAppendix* appendix : {&first, &second}) {
        text += "\n\nSnap shot " + std::to_string(number++) + " holds only:";
        for (const SnapPlacePath& place : appendix->places)
            text += "\n" + PlacePathText(place);
    }
    return text;
}

void CCompareMine::SetStatus(const char* text)
{
    if (!m_pProgress)
        return;
    m_pProgress->SetStatusText(text);
    m_pProgress->Refresh(true);
}

bool CCompareMine::Compare(IProgress* progress, IInputFile& file1, IInputFile& file2)
{
    // The progress window goes when the run ends; the engine, which the
    // frame keeps as the result, must not keep pointing at it.
    struct ForgetProgress {
        IProgress*& progress;
        ~ForgetProgress() { progress = nullptr; }
    } forget{m_pProgress};
    m_pProgress = progress;
    if (progress)
        progress->BarSetStep(m_kind.progressStep(PeekNodeCount(file1), PeekNodeCount(file2)));
    CreateRoots();
    m_appendix1 = m_appendix2 = CSnapAppendix();
    m_scope = CCompareScope();
    m_exactness = Exactness::Recorded;
    CCompareNode* root1 = m_tree1.Root();
    CCompareNode* root2 = m_tree2.Root();

    SetStatus("Reading snap shot 1 into memory...");
    if (!Load(file1, root1)) {
        m_messages.Error(kReadErrorFile1);
        return false;
    }
    SetStatus("Reading snap shot 2 into memory...");
    if (!Load(file2, root2)) {
        m_messages.Error(kReadErrorFile2);
        return false;
    }

    // Outside what both snapshots recorded nothing was added or removed.
    m_scope = CCompareScope::Between(m_appendix1, m_appendix2);
    if (m_scope.Empty()) {
        m_messages.Error(NoPlaceInCommon(m_appendix1, m_appendix2));
        return false;
    }
    m_scope.Trim(*root1);
    m_scope.Trim(*root2);

    // Two files that keep what their records could not hold are compared
    // in exact forms; any other pair as the records hold them.
    m_exactness = m_appendix1.present && m_appendix2.present ? Exactness::Exact : Exactness::Recorded;
    const std::string codePages = CodePageNote(m_appendix1, m_appendix2, SystemCodePage());
    if (!codePages.empty())
        m_messages.Note(codePages);
    if (m_exactness == Exactness::Exact) {
        const bool samePage = m_appendix1.codePage == m_appendix2.codePage;
        GiveCodePageForms(root1, m_appendix1.codePage, m_tree1.Storage(), !samePage);
        GiveCodePageForms(root2, m_appendix2.codePage, m_tree2.Storage(), !samePage);
    }

    SetStatus("Comparing snapshot 1 against snapshot 2...");
    PairTrees(root1, root2, m_pProgress, m_exactness);
    SetStatus("Comparing snapshot 2 against snapshot 1...");
    PairTrees(root2, root1, m_pProgress, m_exactness);
    SettlePairs();
    if (m_bMarkTwins) {
        MarkTwins(root1, m_exactness);
        MarkTwins(root2, m_exactness);
    }

    SetStatus("Removing identicals...");
    RemoveIdenticals(root1);
    RemoveIdenticals(root2);
    m_tree1.Compact();
    m_tree2.Compact();

    SetStatus("Comparison complete.");
    return true;
}
