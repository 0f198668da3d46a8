// corvane-diff's HTML page: both pruned trees side by side as the results
// views show them. An entry is drawn in its side's colour (red on the left,
// cyan on the right) when it exists in that snapshot only or lies inside a
// folder or key that does; everything else is plain, folders yellow. Folders
// and keys are <details> elements that the reader opens and closes; the page
// needs no script and nothing from outside itself.
#include "compare/CompareState.h"
#include "compare/FSFile.h"
#include "compare/RegTypes.h"
#include "compare/RegVal.h"
#include "compare/TreeListing.h"
#include "report/AnsiText.h"
#include "report/ExactText.h"
#include "report/DiffFormats.h"
#include "report/DiffReport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// The pictures of the views' trees, drawn with CSS: a folder yellow, a file
// white, a registry value a tag whose glyphs tell its type; an entry of one
// snapshot only has a checker of its side's colour and white instead, as the
// 16-colour icons have. The trees take the height they need and the page
// scrolls, which every browser, old ones too, lays out the same.
const char kStyle[] = R"(
:root{color-scheme:light}
html,body{margin:0}
body{font:13px/1.45 Tahoma,Verdana,"Segoe UI",sans-serif;color:#000;background:#fff}
header{padding:8px 12px 6px;background:#ece9d8;border-bottom:1px solid #aca899}
h1{font-size:15px;margin:0 0 4px}
.sources{border-collapse:collapse}
.sources th{text-align:left;font-weight:normal;padding:0 12px 0 0}
.sources td{padding:0 12px 0 0}
.sources .file{font-weight:bold;word-break:break-all}
.counts{margin:6px 0 0}
.counts>span{display:inline-block;margin-right:18px;white-space:nowrap}
.note{margin:6px 0 0;font-weight:bold}
main{display:flex;align-items:flex-start;gap:10px;padding:6px;background:#ece9d8}
.tree{flex:1 1 0;min-width:0;overflow-x:auto;padding:3px 6px;background:#fff;border:1px solid #7f9db9;white-space:nowrap}
.tree h2{font-size:12px;font-weight:normal;color:#555;margin:0 0 2px}
.tree details details,.tree details>.i{margin-left:19px}
.tree summary{cursor:pointer}
.tree summary:focus-visible{outline:1px dotted #000}
.tree .empty>summary{list-style:none;cursor:default}
.tree .empty>summary::-webkit-details-marker{display:none}
.tree .empty>summary::before{content:"";display:inline-block;width:1.1em}
.tree .i{padding-left:1.1em}
.n{white-space:pre}
small{color:#555;margin-left:8px;font-size:11px}
.p{display:inline-block;box-sizing:border-box;vertical-align:-2px;margin-right:4px;border:1px solid #000;box-shadow:1px 1px 0 #808080;background:#fff}
summary>.p,.counts .f{width:15px;height:11px;border-radius:2px 2px 0 0;background:#ff0}
details[open]>summary>.p{box-shadow:inset 0 3px 0 #808000,1px 1px 0 #808080}
.d{width:11px;height:13px}
.v{width:16px;height:12px;border-radius:6px 1px 1px 6px;font:bold 7px/10px Verdana,sans-serif;text-align:center;letter-spacing:-.5px}
.v.t::before{content:"ab";color:#800000}
.v.b::before{content:"01";color:#00f}
.v.m::before{content:"12";color:#008000}
.left .only>.p,.left .only>summary>.p{background:#ff8080;background:repeating-conic-gradient(#f00 0 25%,#fff 0 50%) 0 0/2px 2px}
.right .only>.p,.right .only>summary>.p{background:#80ffff;background:repeating-conic-gradient(#0ff 0 25%,#fff 0 50%) 0 0/2px 2px}
.left details.only[open]>summary>.p{box-shadow:inset 0 3px 0 #800000,1px 1px 0 #808080}
.right details.only[open]>summary>.p{box-shadow:inset 0 3px 0 #008080,1px 1px 0 #808080}
@media print{main{display:block;background:none}.tree{overflow:visible;border:0;margin-bottom:12px}}
)";

// What is escaped where any text goes into the page, text or attribute value.
void AppendEscaped(std::string& out, char c)
{
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    case '\'': out += "&#39;"; break;
    default: out += c; break;
    }
}

constexpr uint32_t kReplacement = 0xFFFD;

// Characters that HTML forbids in a page even as references: the control
// characters (C0, DEL, C1) and the noncharacters. A snapshot's names may hold
// any byte, so these are shown instead of dropped: a C0 control or DEL as its
// picture from the Control Pictures block, everything else as U+FFFD.
uint32_t ShownCharacter(uint32_t code)
{
    if (code < 0x20)
        return 0x2400 + code;
    if (code == 0x7F)
        return 0x2421;
    if ((code >= 0x80 && code <= 0x9F) || (code >= 0xD800 && code <= 0xDFFF) ||
        (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE || code > 0x10FFFF)
        return kReplacement;
    return code;
}

// Appends UTF-8 text escaped for the page; a malformed sequence, which the
// converters never make, becomes U+FFFD byte by byte.
void AppendHtml(std::string& out, std::string_view utf8)
{
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && i + length <= utf8.size();
        for (size_t k = 1; valid && k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong three- and four-byte forms.
        valid = valid && !(length == 3 && code < 0x800) && !(length == 4 && code < 0x10000);
        if (!valid) {
            AppendUtf8(out, kReplacement);
            ++i;
            continue;
        }
        uint32_t shown = ShownCharacter(code);
        if (shown == code && code >= 0x80)
            out.append(utf8.substr(i, length));
        else if (shown < 0x80)
            AppendEscaped(out, static_cast<char>(shown));
        else
            AppendUtf8(out, shown);
        i += length;
    }
}

// Text in the ANSI code page: a name from a snapshot or a command line.
void AppendAnsi(std::string& out, std::string_view ansi)
{
    AppendHtml(out, AnsiToUtf8(ansi));
}

// "12,345": counts of tens of thousands stay readable.
std::string Grouped(uint64_t number)
{
    std::string digits = std::to_string(number);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

const char* StateClass(CompareState state)
{
    switch (state) {
    case csIdentical: return "identical";
    case csUnique: return "unique";
    case csChanged: return "changed";
    default: return "uncompared";
    }
}

// The glyph class of a registry value's tag: the picture the views show it with.
const char* ValueGlyph(uint32_t type)
{
    switch (RegTypeOf(type).picture) {
    case RegValuePicture::Text: return "t";
    case RegValuePicture::Number: return "m";
    default: return "b";
    }
}

struct CHeldCount {
    uint64_t nodes = 0, items = 0;
};

class CHtmlPage {
public:
    CHtmlPage(const CDiffOutput& diff, CTextSink& sink)
        : m_diff(diff), m_sink(sink), m_registry(diff.kind == SnapKind::Registry)
    {
        if (m_registry)
            m_describer = std::make_unique<CRegValDescriber>();
        else
            m_describer = std::make_unique<CFSFileDescriber>();
        // What a folder or key of one snapshot only holds, as the report counts it.
        ForEachDifference(diff.mine, diff.kind, [&](const CDiffRecord& record) {
            if (record.node)
                m_held[record.node] = CHeldCount{record.nodesHeld, record.itemsHeld};
        });
    }

    void Write()
    {
        const char* what = m_registry ? "Registry snapshots compared" : "File-system snapshots compared";
        m_out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                 "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                 "<meta name=\"generator\" content=\"Corvane corvane-diff\">\n<title>";
        m_out += what;
        m_out += ": ";
        AppendAnsi(m_out, m_diff.first.name);
        m_out += " and ";
        AppendAnsi(m_out, m_diff.second.name);
        m_out += "</title>\n<style>";
        m_out += kStyle;
        m_out += "</style>\n</head>\n<body>\n<header>\n<h1>Corvane: ";
        m_out += what;
        m_out += "</h1>\n";
        WriteSources();
        WriteCompared();
        WriteCounts();
        m_out += "</header>\n<main>\n";
        WriteTree(*m_diff.mine.GetRoot1(), true);
        WriteTree(*m_diff.mine.GetRoot2(), false);
        m_out += "</main>\n</body>\n</html>\n";
        Emit();
    }

private:
    void WriteSources()
    {
        m_out += "<table class=\"sources\">\n";
        int number = 1;
        for (const CSnapshotSource* source : {&m_diff.first, &m_diff.second}) {
            m_out += "<tr><th>Snapshot " + std::to_string(number) + "</th><td class=\"file\" id=\"file" +
                     std::to_string(number) + "\">";
            AppendAnsi(m_out, source->name);
            m_out += "</td><td class=\"date\" id=\"date" + std::to_string(number) + "\">";
            AppendAnsi(m_out, source->date);
            m_out += "</td></tr>\n";
            ++number;
        }
        m_out += "</table>\n";
    }

    // Snapshots of chosen places: the places both recorded, which alone were compared.
    void WriteCompared()
    {
        if (m_diff.mine.Scope().Whole())
            return;
        m_out += "<p class=\"compared\" id=\"compared\">Compared only what both snap shots recorded:";
        for (const std::string& place : m_diff.mine.Scope().Paths()) {
            m_out += " <span class=\"file\">";
            AppendAnsi(m_out, place);
            m_out += "</span>";
        }
        m_out += "</p>\n";
    }

    // The counts double as the legend: each beside the picture it is drawn with.
    void WriteCounts()
    {
        CDiffSummary summary = SummarizeDifferences(m_diff.mine, m_diff.kind);
        const char* leaf = m_registry ? "p v t" : "p d";
        m_out += "<p class=\"counts\">";
        m_out += "<span class=\"left\"><span class=\"only\"><i class=\"" + std::string(leaf) +
                 "\"></i></span><b id=\"removed\">" + Grouped(summary.removed) +
                 "</b> removed (only in 1)</span>";
        m_out += "<span class=\"right\"><span class=\"only\"><i class=\"" + std::string(leaf) +
                 "\"></i></span><b id=\"added\">" + Grouped(summary.added) + "</b> added (only in 2)</span>";
        m_out += "<span><i class=\"" + std::string(leaf) + "\"></i><b id=\"changed\">" +
                 Grouped(summary.changed) + "</b> changed, plain in both trees</span>";
        m_out += "<span><i class=\"p f\"></i>";
        m_out += m_registry ? "a key" : "a folder";
        m_out += " in both, on the way to a change</span></p>\n";
        if (summary.Total() == 0)
            m_out += "<p class=\"note\">Note - These two snap shots are identical.</p>\n";
    }

    // One tree in the views' order. WalkTree hands out every entry with its
    // depth and no end of a node, so the open <details> are kept on a stack
    // and closed when an entry at their depth or above comes, and at the end.
    void WriteTree(const CCompareNode& root, bool left)
    {
        m_left = left;
        m_out += left ? "<section class=\"tree left\">\n<h2>Snapshot 1</h2>\n"
                      : "<section class=\"tree right\">\n<h2>Snapshot 2</h2>\n";
        std::vector<bool> open;  // per open node: drawn in the side's colour
        auto closeTo = [&](unsigned depth) {
            while (open.size() > depth) {
                m_out += "</details>\n";
                open.pop_back();
            }
        };
        WalkTree(
            root,
            [&](const CCompareNode& node, unsigned depth) {
                closeTo(depth);
                bool only = (!open.empty() && open.back()) || node.GetState() == csUnique;
                WriteNode(node, only);
                open.push_back(only);
                Emit();
                return true;
            },
            [&](const CCompareItem& item, unsigned depth) {
                closeTo(depth);
                WriteItem(item, !open.empty() && open.back());
                Emit();
            });
        closeTo(0);
        m_out += "</section>\n";
    }

    // Hands the text of the entries written so far on.
    void Emit()
    {
        m_sink << m_out;
        m_out.clear();
    }

    // A folder or key of one snapshot only starts closed, like the report's
    // one line for it; the folders on the way to a change start open.
    void WriteNode(const CCompareNode& node, bool only)
    {
        m_out += "<details class=\"";
        m_out += StateClass(node.GetState());
        if (only)
            m_out += " only";
        if (node.IsEmpty())
            m_out += " empty";
        m_out += only ? "\">" : "\" open>";
        m_out += "<summary><i class=\"p\"></i><span class=\"n\">";
        AppendHtml(m_out, DisplayNameUtf8(node));
        m_out += "</span>";
        auto held = m_held.find(&node);
        if (held != m_held.end()) {
            std::string nodes, items;
            m_diff.mine.FormatNodeCount(nodes, static_cast<unsigned long>(held->second.nodes));
            m_diff.mine.FormatItemCount(items, static_cast<unsigned long>(held->second.items));
            m_out += "<small>holding " + nodes + ", " + items + "</small>";
        }
        m_out += "</summary>\n";
    }

    // The title tells what the snapshot recorded of the entry; a changed one
    // also says beside its name what differs, in the report's words.
    void WriteItem(const CCompareItem& item, bool inOnlyBranch)
    {
        CompareState state = item.GetState();
        bool only = inOnlyBranch || state == csUnique;
        m_out += "<div class=\"i ";
        m_out += StateClass(state);
        if (only)
            m_out += " only";
        m_out += "\" title=\"";
        AppendHtml(m_out, Recorded(item));
        m_out += "\"><i class=\"p ";
        m_out += m_registry ? "v " : "d";
        if (m_registry)
            m_out += ValueGlyph(static_cast<const CRegVal&>(item).GetType());
        m_out += "\"></i><span class=\"n\">";
        AppendHtml(m_out, DisplayNameUtf8(item));
        m_out += "</span>";
        if (state == csChanged && item.GetOpposite()) {
            const CCompareItem& before = m_left ? item : *item.GetOpposite();
            const CCompareItem& after = m_left ? *item.GetOpposite() : item;
            m_out += "<small>";
            AppendHtml(m_out, m_describer->DescribeChange(before, after));
            m_out += "</small>";
        }
        m_out += "</div>\n";
    }

    // A file's size and both times; a value's type and size.
    std::string Recorded(const CCompareItem& item) const
    {
        if (m_registry)
            return m_describer->Describe(item);
        const CFSFile& file = static_cast<const CFSFile&>(item);
        std::string text = FormatSizeText(file.GetWholeSize()) + ", created " +
                           FormatUtcFileTime(file.GetCreated()) + ", modified " + FormatUtcFileTime(file.GetModified());
        if (file.HashKnown())
            text += file.GetSha256() ? ", SHA-256 " + file.GetHashText() : ", " + file.GetHashText();
        return text;
    }

    const CDiffOutput& m_diff;
    CTextSink& m_sink;
    std::string m_out;  // what is not yet handed on
    const bool m_registry;
    bool m_left = true;  // the tree being written
    std::unique_ptr<IItemDescriber> m_describer;
    std::unordered_map<const CCompareNode*, CHeldCount> m_held;
};

}  // namespace

void HtmlReport(const CDiffOutput& diff, CTextSink& out)
{
    CHtmlPage(diff, out).Write();
}
