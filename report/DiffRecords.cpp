#include "report/DiffRecords.h"

#include "report/ExactText.h"

#include "compare/TreeListing.h"

const char* DiffEntryKindName(DiffEntryKind kind)
{
    switch (kind) {
    case DiffEntryKind::Folder: return "folder";
    case DiffEntryKind::File: return "file";
    case DiffEntryKind::Key: return "key";
    case DiffEntryKind::Value: return "value";
    }
    return "";
}

const char* DiffChangeName(DiffChange change)
{
    switch (change) {
    case DiffChange::Removed: return "removed";
    case DiffChange::Added: return "added";
    case DiffChange::Changed: return "changed";
    }
    return "";
}

std::string RecordPathUtf8(const CDiffRecord& record)
{
    if (record.node)
        return EntryPathUtf8(*record.node);
    return EntryPathUtf8(record.before ? *record.before : *record.after);
}

void ForEachDifference(const CCompareMine& mine, SnapKind kind,
                       const std::function<void(const CDiffRecord&)>& visit)
{
    const bool registry = kind == SnapKind::Registry;
    for (int side = 1; side <= 2; ++side) {
        const CCompareNode* root = side == 1 ? mine.GetRoot1() : mine.GetRoot2();
        const DiffChange only = side == 1 ? DiffChange::Removed : DiffChange::Added;
        WalkTree(
            *root,
            [&](const CCompareNode& node, unsigned) {
                if (node.GetState() != csUnique)
                    return true;
                CDiffRecord record{registry ? DiffEntryKind::Key : DiffEntryKind::Folder, only,
                                   EntryPath(node)};
                record.node = &node;
                record.nodesHeld = node.CountNodes();
                WalkTree(
                    node, [](const CCompareNode&, unsigned) { return true; },
                    [&](const CCompareItem&, unsigned) { ++record.itemsHeld; });
                visit(record);
                return false;  // its contents are part of this one difference
            },
            [&](const CCompareItem& item, unsigned) {
                const bool unique = item.GetState() == csUnique;
                if (!unique && !(side == 1 && item.GetState() == csChanged && item.GetOpposite()))
                    return;
                CDiffRecord record{registry ? DiffEntryKind::Value : DiffEntryKind::File,
                                   unique ? only : DiffChange::Changed, EntryPath(item)};
                record.before = side == 1 ? &item : item.GetOpposite();
                record.after = side == 2 ? &item : item.GetOpposite();  // null when unique
                visit(record);
            });
    }
}

CDiffSummary SummarizeDifferences(const CCompareMine& mine, SnapKind kind)
{
    CDiffSummary summary;
    ForEachDifference(mine, kind, [&](const CDiffRecord& record) {
        switch (record.change) {
        case DiffChange::Removed: ++summary.removed; break;
        case DiffChange::Added: ++summary.added; break;
        case DiffChange::Changed: ++summary.changed; break;
        }
    });
    return summary;
}
