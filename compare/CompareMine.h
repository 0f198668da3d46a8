// A comparison engine: owns the two trees of a comparison and runs it in a
// fixed order: load snapshot 1, load snapshot 2, pass 1 against 2, pass 2
// against 1, prune tree 1, prune tree 2, with a status text for each step.
// Both kinds of snapshot share the loading (RecordTree.h); a kind supplies
// its names and words as data (CSnapKind) and reads its header and its item
// records. It reports only through the progress and message interfaces it
// is given.
//
// A snapshot file is untrusted input. Its counts are never believed ahead of
// the records: every node and item is created for a record actually read, a
// short read fails the load, and nesting deeper than the kind allows is
// refused with a message.
#pragma once

#include "compare/CompareNode.h"
#include "compare/CompareScope.h"
#include "compare/CompareTree.h"
#include "compare/RecordTree.h"
#include "compare/SnapReader.h"
#include "seams/Progress.h"
#include "seams/SnapFile.h"
#include "seams/UserMessages.h"
#include "snapshot/SnapAppendix.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What tells one kind of snapshot from the other, as data.
struct CSnapKind {
    uint16_t version;           // the file's first word
    const char* notASnapshot;   // the note that refuses a file of another version
    const char* rootNames[2];   // of the trees of snapshot 1 and 2
    const char* nodeWord;       // "folders": how the counts name nodes
    const char* itemWord;       // and items
    RecordTreeLimit limit;
    // The share of the bar that one node record advances, from the node
    // counts of the two files' headers.
    float (*progressStep)(uint32_t count1, uint32_t count2);
};

class CCompareMine {
public:
    // loadMessages: where the loader refuses a file.
    CCompareMine(const CSnapKind& kind, IUserMessages& messages, IUserMessages& loadMessages)
        : m_kind(kind), m_messages(messages), m_loadMessages(loadMessages)
    {
    }
    virtual ~CCompareMine() = default;
    CCompareMine(const CCompareMine&) = delete;
    CCompareMine& operator=(const CCompareMine&) = delete;

    // The whole run on two open snapshot files. A file that cannot be read
    // is reported ("ERROR: Error while reading file 1." or 2) and makes it
    // return false; the trees loaded so far stay until the engine is deleted.
    // progress may be null.
    virtual bool Compare(IProgress* progress, IInputFile& file1, IInputFile& file2);
    // Reads one snapshot file, positioned at its start, into root, one of
    // the roots CreateRoots made, in that root's tree, and what its appendix
    // says of it.
    bool Load(IInputFile& file, CCompareNode* root);
    // Starts both trees afresh with their empty roots.
    void CreateRoots();
    // "1234 folders", "12 values".
    void FormatNodeCount(std::string& out, unsigned long count) const;
    void FormatItemCount(std::string& out, unsigned long count) const;

    // Whether the next comparisons mark the entries that have a sibling of a
    // matching name (MarkTwins), for whoever must not take one such entry
    // for another.
    void SetMarkTwins(bool mark) { m_bMarkTwins = mark; }

    // What the files' appendices say of snapshot 1 and 2 (nothing, for a file
    // written before files carried one), and what the comparison compared:
    // what both recorded.
    const CSnapAppendix& Appendix1() const { return m_appendix1; }
    const CSnapAppendix& Appendix2() const { return m_appendix2; }
    const CCompareScope& Scope() const { return m_scope; }
    // Which forms the comparison compared: the exact ones when both files
    // carry an appendix.
    Exactness GetExactness() const { return m_exactness; }

    CCompareNode* GetRoot1() const { return m_tree1.Root(); }
    CCompareNode* GetRoot2() const { return m_tree2.Root(); }
    // Bytes of the blocks that hold both trees now.
    uint64_t StorageBytes() const { return m_tree1.StorageBytes() + m_tree2.StorageBytes(); }

protected:
    // Reads the header after the version word; topLevelNodes: how many node
    // records lie directly below the root. False when it is cut short.
    virtual bool ReadHeader(CSnapReader& in, uint32_t& topLevelNodes) = 0;
    // A node of the kind, placed in storage.
    virtual CCompareNode* PlaceNode(CTreeStorage& storage, std::string_view name, CCompareNode* parent) const = 0;
    // Reads the rest of an item record, after its name, into storage; null
    // when it is cut short or refused (noted).
    virtual CCompareItem* ReadItem(CSnapReader& in, CTreeStorage& storage, CCompareName name,
                                   CCompareNode* parent) = 0;
    // After the last record: false, noted, when the tree contradicts the header.
    virtual bool FinishLoad(CCompareNode* root) = 0;
    // Runs after both passes, before the pruning: a kind may count more of
    // the paired entries as changed there.
    virtual void SettlePairs() {}
    // A copy of item, placed in storage, with the string data as the registry
    // held them, or with the high half of a file's size and its hash entry
    // (either may be absent); null when the item is of a kind that has none.
    virtual CCompareItem* PlaceWithExactData(CTreeStorage& storage, const CCompareItem& item,
                                             const std::vector<uint8_t>& data) const;
    virtual CCompareItem* PlaceWithFileParts(CTreeStorage& storage, const CCompareItem& item, uint32_t high,
                                             const CFileHash* hash) const;
    // A copy of item with its string data read from codePage as exact data,
    // when its stored data are not ASCII and it has none; null otherwise.
    virtual CCompareItem* PlaceWithCodePageData(CTreeStorage& storage, const CCompareItem& item,
                                                uint32_t codePage) const;

    IUserMessages& LoadMessages() const { return m_loadMessages; }
    void SetStatus(const char* text);

    IProgress* m_pProgress = nullptr;

private:
    // Gives the entries of root's tree, loaded from a file, what its records
    // could not hold; false when an entry of parts names no record of the
    // file, or one of the wrong kind.
    bool GiveExactParts(CCompareNode* root, const CExactParts& parts, CTreeStorage& storage) const;
    // For a comparison of exact forms: gives every entry of root's tree whose
    // recorded name is not ASCII and has no exact form the name read from
    // codePage, the file's; withData (the two files' code pages differ),
    // string data likewise.
    void GiveCodePageForms(CCompareNode* root, uint32_t codePage, CTreeStorage& storage, bool withData) const;

    const CSnapKind& m_kind;
    CCompareTree m_tree1;
    CCompareTree m_tree2;
    CSnapAppendix m_appendix1, m_appendix2;
    CCompareScope m_scope;
    Exactness m_exactness = Exactness::Recorded;
    IUserMessages& m_messages;
    IUserMessages& m_loadMessages;
    bool m_bMarkTwins = false;
};

// Texts of the comparison run.
extern const char* const kReadErrorFile1;
extern const char* const kReadErrorFile2;
// Shown by whoever started the run when it returned false.
extern const char* const kComparisonFailed;
// Shown when two snapshots of chosen places share none; the places of 1 and
// of 2 follow.
std::string NoPlaceInCommon(const CSnapAppendix& first, const CSnapAppendix& second);
// Shown when one snapshot says it was taken under a code page other than this
// computer's and the other, of 2.0.0.1 or earlier, does not say: its names
// are read in this computer's. Empty when there is nothing to tell.
std::string CodePageNote(const CSnapAppendix& first, const CSnapAppendix& second, uint32_t systemCodePage);
// Shown when the trees of the two snapshots do not fit into memory.
extern const char* const kCompareOutOfMemory;
