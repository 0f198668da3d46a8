#include "report/DiffFilter.h"

#include "compare/AnsiChars.h"
#include "snapshot/StdioFile.h"
#include "compare/WideChars.h"
#include "report/AnsiText.h"

#include <cstdio>
#include <cstdint>

namespace {

// A name folded character by character the way the comparison folds names
// (AnsiChars.h).
using FoldedName = std::vector<uint32_t>;
constexpr uint32_t kAnyRun = 0xFFFFFFFFu;  // "*" in a pattern's name

// Splits text into its names at each backslash that is a character of its
// own, and folds each name; with wildcards, "*" becomes kAnyRun. Into names,
// whose room is used again: a walk splits every name of a tree.
void SplitFoldedInto(const std::string& text, bool wildcards, std::vector<FoldedName>& names, size_t& count)
{
    count = 1;
    if (names.empty())
        names.emplace_back();
    names[0].clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        uint32_t c = NextFoldedAnsiChar(p, end);
        if (c == '\\') {
            if (count == names.size())
                names.emplace_back();
            names[count++].clear();
        } else {
            names[count - 1].push_back(wildcards && c == '*' ? kAnyRun : c);
        }
    }
}

// The same of UTF-16 units, folded as Windows folds them.
void SplitWideFoldedInto(std::u16string_view text, bool wildcards, std::vector<FoldedName>& names, size_t& count)
{
    count = 1;
    if (names.empty())
        names.emplace_back();
    names[0].clear();
    for (char16_t unit : text) {
        if (unit == u'\\') {
            if (count == names.size())
                names.emplace_back();
            names[count++].clear();
        } else {
            names[count - 1].push_back(wildcards && unit == u'*' ? kAnyRun : FoldWideUnit(unit));
        }
    }
}

std::vector<FoldedName> SplitWideFolded(std::u16string_view text, bool wildcards)
{
    std::vector<FoldedName> names;
    size_t count = 0;
    SplitWideFoldedInto(text, wildcards, names, count);
    names.resize(count);
    return names;
}

// Whether text is UTF-8 that is not ASCII.
bool IsUtf8BeyondAscii(const std::string& text)
{
    bool beyond = false;
    for (char c : text)
        beyond = beyond || static_cast<unsigned char>(c) >= 0x80;
    return beyond && IsUtf8(text);
}

std::vector<FoldedName> SplitFolded(const std::string& text, bool wildcards)
{
    std::vector<FoldedName> names;
    size_t count = 0;
    SplitFoldedInto(text, wildcards, names, count);
    names.resize(count);
    return names;
}

// One name against one name of a pattern; "*" matches any run. Only the
// last "*" is ever resumed, which is enough for runs of any characters and
// keeps the cost within the name's length times the pattern name's.
bool NameMatches(const FoldedName& pattern, const FoldedName& name)
{
    size_t p = 0, n = 0, starAt = SIZE_MAX, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == kAnyRun) {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starAt != SIZE_MAX) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == kAnyRun)
        ++p;
    return p == pattern.size();
}

bool IsAnyNames(const FoldedName& name)
{
    return name.size() == 2 && name[0] == kAnyRun && name[1] == kAnyRun;
}

std::string Trimmed(const std::string& line)
{
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

}  // namespace

void CPathFilter::AddPattern(std::vector<FoldedName> names, bool exact)
{
    m_patterns.push_back(CPattern{std::move(names), m_bits, exact});
    m_bits += m_patterns.back().names.size() + 1;
    m_bExact = m_bExact || exact;
}

void CPathFilter::Add(const std::string& pattern)
{
    std::string text = pattern;
    if (EndsWithAnsiChar(text, '\\'))
        text.pop_back();
    AddPattern(SplitFolded(text, true), false);
}

void CPathFilter::AddExact(const std::u16string& pattern)
{
    std::u16string_view text = pattern;
    if (!text.empty() && text.back() == u'\\')
        text.remove_suffix(1);
    AddPattern(SplitWideFolded(text, true), true);
}

bool CPathFilter::AddFromFile(const SystemString& path, std::string& error)
{
    const std::string cannotRead = "Cannot read the pattern file " + ShownName(SystemTextToAnsi(path)) + ".";
    std::FILE* file = OpenStdioFile(path, "rb");
    if (!file) {
        error = cannotRead;
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = cannotRead;
        return false;
    }
    if (!AddLines(text, error)) {
        error = ShownName(SystemTextToAnsi(path)) + ", " + error;
        return false;
    }
    return true;
}

