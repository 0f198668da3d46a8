#include "tools/RegPatch.h"

#include "compare/AnsiChars.h"
#include "compare/CompareItem.h"
#include "compare/CompareNode.h"
#include "compare/RegMine.h"
#include "compare/RegVal.h"
#include "compare/TreeListing.h"
#include "snapshot/RegSnapFormat.h"
#include "tools/DiffReport.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

const char kCrLf[] = "\r\n";
const char kHeader[] = "REGEDIT4\r\n\r\n";
// The registry editor's exports break a line of hexadecimal data after the
// comma that brings it to this many characters, and indent the next by two.
constexpr size_t kHexLineLimit = 77;
const char kHexIndent[] = "  ";
// Refused entries are listed up to this many, the rest counted.
constexpr size_t kListedRefusals = 20;

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// A name or text between quotes: the registry editor reads \\ and \" there.
// It reads characters before escapes, so the second byte of a double-byte
// character is never escaped, be it 0x5C.
std::string Quoted(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (size_t at = 0; at < text.size();) {
        size_t size = AnsiCharSize(text, at);
        if (size == 1 && (text[at] == '\\' || text[at] == '"'))
            out += '\\';
        out.append(text, at, size);
        at += size;
    }
    out += '"';
    return out;
}

// A path as a message shows it: control bytes as <0A>, so that a refused
// name with a line break stays on its line.
std::string Shown(std::string_view path)
{
    std::string out;
    for (char c : path) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "<%02X>", b);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

// The snapshot reader ends a name at its first zero byte, so a line break
// is all that a name can hold and a registry file cannot.
const char* NameProblem(std::string_view name)
{
    if (name.find_first_of("\r\n") != std::string_view::npos)
        return "a line break in its name";
    return nullptr;
}

const char* KeyNameProblem(std::string_view name)
{
    if (name.empty())
        return "an empty name";
    if (FindAnsiChar(name, '\\') != std::string_view::npos)
        return "a backslash in its name, which a path takes for two keys";
    return NameProblem(name);
}

bool IsSnapshotRoot(std::string_view name)
{
    for (const char* root : kRegSnapRootNames)
        if (name == root)
            return true;
    return false;
}

