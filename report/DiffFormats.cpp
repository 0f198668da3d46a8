#include "report/DiffFormats.h"

#include "compare/FSFile.h"
#include "compare/FileProperties.h"
#include "compare/RegVal.h"
#include "report/AnsiText.h"
#include "report/DiffReport.h"
#include "report/ExactText.h"

#include <cstdio>
#include <string_view>

std::string IsoFileTime(uint64_t fileTime)
{
    CCalendarTime t;
    if (!FileTimeToCalendar(fileTime, t))
        return std::to_string(fileTime);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%07uZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, static_cast<unsigned>(fileTime % 10000000));
    return text;
}

std::string HexData(const uint8_t* data, uint32_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text(size * size_t{2}, '0');
    for (uint32_t i = 0; i < size; ++i) {
        text[2 * i] = digits[data[i] >> 4];
        text[2 * i + 1] = digits[data[i] & 15];
    }
    return text;
}

namespace {

// The columns that follow kind, path and change, the same for both formats:
// what the engine compares of an entry before and after, then what a folder
// or key found in one snapshot only holds.
struct CColumn {
    const char* name;
    bool number;  // a JSON number rather than a string
};

// The hash column follows the three of a file only where a snapshot was
// taken with hashes.
const CColumn kFileColumns[] = {{"size", true}, {"created", false}, {"modified", false}, {"sha256", false}};
const CColumn kValueColumns[] = {{"type", false}, {"size", true}, {"data", false}};

int ColumnCount(const CDiffOutput& diff)
{
    if (diff.kind == SnapKind::Registry)
        return 3;
    return diff.mine.Appendix1().exact.hashed || diff.mine.Appendix2().exact.hashed ? 4 : 3;
}

// The fields of an item for kFileColumns or kValueColumns; a file's hash is
// empty where it has none.
std::vector<std::string> ItemFields(const CCompareItem& item, SnapKind kind)
{
    if (kind == SnapKind::FileSystem) {
        const CFSFile& file = static_cast<const CFSFile&>(item);
        return {std::to_string(file.GetWholeSize()), IsoFileTime(file.GetCreated()),
                IsoFileTime(file.GetModified()), file.GetSha256() ? Sha256Hex(file.GetSha256()) : std::string()};
    }
    // String data that the record holds only in the code page's stand-ins
    // are given as the registry held them: UTF-16 bytes.
    const CRegVal& value = static_cast<const CRegVal&>(item);
    if (value.HasExactData())
        return {RegTypeName(value.GetType()), std::to_string(value.GetExactDataSize()),
                HexData(value.GetExactData(), value.GetExactDataSize())};
    return {RegTypeName(value.GetType()), std::to_string(value.GetDataSize()),
            HexData(value.GetData(), value.GetDataSize())};
}

const char* NodesHeldName(SnapKind kind)
{
    return kind == SnapKind::FileSystem ? "folders_held" : "keys_held";
}

const char* ItemsHeldName(SnapKind kind)
{
    return kind == SnapKind::FileSystem ? "files_held" : "values_held";
}

// Spreadsheets evaluate a cell that begins with one of these, so such a
// field gets a single quote in front, which they take for "show as text".
bool LooksLikeFormula(const std::string& text)
{
    return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
}

std::string CsvField(const std::string& text)
{
    std::string field = LooksLikeFormula(text) ? "'" + text : text;
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

}  // namespace

std::string JsonString(const std::string& utf8)
{
    std::string text = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': text += "\\\""; break;
        case '\\': text += "\\\\"; break;
        case '\n': text += "\\n"; break;
        case '\r': text += "\\r"; break;
        case '\t': text += "\\t"; break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                text += escape;
            } else {
                text += static_cast<char>(c);
            }
        }
    }
    return text + "\"";
}

