#include "report/DiffReport.h"

#include "compare/FSFile.h"
#include "compare/FileProperties.h"
#include "compare/RegVal.h"
#include "compare/TreeListing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

std::string FormatUtcFileTime(uint64_t fileTime)
{
    CCalendarTime t;
    char text[64];
    if (!FileTimeToCalendar(fileTime, t)) {
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(fileTime));
        return text;
    }
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%07u UTC", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, static_cast<unsigned>(fileTime % 10000000));
    return text;
}

std::string CFSFileDescriber::Describe(const CCompareItem& item) const
{
    const CFSFile& file = static_cast<const CFSFile&>(item);
    return FormatSizeText(file.GetWholeSize()) + ", modified " + FormatUtcFileTime(file.GetModified());
}

std::string CFSFileDescriber::DescribeChange(const CCompareItem& item1,
                                             const CCompareItem& item2) const
{
    const CFSFile& a = static_cast<const CFSFile&>(item1);
    const CFSFile& b = static_cast<const CFSFile&>(item2);
    std::vector<std::string> changes;
    if (a.GetWholeSize() != b.GetWholeSize())
        changes.push_back("size " + FormatSizeText(a.GetWholeSize()) + " -> " + FormatSizeText(b.GetWholeSize()));
    if (a.GetCreated() != b.GetCreated())
        changes.push_back("created " + FormatUtcFileTime(a.GetCreated()) + " -> " +
                          FormatUtcFileTime(b.GetCreated()));
    if (a.GetModified() != b.GetModified())
        changes.push_back("modified " + FormatUtcFileTime(a.GetModified()) + " -> " +
                          FormatUtcFileTime(b.GetModified()));
    if (a.GetSha256() && b.GetSha256() && std::memcmp(a.GetSha256(), b.GetSha256(), kSha256Size) != 0)
        changes.push_back("content");
    std::string text;
    for (const std::string& change : changes)
        text += (text.empty() ? "" : "; ") + change;
    return text;
}

namespace {

// Data this short are shown byte by byte when they change.
constexpr uint32_t kShownDataLimit = 16;

std::string HexBytes(const CRegVal& value)
{
    if (value.GetDataSize() == 0)
        return "(no data)";
    std::string text;
    char group[4];
    for (uint32_t i = 0; i < value.GetDataSize(); ++i) {
        std::snprintf(group, sizeof group, i == 0 ? "%02X" : " %02X", value.GetData()[i]);
        text += group;
    }
    return text;
}

}  // namespace

std::string CRegValDescriber::Describe(const CCompareItem& item) const
{
    const CRegVal& value = static_cast<const CRegVal&>(item);
    return RegTypeName(value.GetType()) + ", " + FormatSizeText(value.GetDataSize());
}

std::string CRegValDescriber::DescribeChange(const CCompareItem& item1,
                                             const CCompareItem& item2) const
{
    const CRegVal& a = static_cast<const CRegVal&>(item1);
    const CRegVal& b = static_cast<const CRegVal&>(item2);
    std::vector<std::string> changes;
    if (a.GetType() != b.GetType())
        changes.push_back("type " + RegTypeName(a.GetType()) + " -> " + RegTypeName(b.GetType()));
    if (a.GetDataSize() != b.GetDataSize())
        changes.push_back("size " + FormatSizeText(a.GetDataSize()) + " -> " +
                          FormatSizeText(b.GetDataSize()));
    const bool sameData = a.GetDataSize() == b.GetDataSize() &&
                          std::equal(a.GetData(), a.GetData() + a.GetDataSize(), b.GetData());
    const bool sameExactData = a.HasExactData() == b.HasExactData() &&
                               a.GetExactDataSize() == b.GetExactDataSize() &&
                               std::equal(a.GetExactData(), a.GetExactData() + a.GetExactDataSize(), b.GetExactData());
    if (sameData && !sameExactData) {
        // Recorded alike, the code page standing in for what differs.
        changes.push_back("data differ in characters the code page cannot hold");
    } else if (sameData) {
        // A change of type alone, counted as one with --types.
    } else if (a.GetDataSize() <= kShownDataLimit && b.GetDataSize() <= kShownDataLimit) {
        changes.push_back("data " + HexBytes(a) + " -> " + HexBytes(b));
    } else {
        uint32_t common = a.GetDataSize() < b.GetDataSize() ? a.GetDataSize() : b.GetDataSize();
        uint32_t at = 0;
        while (at < common && a.GetData()[at] == b.GetData()[at])
            ++at;
        if (at < common)
            changes.push_back("data differ from byte " + std::to_string(at));
    }
    std::string text;
    for (const std::string& change : changes)
        text += (text.empty() ? "" : "; ") + change;
    return text;
}

void ChangeReport(const CCompareMine& mine, SnapKind kind, const IItemDescriber& describer,
                  CTextSink& out, bool utf8)
{
    std::string folders, items, line;
    // Snapshots of chosen places: what was compared comes first.
    for (const std::string& place : mine.Scope().Paths()) {
        line = "compared:  ";
        AppendShownName(line, place);
        out << line << "\\\n";
    }
    ForEachDifference(mine, kind, [&](const CDiffRecord& record) {
        line = record.change == DiffChange::Changed ? "changed:   "
               : record.change == DiffChange::Removed ? "only in 1: "
                                                      : "only in 2: ";
        AppendShownName(line, utf8 ? RecordPathUtf8(record) : record.path);
        if (record.node) {
            mine.FormatNodeCount(folders, static_cast<unsigned long>(record.nodesHeld));
            mine.FormatItemCount(items, static_cast<unsigned long>(record.itemsHeld));
            line += "\\ (holding " + folders + ", " + items + ")\n";
        } else if (record.change == DiffChange::Changed) {
            line += ": " + describer.DescribeChange(*record.before, *record.after) + "\n";
        } else {
            line += " (" + describer.Describe(record.before ? *record.before : *record.after) + ")\n";
        }
        out << line;
    });
}