// The string types, whose hexadecimal data the registry editor converts from
// the ANSI code page and ends with a zero byte when they lack one.
bool IsStringType(uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

std::string DataProblem(const CRegVal& value)
{
    uint32_t size = value.GetDataSize();
    if (IsStringType(value.GetType()) && size > 0 && value.GetData()[size - 1] != 0)
        return RegTypeName(value.GetType()) +
               " data without a final zero byte, which an import would add";
    return std::string();
}

// A REG_SZ that "text" gives back exactly: one final zero byte and, before
// it, text without zero bytes or control characters other than the tab.
bool IsPlainText(const CRegVal& value)
{
    uint32_t size = value.GetDataSize();
    if (value.GetType() != kRegSz || size == 0 || value.GetData()[size - 1] != 0)
        return false;
    for (uint32_t i = 0; i + 1 < size; ++i) {
        uint8_t b = value.GetData()[i];
        if (b < 0x20 && b != '\t')
            return false;
    }
    return true;
}

// "hex:" or "hex(N):" and the bytes, wrapped as the editor's exports are.
// line holds the value's name part, which counts towards the first line.
void AppendHex(std::string& line, uint32_t type, const uint8_t* data, uint32_t size)
{
    char prefix[24];
    if (type == kRegBinary)
        std::snprintf(prefix, sizeof prefix, "hex:");
    else
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    line += prefix;
    line.reserve(line.size() + size_t(size) * 3 + size / 20 * 5);
    static const char digits[] = "0123456789abcdef";
    size_t column = line.size();
    for (uint32_t i = 0; i < size; ++i) {
        line += digits[data[i] >> 4];
        line += digits[data[i] & 15];
        if (i + 1 == size)
            break;
        line += ',';
        column += 3;
        if (column >= kHexLineLimit) {
            line += '\\';
            line += kCrLf;
            line += kHexIndent;
            column = 2;
        }
    }
}

std::string ValueLine(const CRegVal& value)
{
    std::string_view name = value.GetStoredName().view();
    std::string line = name.empty() ? "@=" : Quoted(name) + "=";
    const uint8_t* data = value.GetData();
    uint32_t size = value.GetDataSize();
    if (IsPlainText(value)) {
        line += Quoted(std::string_view(reinterpret_cast<const char*>(data), size - 1));
    } else if (value.GetType() == kRegDword && size == 4) {
        char number[24];
        std::snprintf(number, sizeof number, "dword:%08x",
                      static_cast<unsigned>(data[0] | data[1] << 8 | data[2] << 16 |
                                            uint32_t(data[3]) << 24));
        line += number;
    } else {
        AppendHex(line, value.GetType(), data, size);
    }
    return line + kCrLf;
}

std::string ValuePath(const std::string& keyPath, const CCompareItem& item)
{
    std::string name;
    item.GetName(name);
    return keyPath + "\\" + name;
}

class CPatchWriter {
public:
    void WriteState(const CCompareNode& root, bool target);
    bool Refused() const { return !m_refused.empty(); }
    std::string Text() const;
    std::string Refusal() const;

private:
    struct Section {
        std::string head;  // "[path]" or "[-path]"
        std::string lines;
    };

    // Checks a key at depth (1 for a root): false, refused, when a registry
    // file cannot name it.
    bool CheckKey(const CCompareNode& key, unsigned depth, const std::string& path);
    bool CheckKeyName(std::string_view name, const std::string& path);
    // Whether the value's name, and when it is set its data, can be written;
    // refused when not.
    bool CheckValue(const CRegVal& value, const std::string& keyPath, bool set);
    void WriteCreatedKey(const CCompareNode& key, const std::string& path);
    void WriteValueChanges(const CCompareNode& key, const std::string& path, bool target);
    // The one section of a key found in both states, whichever tree asks.
    Section& SectionOf(const CCompareNode& key, const std::string& path);
    void Refuse(const char* what, const std::string& path, const std::string& reason);

    std::vector<Section> m_sections;
    std::unordered_map<const CCompareNode*, size_t> m_sectionOf;
    std::vector<std::string> m_refused;
    std::unordered_set<std::string> m_refusedSeen;
};

void CPatchWriter::Refuse(const char* what, const std::string& path, const std::string& reason)
{
    std::string line = std::string(what) + " " + Shown(path) + ": " + reason;
    if (m_refusedSeen.insert(line).second)
        m_refused.push_back(line);
}

bool CPatchWriter::CheckKey(const CCompareNode& key, unsigned depth, const std::string& path)
{
    std::string_view name = key.GetStoredName().view();
    if (depth == 1) {
        if (!IsSnapshotRoot(name)) {
            Refuse("key", path,
                   "not HKEY_LOCAL_MACHINE or HKEY_USERS, the roots a snapshot records");
            return false;
        }
        if (key.GetState() == csUnique) {
            Refuse("key", path, "a root of the registry in one snapshot only, which no registry "
                                "file can create or delete");
            return false;
        }
        return true;
    }
    return CheckKeyName(name, path);
}

bool CPatchWriter::CheckKeyName(std::string_view name, const std::string& path)
{
    if (const char* problem = KeyNameProblem(name)) {
        Refuse("key", path, problem);
        return false;
    }
    return true;
}

bool CPatchWriter::CheckValue(const CRegVal& value, const std::string& keyPath, bool set)
{
    if (const char* problem = NameProblem(value.GetStoredName().view())) {
        Refuse("value", ValuePath(keyPath, value), problem);
        return false;
    }
    if (set) {
        std::string problem = DataProblem(value);
        if (!problem.empty()) {
            Refuse("value", ValuePath(keyPath, value), problem);
            return false;
        }
    }
    return true;
}

CPatchWriter::Section& CPatchWriter::SectionOf(const CCompareNode& key, const std::string& path)
{
    for (const CCompareNode* node : {&key, static_cast<const CCompareNode*>(key.GetOpposite())}) {
        auto found = m_sectionOf.find(node);
        if (found != m_sectionOf.end())
            return m_sections[found->second];
    }
    m_sectionOf[&key] = m_sections.size();
    m_sections.push_back(Section{"[" + path + "]", std::string()});
    return m_sections.back();
}

void CPatchWriter::WriteValueChanges(const CCompareNode& key, const std::string& path, bool target)
{
    for (const CCompareItem* item : key.Items()) {
        const CRegVal& value = static_cast<const CRegVal&>(*item);
        bool set = target && (item->GetState() == csUnique || item->GetState() == csChanged);
        bool remove = !target && item->GetState() == csUnique;
        if (!(set || remove) || !CheckValue(value, path, set))
            continue;
        std::string_view name = value.GetStoredName().view();
        SectionOf(key, path).lines +=
            set ? ValueLine(value) : (name.empty() ? "@" : Quoted(name)) + "=-" + kCrLf;
    }
}

void CPatchWriter::WriteCreatedKey(const CCompareNode& key, const std::string& path)
{
    std::vector<std::string> paths;  // paths[d]: the key at depth d below key
    WalkTree(
        key,
        [&](const CCompareNode& node, unsigned depth) {
            paths.resize(depth);
            paths.push_back(depth == 0 ? path
                                       : paths[depth - 1] + "\\" + node.GetStoredName().str());
            const std::string& nodePath = paths.back();
            if (depth > 0 && !CheckKeyName(node.GetStoredName().view(), nodePath))
                return false;
            Section section{"[" + nodePath + "]", std::string()};
            for (const CCompareItem* item : node.Items()) {
                const CRegVal& value = static_cast<const CRegVal&>(*item);
                if (CheckValue(value, nodePath, true))
                    section.lines += ValueLine(value);
            }
            m_sections.push_back(std::move(section));
            return true;
        },
        [](const CCompareItem&, unsigned) {});
}

void CPatchWriter::WriteState(const CCompareNode& root, bool target)
{
    std::vector<std::string> paths;  // paths[d]: the key at depth d
    WalkTree(
        root,
        [&](const CCompareNode& node, unsigned depth) {
            paths.resize(depth);
            if (depth == 0) {
                paths.emplace_back();
                return true;
            }
            std::string name = node.GetStoredName().str();
            paths.push_back(depth == 1 ? name : paths[depth - 1] + "\\" + name);
            const std::string& path = paths.back();
            if (!CheckKey(node, depth, path))
                return false;
            if (node.GetState() == csUnique) {
                if (target)
                    WriteCreatedKey(node, path);
                else
                    m_sections.push_back(Section{"[-" + path + "]", std::string()});
                return false;  // the whole key goes or comes with its section
            }
            WriteValueChanges(node, path, target);
            return true;
        },
        [&](const CCompareItem& item, unsigned depth) {
            if (depth == 1)
                Refuse("value", EntryPath(item), "not in any key");
        });
}

std::string CPatchWriter::Text() const
{
    std::string text = kHeader;
    for (const Section& section : m_sections)
        text += section.head + kCrLf + section.lines + kCrLf;
    return text;
}

std::string CPatchWriter::Refusal() const
{
    std::string text =
        "cannot write the registry patch: a registry file cannot carry these entries exactly:";
    for (size_t i = 0; i < m_refused.size() && i < kListedRefusals; ++i)
        text += "\n  " + m_refused[i];
    if (m_refused.size() > kListedRefusals)
        text += "\n  and " + std::to_string(m_refused.size() - kListedRefusals) + " more";
    return text;
}

}  // namespace

bool WriteRegPatch(const CCompareMine& mine, bool reverse, std::string& text, std::string& refusal)
{
    text.clear();
    refusal.clear();
    if (!dynamic_cast<const CRegMine*>(&mine) || !mine.GetRoot1() || !mine.GetRoot2()) {
        refusal = "cannot write a registry patch: the comparison is not one of registry snap shots";
        return false;
    }
    const CCompareNode& start = reverse ? *mine.GetRoot2() : *mine.GetRoot1();
    const CCompareNode& target = reverse ? *mine.GetRoot1() : *mine.GetRoot2();
    CPatchWriter writer;
    writer.WriteState(start, false);
    writer.WriteState(target, true);
    if (writer.Refused()) {
        refusal = writer.Refusal();
        return false;
    }
    text = writer.Text();
    return true;
}