void CsvReport(const CDiffOutput& diff, CTextSink& out)
{
    const CColumn* columns = diff.kind == SnapKind::FileSystem ? kFileColumns : kValueColumns;
    const int count = ColumnCount(diff);
    std::string text = "\xEF\xBB\xBFkind,path,change";
    for (int i = 0; i < count; ++i)
        text += std::string(",") + columns[i].name + "_before," + columns[i].name + "_after";
    text += std::string(",") + NodesHeldName(diff.kind) + "," + ItemsHeldName(diff.kind) + "\r\n";
    out << text;

    ForEachDifference(diff.mine, diff.kind, [&](const CDiffRecord& record) {
        text = DiffEntryKindName(record.kind);
        text += "," + CsvField(RecordPathUtf8(record)) + "," + DiffChangeName(record.change);
        std::vector<std::string> before(4), after(4);
        if (record.before)
            before = ItemFields(*record.before, diff.kind);
        if (record.after)
            after = ItemFields(*record.after, diff.kind);
        for (int i = 0; i < count; ++i)
            text += "," + CsvField(before[i]) + "," + CsvField(after[i]);
        if (record.node)
            text += "," + std::to_string(record.nodesHeld) + "," + std::to_string(record.itemsHeld);
        else
            text += ",,";
        text += "\r\n";
        out << text;
    });
}

namespace {

std::string JsonItem(const CCompareItem* item, SnapKind kind)
{
    if (!item)
        return "null";
    const CColumn* columns = kind == SnapKind::FileSystem ? kFileColumns : kValueColumns;
    std::vector<std::string> fields = ItemFields(*item, kind);
    std::string text = "{";
    if (kind == SnapKind::Registry)
        text += "\"type_number\": " + std::to_string(static_cast<const CRegVal*>(item)->GetType()) + ", ";
    for (int i = 0; i < 3; ++i) {
        text += std::string(i ? ", " : "") + "\"" + columns[i].name + "\": ";
        text += columns[i].number ? fields[i] : JsonString(fields[i]);
    }
    // A file of a snapshot taken with hashes: its hash, or why it has none.
    if (kind == SnapKind::FileSystem) {
        const CFSFile& file = static_cast<const CFSFile&>(*item);
        if (file.GetSha256())
            text += ", \"sha256\": " + JsonString(fields[3]);
        else if (file.HashKnown())
            text += std::string(", \"not_hashed\": ") + JsonString(HashMarkReason(file.GetHashMark()));
    }
    return text + "}";
}

std::string JsonSource(const CSnapshotSource& source)
{
    return "{\"file\": " + JsonString(AnsiToUtf8(source.name)) +
           ", \"date\": " + JsonString(source.date) + "}";
}

}  // namespace

void JsonReport(const CDiffOutput& diff, CTextSink& out)
{
    CDiffSummary summary = SummarizeDifferences(diff.mine, diff.kind);
    std::string text = "{\n";
    text += std::string("  \"kind\": \"") +
            (diff.kind == SnapKind::FileSystem ? "file system" : "registry") + "\",\n";
    text += "  \"snapshot1\": " + JsonSource(diff.first) + ",\n";
    text += "  \"snapshot2\": " + JsonSource(diff.second) + ",\n";
    // Snapshots of chosen places: the places both recorded, which alone were compared.
    if (!diff.mine.Scope().Whole()) {
        text += "  \"compared\": [";
        const std::vector<std::string>& places = diff.mine.Scope().Paths();
        for (size_t i = 0; i < places.size(); ++i)
            text += (i ? ", " : "") + JsonString(AnsiToUtf8(places[i]));
        text += "],\n";
    }
    text += "  \"summary\": {\"removed\": " + std::to_string(summary.removed) +
            ", \"added\": " + std::to_string(summary.added) +
            ", \"changed\": " + std::to_string(summary.changed) +
            ", \"total\": " + std::to_string(summary.Total()) + "},\n";
    text += "  \"differences\": [";
    out << text;
    bool first = true;
    ForEachDifference(diff.mine, diff.kind, [&](const CDiffRecord& record) {
        text = first ? "\n    {" : ",\n    {";
        first = false;
        text += std::string("\"kind\": \"") + DiffEntryKindName(record.kind) + "\", ";
        text += "\"path\": " + JsonString(RecordPathUtf8(record)) + ", ";
        text += std::string("\"change\": \"") + DiffChangeName(record.change) + "\", ";
        if (record.node) {
            text += std::string("\"") + NodesHeldName(diff.kind) + "\": " +
                    std::to_string(record.nodesHeld) + ", \"" + ItemsHeldName(diff.kind) +
                    "\": " + std::to_string(record.itemsHeld) + "}";
        } else {
            text += "\"before\": " + JsonItem(record.before, diff.kind) +
                    ", \"after\": " + JsonItem(record.after, diff.kind) + "}";
        }
        out << text;
    });
    out << (first ? "]\n}\n" : "\n  ]\n}\n");
}