bool CPathFilter::AddLines(const std::string& text, std::string& error)
{
    std::vector<std::string> patterns;
    // Notepad and other editors put a byte-order mark in front of UTF-8.
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (unsigned line = 1; start <= text.size(); ++line) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string pattern = Trimmed(text.substr(start, end - start));
        if (!pattern.empty() && pattern[0] != '#') {
            std::string fault = Fault(pattern);
            if (!fault.empty()) {
                error = "line " + std::to_string(line) + ": the pattern \"" + ShownName(pattern) +
                        "\" can match nothing: " + fault + ".";
                return false;
            }
            patterns.push_back(pattern);
        }
        start = end + 1;
    }
    for (const std::string& pattern : patterns) {
        // A line of UTF-8 is taken in the code page when the code page holds
        // it, else as the exact names it names.
        if (!IsUtf8BeyondAscii(pattern)) {
            Add(pattern);
            continue;
        }
        const std::u16string wide = Utf8ToUtf16(pattern);
        const std::string ansi = Utf8ToAnsi(pattern);
        if (SystemTextToUtf16(ansi) == wide)
            Add(ansi);
        else
            AddExact(wide);
    }
    return true;
}

void CPathFilter::AddNoise(SnapKind kind)
{
    for (const std::string& pattern : NoisePatterns(kind))
        Add(pattern);
}

namespace {

bool TestBit(const std::vector<uint64_t>& bits, size_t at)
{
    return (bits[at / 64] >> (at % 64)) & 1;
}

void SetBit(std::vector<uint64_t>& bits, size_t at)
{
    bits[at / 64] |= uint64_t{1} << (at % 64);
}

}  // namespace

// A pattern stands at position i when its first i names matched the path so
// far. A "**" at i lets the pattern stand at i + 1 as well, and stays at i
// over any name.
CPathFilter::State CPathFilter::Start() const
{
    State state((m_bits + 63) / 64, 0);
    for (const CPattern& pattern : m_patterns) {
        size_t i = 0;
        SetBit(state, pattern.firstBit);
        while (i < pattern.names.size() && IsAnyNames(pattern.names[i]))
            SetBit(state, pattern.firstBit + ++i);
    }
    return state;
}

bool CPathFilter::Step(const State& from, const NameForms& name, State& to) const
{
    to.assign(from.size(), 0);
    bool alive = false;
    for (const CPattern& pattern : m_patterns) {
        const size_t count = pattern.names.size();
        // Ascending, so that a "**" reached by this name passes its state on.
        for (size_t i = 0; i < count; ++i) {
            const size_t bit = pattern.firstBit + i;
            if (IsAnyNames(pattern.names[i])) {
                if (TestBit(from, bit) || TestBit(to, bit)) {
                    SetBit(to, bit);
                    SetBit(to, bit + 1);
                    alive = true;
                }
            } else if (TestBit(from, bit) &&
                       NameMatches(pattern.names[i], pattern.exact ? *name.exact : name.recorded)) {
                SetBit(to, bit + 1);
                alive = true;
            }
        }
    }
    return alive;
}

bool CPathFilter::Accepts(const State& state) const
{
    for (const CPattern& pattern : m_patterns)
        if (TestBit(state, pattern.firstBit + pattern.names.size()))
            return true;
    return false;
}

bool CPathFilter::Excludes(const std::string& path) const
{
    State state = Start(), next;
    const std::vector<FoldedName> names = SplitFolded(path, false);
    std::vector<FoldedName> exact;
    if (m_bExact)
        exact = SplitWideFolded(SystemTextToUtf16(path), false);
    for (size_t i = 0; i < names.size(); ++i) {
        if (!Step(state, NameForms{names[i], i < exact.size() ? &exact[i] : nullptr}, next))
            return false;
        state.swap(next);
    }
    return Accepts(state);
}

// Without recursion, so any depth the loader accepts is fine. Each folder's
// frame holds the automaton's state after its path, which its child nodes
// and items step on from; a folder below which no pattern can match any more
// is left as it is, unvisited.
class CTreeFilter {
public:
    CTreeFilter(const CPathFilter& filter, CHiddenEntries& hidden) : m_filter(filter), m_hidden(hidden) {}

    void Apply(CCompareNode& root)
    {
        Enter(root, 0, m_filter.Start());
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            if (frame.next) {
                ListPosition at = frame.next;
                CCompareNode* child = frame.node->Nodes().GetNext(frame.next);
                CPathFilter::State state;
                if (!StepName(frame.state, child->GetStoredName().str(), child->GetStoredName(), state))
                    continue;
                if (m_filter.Accepts(state)) {
                    Trim(*frame.node);
                    m_hidden.TakeOutNode(*frame.node, at);
                } else {
                    Enter(*child, at, std::move(state));
                }
                continue;
            }
            Frame done = std::move(frame);
            m_stack.pop_back();
            if (m_stack.empty())
                break;
            // Only a folder found in both trees was kept for what it held; one
            // inside a folder of one tree only is part of that difference.
            if (done.node->IsEmpty() && done.node->GetState() == csIdentical)
                m_hidden.TakeOutNode(*m_stack.back().node, done.at);
        }
    }

