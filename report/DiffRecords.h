// The differences of a finished comparison one by one, as every output format
// of corvane-diff lists them: a folder or key found in one snapshot only is one
// difference (with the count of what it holds), so is a file or value found in
// one snapshot only, and so is a file or value that changed.
#pragma once

#include "compare/CompareItem.h"
#include "compare/CompareMine.h"
#include "compare/CompareNode.h"

#include <cstdint>
#include <functional>
#include <string>

enum class SnapKind { FileSystem, Registry };

enum class DiffEntryKind { Folder, File, Key, Value };
// Removed: only in snapshot 1; added: only in snapshot 2.
enum class DiffChange { Removed, Added, Changed };

// "folder", "file", "key", "value"; "removed", "added", "changed".
const char* DiffEntryKindName(DiffEntryKind kind);
const char* DiffChangeName(DiffChange change);

struct CDiffRecord {
    DiffEntryKind kind;
    DiffChange change;
    std::string path;  // as the report prints it, without a folder's closing backslash
    // A folder or key: the node, in the tree that holds it, and what is below it.
    const CCompareNode* node = nullptr;
    uint64_t nodesHeld = 0, itemsHeld = 0;
    // A file or value: its state in snapshot 1 and in snapshot 2, null where it
    // does not exist.
    const CCompareItem* before = nullptr;
    const CCompareItem* after = nullptr;
};

// Calls visit for every difference in the report's order: tree 1 first (what
// was removed and what changed), then tree 2 (what was added), each in the
// results views' order.
void ForEachDifference(const CCompareMine& mine, SnapKind kind,
                       const std::function<void(const CDiffRecord&)>& visit);

// The record's path in UTF-8, exact where its entries have exact names.
std::string RecordPathUtf8(const CDiffRecord& record);

struct CDiffSummary {
    uint64_t removed = 0, added = 0, changed = 0;
    uint64_t Total() const { return removed + added + changed; }
};
CDiffSummary SummarizeDifferences(const CCompareMine& mine, SnapKind kind);
