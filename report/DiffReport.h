// What corvane-diff prints about a finished comparison: the two pruned trees
// entry by entry, or a report with one line per difference.
#pragma once

#include "compare/CompareItem.h"
#include "compare/CompareMine.h"
#include "compare/CompareNode.h"
#include "compare/RegTypes.h"
#include "compare/TreeListing.h"
#include "report/DiffRecords.h"
#include "report/TextSink.h"

#include <cstdint>
#include <string>

// Describes the items of one kind of snapshot for the report.
class IItemDescriber {
public:
    virtual ~IItemDescriber() = default;
    // What is known of an item found in one tree only, e.g. "12 bytes".
    virtual std::string Describe(const CCompareItem& item) const = 0;
    // What differs between an item and its changed counterpart.
    virtual std::string DescribeChange(const CCompareItem& item1, const CCompareItem& item2) const = 0;
};

class CFSFileDescriber : public IItemDescriber {
public:
    std::string Describe(const CCompareItem& item) const override;
    std::string DescribeChange(const CCompareItem& item1, const CCompareItem& item2) const override;
};

// A registry value: its type and data size; a change names what differs of
// type, size and data (data of equal bytes are not named).
class CRegValDescriber : public IItemDescriber {
public:
    std::string Describe(const CCompareItem& item) const override;
    std::string DescribeChange(const CCompareItem& item1, const CCompareItem& item2) const override;
};

// One line per difference with its full path, shown as AppendShownName shows
// names: what exists in one snapshot only (a folder once, with the count of
// what it holds), and what changed. When the snapshots recorded chosen
// places, a line "compared:  PLACE\" for each place both recorded comes first.
// utf8: paths in UTF-8, exact where the entries have exact names; in the
// ANSI code page as recorded otherwise.
void ChangeReport(const CCompareMine& mine, SnapKind kind, const IItemDescriber& describer,
                  CTextSink& out, bool utf8 = false);

// "2015-03-03 14:05:09.0000000 UTC", or the raw number when it has no date.
std::string FormatUtcFileTime(uint64_t fileTime);