private:
    struct Frame {
        CCompareNode* node;
        ListPosition at;    // in its parent's list
        ListPosition next;  // the next child node to visit
        CPathFilter::State state;
    };

    // The state after an entry's name. A registry value's name may hold
    // backslashes, which the printed path cannot tell from the separators,
    // so neither does the match. False when nothing can match any more.
    bool StepName(const CPathFilter::State& from, const std::string& name, const CCompareName& stored,
                  CPathFilter::State& to)
    {
        const CPathFilter::State* at = &from;
        size_t count = 0, exactCount = 0;
        SplitFoldedInto(name, false, m_parts, count);
        if (m_filter.HasExactPatterns())
            SplitWideFoldedInto(stored.HasExact() ? SystemName(stored) : SystemTextToUtf16(name), false,
                                m_exactParts, exactCount);
        for (size_t i = 0; i < count; ++i) {
            const CPathFilter::FoldedName* exact = i < exactCount ? &m_exactParts[i] : &m_parts[i];
            if (!m_filter.Step(*at, CPathFilter::NameForms{m_parts[i], exact}, m_scratch))
                return false;
            to.swap(m_scratch);
            at = &to;
        }
        return true;
    }

    // Notes that something below node was excluded, for every folder up to the root.
    void Trim(const CCompareNode& node)
    {
        for (const CCompareNode* n = &node; n && m_hidden.m_trimmed.insert(n).second; n = n->GetParent()) {
        }
    }

    // Removes the node's excluded items and stacks it for its child nodes.
    void Enter(CCompareNode& node, ListPosition at, CPathFilter::State state)
    {
        std::string name;
        CPathFilter::State itemState;
        for (ListPosition pos = node.Items().GetHeadPosition(); pos;) {
            ListPosition itemAt = pos;
            const CCompareItem* item = node.Items().GetNext(pos);
            item->GetName(name);
            if (StepName(state, name, item->GetStoredName(), itemState) && m_filter.Accepts(itemState)) {
                Trim(node);
                m_hidden.TakeOutItem(node, itemAt);
            }
        }
        m_stack.push_back(Frame{&node, at, node.Nodes().GetHeadPosition(), std::move(state)});
    }

    const CPathFilter& m_filter;
    CHiddenEntries& m_hidden;
    std::vector<Frame> m_stack;
    CPathFilter::State m_scratch;
    std::vector<CPathFilter::FoldedName> m_parts, m_exactParts;
};

void CPathFilter::Apply(CCompareMine& mine, std::unordered_set<const CCompareNode*>* trimmed) const
{
    CHiddenEntries hidden;
    hidden.Hide(mine, *this);
    if (trimmed)
        *trimmed = hidden.TakeTrimmed();
    hidden.Forget();
}

std::string CPathFilter::Fault(const std::string& pattern)
{
    std::string text = pattern;
    if (EndsWithAnsiChar(text, '\\'))
        text.pop_back();
    for (const FoldedName& name : SplitFolded(text, true))
        if (name.empty())
            return "it holds an empty name (a backslash at its start, or two in a row)";
    return {};
}

void CHiddenEntries::Hide(CCompareMine& mine, const CPathFilter& filter)
{
    ShowAll();
    if (filter.IsEmpty())
        return;
    for (CCompareNode* root : {mine.GetRoot1(), mine.GetRoot2()})
        if (root)
            CTreeFilter(filter, *this).Apply(*root);
}

void CHiddenEntries::TakeOutItem(CCompareNode& parent, ListPosition at)
{
    if (CCompareItem* item = parent.TakeOutItemAt(at)) {
        m_taken.push_back(CTaken{&parent, at, nullptr, item});
        Unlink(*item);
        ++m_count;
    }
}

// Everything below the node leaves with it, unlinked as well: nothing left
// in either tree may name it as its counterpart.
void CHiddenEntries::TakeOutNode(CCompareNode& parent, ListPosition at)
{
    CCompareNode* top = parent.TakeOutNodeAt(at);
    if (!top)
        return;
    m_taken.push_back(CTaken{&parent, at, top, nullptr});
    std::vector<CCompareNode*> pending{top};
    while (!pending.empty()) {
        CCompareNode* node = pending.back();
        pending.pop_back();
        Unlink(*node);
        ++m_count;
        for (CCompareItem* item : node->Items()) {
            Unlink(*item);
            ++m_count;
        }
        for (CCompareNode* child : node->Nodes())
            pending.push_back(child);
    }
}

