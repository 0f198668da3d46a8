#include "tools/DiffFilter.h"

#include "compare/AnsiChars.h"

#include <cstdio>
#include <cstdint>

namespace {

// A name folded character by character the way the comparison folds names
// (AnsiChars.h).
using FoldedName = std::vector<uint32_t>;
constexpr uint32_t kAnyRun = 0xFFFFFFFFu;  // "*" in a pattern's name

// Splits text into its names at each backslash that is a character of its
// own, and folds each name; with wildcards, "*" becomes kAnyRun.
std::vector<FoldedName> SplitFolded(const std::string& text, bool wildcards)
{
    std::vector<FoldedName> names(1);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        uint32_t c = NextFoldedAnsiChar(p, end);
        if (c == '\\')
            names.emplace_back();
        else if (wildcards && c == '*')
            names.back().push_back(kAnyRun);
        else
            names.back().push_back(c);
    }
    return names;
}

// One name against one name of a pattern; "*" matches any run, "**" too.
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

// The names of a pattern from `from` against the path's from `at`.
bool PathMatches(const std::vector<FoldedName>& pattern, size_t from,
                 const std::vector<FoldedName>& path, size_t at)
{
    while (from < pattern.size()) {
        if (IsAnyNames(pattern[from])) {
            for (size_t rest = at; rest <= path.size(); ++rest)
                if (PathMatches(pattern, from + 1, path, rest))
                    return true;
            return false;
        }
        if (at == path.size() || !NameMatches(pattern[from], path[at]))
            return false;
        ++from;
        ++at;
    }
    return at == path.size();
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

void CPathFilter::Add(const std::string& pattern)
{
    std::string text = pattern;
    if (EndsWithAnsiChar(text, '\\'))
        text.pop_back();
    m_patterns.push_back(SplitFolded(text, true));
}

bool CPathFilter::AddFromFile(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "Cannot read the pattern file " + path + ".";
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
        error = "Cannot read the pattern file " + path + ".";
        return false;
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trimmed(text.substr(start, end - start));
        if (!line.empty() && line[0] != '#')
            Add(line);
        start = end + 1;
    }
    return true;
}

void CPathFilter::AddNoise(SnapKind kind)
{
    for (const std::string& pattern : NoisePatterns(kind))
        Add(pattern);
}

bool CPathFilter::Excludes(const std::string& path) const
{
    std::vector<FoldedName> names = SplitFolded(path, false);
    for (const auto& pattern : m_patterns)
        if (PathMatches(pattern, 0, names, 0))
            return true;
    return false;
}

namespace {

class CTreeFilter {
public:
    explicit CTreeFilter(const std::vector<std::vector<FoldedName>>& patterns) : m_patterns(patterns) {}

    // Without recursion, so any depth the loader accepts is fine.
    void Apply(CCompareNode& root)
    {
        Enter(root, 0, 0);
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            if (frame.next) {
                ListPosition at = frame.next;
                CCompareNode* child = frame.node->Nodes().GetNext(frame.next);
                size_t names = Push(child->GetStoredName().str());
                if (Excluded()) {
                    frame.node->RemoveNodeAt(at);
                    Pop(names);
                } else {
                    Enter(*child, at, names);
                }
                continue;
            }
            Frame done = frame;
            m_stack.pop_back();
            if (m_stack.empty())
                break;
            Pop(done.names);
            // Only a folder found in both trees was kept for what it held; one
            // inside a folder of one tree only is part of that difference.
            if (done.node->IsEmpty() && done.node->GetState() == csIdentical)
                m_stack.back().node->RemoveNodeAt(done.at);
        }
    }

private:
    struct Frame {
        CCompareNode* node;
        ListPosition at;    // in its parent's list
        ListPosition next;  // the next child node to visit
        size_t names;       // how many names it added to the path
    };

    // Appends an entry's name to the path. A registry value's name may hold
    // backslashes, which the printed path cannot tell from the separators,
    // so neither does the match: returns how many names were appended.
    size_t Push(const std::string& name)
    {
        std::vector<FoldedName> names = SplitFolded(name, false);
        for (FoldedName& part : names)
            m_path.push_back(std::move(part));
        return names.size();
    }

    void Pop(size_t names) { m_path.resize(m_path.size() - names); }

    bool Excluded() const
    {
        for (const auto& pattern : m_patterns)
            if (PathMatches(pattern, 0, m_path, 0))
                return true;
        return false;
    }

    // Removes the node's excluded items and stacks it for its child nodes.
    void Enter(CCompareNode& node, ListPosition at, size_t names)
    {
        std::string name;
        for (ListPosition pos = node.Items().GetHeadPosition(); pos;) {
            ListPosition itemAt = pos;
            node.Items().GetNext(pos)->GetName(name);
            size_t parts = Push(name);
            if (Excluded())
                node.RemoveItemAt(itemAt);
            Pop(parts);
        }
        m_stack.push_back(Frame{&node, at, node.Nodes().GetHeadPosition(), names});
    }

    const std::vector<std::vector<FoldedName>>& m_patterns;
    std::vector<Frame> m_stack;
    std::vector<FoldedName> m_path;
};

}  // namespace

void CPathFilter::Apply(CCompareMine& mine) const
{
    if (m_patterns.empty())
        return;
    for (CCompareNode* root : {mine.GetRoot1(), mine.GetRoot2()})
        CTreeFilter(m_patterns).Apply(*root);
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