void CHiddenEntries::Unlink(CCompareNode& node)
{
    if (CCompareNode* opposite = node.GetOpposite()) {
        m_nodeLinks.emplace_back(&node, opposite);
        node.Unlink();
    }
}

void CHiddenEntries::Unlink(CCompareItem& item)
{
    if (CCompareItem* opposite = item.GetOpposite()) {
        m_itemLinks.emplace_back(&item, opposite);
        item.Unlink();
    }
}

void CHiddenEntries::ShowAll()
{
    for (auto taken = m_taken.rbegin(); taken != m_taken.rend(); ++taken) {
        if (taken->node)
            taken->parent->PutNodeBack(taken->at, taken->node);
        else
            taken->parent->PutItemBack(taken->at, taken->item);
    }
    for (auto& link : m_nodeLinks)
        link.first->LinkOpposite(link.second);
    for (auto& link : m_itemLinks)
        link.first->LinkOpposite(link.second);
    Forget();
}

void CHiddenEntries::Forget()
{
    m_taken.clear();
    m_nodeLinks.clear();
    m_itemLinks.clear();
    m_trimmed.clear();
    m_count = 0;
}

const std::vector<std::string>& NoisePatterns(SnapKind kind)
{
    // What Windows rewrites by itself while it runs, whatever is installed:
    // paging and hibernation files, caches, logs, the registry's own hive
    // files, and the records the shell and the system keep of what was used.
    static const std::vector<std::string> files = {
        "*:\\pagefile.sys",
        "*:\\hiberfil.sys",
        "*:\\swapfile.sys",
        "*:\\System Volume Information",
        "*:\\$Recycle.Bin",
        "*:\\Windows\\Prefetch",
        "*:\\Windows\\Temp",
        "*:\\Windows\\Logs",
        "*:\\Windows\\*.log",
        "*:\\Windows\\INF\\setupapi.*.log",
        "*:\\Windows\\bootstat.dat",
        "*:\\Windows\\ServiceProfiles",
        "*:\\Windows\\SoftwareDistribution\\DataStore",
        "*:\\Windows\\System32\\config",
        "*:\\Windows\\System32\\LogFiles",
        "*:\\Windows\\System32\\winevt\\Logs",
        "*:\\Windows\\System32\\sru",
        "*:\\Windows\\System32\\wdi",
        "*:\\ProgramData\\Microsoft\\Windows\\WER",
        "*:\\ProgramData\\Microsoft\\Search\\Data",
        "*:\\ProgramData\\Microsoft\\Windows Defender\\Scans",
        "*:\\Users\\*\\NTUSER.DAT*",
        "*:\\Users\\*\\ntuser.ini",
        "*:\\Users\\*\\AppData\\Local\\Temp",
        "*:\\Users\\*\\AppData\\Local\\IconCache.db",
        "*:\\Users\\*\\AppData\\Local\\Microsoft\\Windows\\Explorer",
        "*:\\Users\\*\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat*",
        "*:\\Users\\*\\AppData\\Local\\Microsoft\\Windows\\WebCache",
        "*:\\Users\\*\\AppData\\Roaming\\Microsoft\\Windows\\Recent",
        "*:\\Documents and Settings\\*\\NTUSER.DAT*",
        "*:\\Documents and Settings\\*\\Local Settings\\Temp",
        "*:\\Documents and Settings\\*\\Recent",
    };
    static const std::vector<std::string> registry = {
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\RNG",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Reliability",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Prefetcher",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\*\\Control\\Session Manager\\AppCompatCache",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\*\\Services\\bam\\State",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\*\\Services\\W32Time\\SecureTimeLimits",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\*\\Services\\Tcpip\\Parameters\\Interfaces\\*\\Lease*",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\*\\Services\\Tcpip\\Parameters\\Interfaces\\*\\T1",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\*\\Services\\Tcpip\\Parameters\\Interfaces\\*\\T2",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FeatureUsage",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SessionInfo",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\Shell\\BagMRU",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\Shell\\Bags",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows\\ShellNoRoam",
        "HKEY_USERS\\*\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant",
        "HKEY_USERS\\*_Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell",
        "HKEY_USERS\\*\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell",
    };
    return kind == SnapKind::FileSystem ? files : registry;
}
