#include "report/RegPatch.h"

#include "compare/AnsiChars.h"
#include "compare/CompareItem.h"
#include "compare/CompareNode.h"
#include "compare/RegMine.h"
#include "compare/RegTypes.h"
#include "compare/RegVal.h"
#include "compare/TreeListing.h"
#include "compare/WideChars.h"
#include "snapshot/RegSnapFormat.h"
#include "report/AnsiText.h"
#include "report/DiffReport.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

const char kCrLf[] = "\r\n";
const char kHeader[] = "REGEDIT4\r\n\r\n";
const char kUnicodeHeader[] = "Windows Registry Editor Version 5.00\r\n\r\n";
// The registry editor's exports break a line of hexadecimal data after the
// comma that brings it to this many characters, and indent the next by two.
constexpr size_t kHexLineLimit = 77;
const char kHexIndent[] = "  ";
// Refused and nearly carried entries are listed up to this many, the rest counted.
constexpr size_t kListedRefusals = 20;
const char kNearlyHead[] =
    "these string values lack a final zero byte, which an import adds:";
const char kMaybeInexactHead[] =
    "these string values come from a snap shot of Corvane 2.0.0.1 or earlier, which kept them only in "
    "the code page, and may not be what the registry held:";

// How the patch is written: REGEDIT4 in the ANSI code page, or, when a name
// or string must be carried that the code page cannot hold, the Unicode form
// (built in UTF-8, written in UTF-16 with its byte-order mark), in which
// string data of every type are UTF-16 and hexadecimal data are imported as
// they stand.
struct CPatchForm {
    bool unicode = false;
    uint32_t codePage = 0;      // of the target state's recorded strings
    bool targetInexact = false; // the target's file kept no exact strings
};

// A name or text between quotes: the registry editor reads \\ and \" there.
// It reads characters before escapes, so the second byte of a double-byte
// character is never escaped, be it 0x5C.
std::string Quoted(std::string_view text, bool utf8 = false)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (size_t at = 0; at < text.size();) {
        size_t size = utf8 ? 1 : AnsiCharSize(text, at);
        if (size == 1 && (text[at] == '\\' || text[at] == '"'))
            out += '\\';
        out.append(text, at, size);
        at += size;
    }
    out += '"';
    return out;
}

// Whether text holds what is no whole character of a double-byte code page:
// a lead byte at its end, or one before a byte below 0x40, which no such
// code page takes as a second byte. How the registry editor reads these is
// its own affair: the byte after might end the quotes or not.
bool HasBrokenChar(std::string_view text)
{
    for (size_t at = 0; at < text.size(); at += AnsiCharSize(text, at)) {
        if (!IsAnsiLeadByte(static_cast<unsigned char>(text[at])))
            continue;
        if (at + 1 == text.size() || static_cast<unsigned char>(text[at + 1]) < 0x40)
            return true;
    }
    return false;
}

// The snapshot reader ends a name at its first zero byte, so a line break
// and a broken character are all that a name can hold and a registry file
// cannot.
const char* NameProblem(std::string_view name)
{
    if (name.find_first_of("\r\n") != std::string_view::npos)
        return "a line break in its name";
    if (HasBrokenChar(name))
        return "a byte in its name that is no character of the code page";
    return nullptr;
}

// The name as the patch writes it, and what it cannot write of it.
std::string PatchName(const CCompareName& name, const CPatchForm& form)
{
    if (!form.unicode)
        return name.str();
    return name.HasExact() ? Utf16ToUtf8(name.Exact()) : AnsiToUtf8(name.view());
}

const char* ExactNameProblem(const CCompareName& name, const CPatchForm& form)
{
    if (form.unicode && HasLoneSurrogate(name.Exact()))
        return "half of a character pair in its name, which no registry file carries";
    return nullptr;
}

const char kTwinKey[] =
    "another key of the same name once letters are folded, which a registry file cannot tell apart";
const char kTwinValue[] =
    "another value of the same name once letters are folded, which a registry file cannot tell apart";

template <class Entry>
bool EitherHasTwin(const Entry& entry)
{
    return entry.HasTwin() || (entry.GetOpposite() && entry.GetOpposite()->HasTwin());
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

// String data without the final zero byte that the registry editor adds to
// them on import: such a value can only be carried nearly.
bool LacksFinalZero(const CRegVal& value)
{
    uint32_t size = value.GetDataSize();
    return RegTypeOf(value.GetType()).strings && size > 0 && value.GetData()[size - 1] != 0;
}

// Data of a type written as "text" that it gives back exactly: one final
// zero byte and, before it, whole characters without zero bytes or control
// characters other than the tab.
bool IsPlainText(uint32_t type, const uint8_t* data, uint32_t size)
{
    if (RegTypeOf(type).fileForm != RegFileForm::Text || size == 0 || data[size - 1] != 0)
        return false;
    for (uint32_t i = 0; i + 1 < size; ++i) {
        uint8_t b = data[i];
        if (b < 0x20 && b != '\t')
            return false;
    }
    return !HasBrokenChar(std::string_view(reinterpret_cast<const char*>(data), size - 1));
}

// "hex:" or "hex(N):" and the bytes, wrapped as the editor's exports are.
// line holds the value's name part, which counts towards the first line.
void AppendHex(std::string& line, uint32_t type, const uint8_t* data, uint32_t size)
{
    char prefix[24];
    if (RegTypeOf(type).fileForm == RegFileForm::Hex)
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

// "dword:0000002a" of 4 bytes of data.
std::string DwordForm(const uint8_t* data)
{
    char number[24];
    std::snprintf(number, sizeof number, "dword:%08x",
                  static_cast<unsigned>(data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24));
    return number;
}

// Data of a string type as the Unicode form writes them: UTF-16 units,
// the registry's own where the snapshot kept them.
std::u16string UnicodeData(const CRegVal& value, const CPatchForm& form)
{
    if (value.HasExactData())
        return std::u16string(reinterpret_cast<const char16_t*>(value.GetExactData()), value.GetExactDataSize() / 2);
    return CodePageToUtf16(form.codePage,
                           std::string_view(reinterpret_cast<const char*>(value.GetData()), value.GetDataSize()));
}

// A REG_SZ that the Unicode form writes as "text" and gives back exactly:
// whole characters, one final zero, no other control character than a tab.
bool IsPlainUnicodeText(const std::u16string& units)
{
    if (units.empty() || units.back() != 0 || HasLoneSurrogate(units))
        return false;
    for (size_t i = 0; i + 1 < units.size(); ++i)
        if (units[i] < 0x20 && units[i] != '\t')
            return false;
    return true;
}

// The value's line in the Unicode form: every string as the registry holds
// it, hexadecimal data as they stand, so nothing gains a zero it never had.
std::string UnicodeValueLine(const CRegVal& value, const CPatchForm& form)
{
    const std::string name = PatchName(value.GetStoredName(), form);
    std::string line = name.empty() ? "@=" : Quoted(name, true) + "=";
    if (!RegTypeOf(value.GetType()).strings) {
        if (RegTypeOf(value.GetType()).fileForm == RegFileForm::Dword && value.GetDataSize() == 4) {
            line += DwordForm(value.GetData());
        } else {
            AppendHex(line, value.GetType(), value.GetData(), value.GetDataSize());
        }
        return line + kCrLf;
    }
    const std::u16string units = UnicodeData(value, form);
    if (value.GetType() == kRegSz && IsPlainUnicodeText(units) &&
        !(value.HasExactData() && value.GetExactDataSize() % 2)) {
        line += Quoted(Utf16ToUtf8(std::u16string_view(units.data(), units.size() - 1)), true);
        return line + kCrLf;
    }
    if (value.HasExactData()) {
        // An odd last byte too: the registry held it.
        AppendHex(line, value.GetType(), value.GetExactData(), value.GetExactDataSize());
    } else {
        AppendHex(line, value.GetType(), reinterpret_cast<const uint8_t*>(units.data()),
                        static_cast<uint32_t>(2 * units.size()));
    }
    return line + kCrLf;
}

// The value's line; string data without their final zero byte as the import
// will leave them, with it.
std::string ValueLine(const CRegVal& value, const CPatchForm& form)
{
    if (form.unicode)
        return UnicodeValueLine(value, form);
    std::string_view name = value.GetStoredName().view();
    std::string line = name.empty() ? "@=" : Quoted(name) + "=";
    const uint8_t* data = value.GetData();
    uint32_t size = value.GetDataSize();
    std::vector<uint8_t> nearest;
    if (LacksFinalZero(value)) {
        nearest.assign(data, data + size);
        nearest.push_back(0);
        data = nearest.data();
        ++size;
    }
    if (IsPlainText(value.GetType(), data, size)) {
        line += Quoted(std::string_view(reinterpret_cast<const char*>(data), size - 1));
    } else if (RegTypeOf(value.GetType()).fileForm == RegFileForm::Dword && size == 4) {
        line += DwordForm(data);
    } else {
        AppendHex(line, value.GetType(), data, size);
    }
    return line + kCrLf;
}

std::string ValuePath(const std::string& keyPath, const CCompareItem& item, const CPatchForm& form)
{
    std::string name;
    item.GetName(name);
    return keyPath + "\\" + (item.GetStoredName().empty() ? name : PatchName(item.GetStoredName(), form));
}

class CPatchWriter {
public:
    CPatchWriter(const CRegPatchOptions& options, const CCompareScope& scope, const CPatchForm& form)
        : m_options(options), m_scope(scope), m_form(form)
    {
    }
    void WriteState(const CCompareNode& root, bool target);
    bool Refused() const { return !m_refused.empty() || !m_hives.empty(); }
    bool Nearly() const { return !m_nearly.empty() || !m_maybeInexact.empty(); }
    std::string Text() const;
    std::string Refusal() const;
    std::string NearlyNote() const;

private:
    // Whether creating or deleting the key at depth (1 for a root) below
    // root changes a whole hive, or deletes a key directly in a user's hive;
    // noted when it does and the options do not allow it.
    bool ChangesHive(const std::string& root, unsigned depth, const std::string& path, bool create);
    struct Section {
        std::string head;  // "[path]" or "[-path]"
        std::string lines;
    };

    // Checks a key at depth (1 for a root): false, refused, when a registry
    // file cannot name it.
    bool CheckKey(const CCompareNode& key, unsigned depth, const std::string& path);
    bool CheckKeyName(const CCompareNode& key, const std::string& path);
    // Whether the value's name can be written; refused when not. A value to
    // be set that can only be carried nearly is noted.
    bool CheckValue(const CRegVal& value, const std::string& keyPath, bool set);
    // The section of a key whose values are all set, or all deleted.
    Section WholeKeySection(const CCompareNode& key, const std::string& path, bool set);
    void WriteCreatedKey(const CCompareNode& key, const std::string& path);
    // A key of the starting state only that held excluded entries: what is
    // left of it is deleted, the excluded entries stay.
    void WriteTrimmedDeletion(const CCompareNode& key, const std::string& path);
    void WriteValueChanges(const CCompareNode& key, const std::string& path, bool target);
    // The one section of a key found in both states, whichever tree asks.
    Section& SectionOf(const CCompareNode& key, const std::string& path);
    void Refuse(const char* what, const std::string& path, const std::string& reason);
    std::string Shown(const std::string& path) const;
    // Text in the patch's own form as the message gives it.
    std::string MessageText(const std::string& text) const;
    bool Trimmed(const CCompareNode& key) const
    {
        return m_options.trimmed && m_options.trimmed->count(&key) != 0;
    }

    const CRegPatchOptions& m_options;
    const CCompareScope& m_scope;
    const CPatchForm& m_form;
    std::vector<Section> m_sections;
    std::vector<std::string> m_hives;  // "delete the hive HKEY_USERS\S-1-5-..."
    std::unordered_map<const CCompareNode*, size_t> m_sectionOf;
    std::vector<std::string> m_refused;
    std::unordered_set<std::string> m_refusedSeen;
    std::vector<std::string> m_nearly;
    std::vector<std::string> m_maybeInexact;
};

// A path as the messages name it: in the code page, as every message of the
// program is, also when the patch writes it in UTF-8.
std::string CPatchWriter::Shown(const std::string& path) const
{
    return ShownName(MessageText(path));
}

std::string CPatchWriter::MessageText(const std::string& text) const
{
    if (m_options.utf8Message)
        return m_form.unicode ? text : AnsiToUtf8(text);
    return m_form.unicode ? Utf8ToAnsi(text) : text;
}

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
        if (EitherHasTwin(key)) {
            Refuse("key", path, kTwinKey);
            return false;
        }
        return true;
    }
    return CheckKeyName(key, path);
}

bool CPatchWriter::CheckKeyName(const CCompareNode& key, const std::string& path)
{
    const char* problem = KeyNameProblem(key.GetStoredName().view());
    if (!problem)
        problem = ExactNameProblem(key.GetStoredName(), m_form);
    if (problem) {
        Refuse("key", path, problem);
        return false;
    }
    if (EitherHasTwin(key)) {
        Refuse("key", path, kTwinKey);
        return false;
    }
    return true;
}

bool CPatchWriter::CheckValue(const CRegVal& value, const std::string& keyPath, bool set)
{
    const char* problem = NameProblem(value.GetStoredName().view());
    if (!problem)
        problem = ExactNameProblem(value.GetStoredName(), m_form);
    if (problem) {
        Refuse("value", ValuePath(keyPath, value, m_form), problem);
        return false;
    }
    if (EitherHasTwin(value)) {
        Refuse("value", ValuePath(keyPath, value, m_form), kTwinValue);
        return false;
    }
    const bool strings = RegTypeOf(value.GetType()).strings;
    // In the patch's own form: the header lists them; the message converts.
    const std::string listed = ShownName(ValuePath(keyPath, value, m_form)) + " (" + RegTypeName(value.GetType()) + ")";
    // The Unicode form writes data without their final zero as they are, but
    // the registry editor adds one on import in either form.
    if (set && LacksFinalZero(value))
        m_nearly.push_back(listed);
    if (set && strings && m_form.targetInexact)
        m_maybeInexact.push_back(listed);
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

std::string DeletionLine(const CRegVal& value, const CPatchForm& form)
{
    const std::string name = PatchName(value.GetStoredName(), form);
    return (name.empty() ? "@" : Quoted(name, form.unicode)) + "=-" + kCrLf;
}

void CPatchWriter::WriteValueChanges(const CCompareNode& key, const std::string& path, bool target)
{
    for (const CCompareItem* item : key.Items()) {
        const CRegVal& value = static_cast<const CRegVal&>(*item);
        bool set = target && (item->GetState() == csUnique || item->GetState() == csChanged);
        bool remove = !target && item->GetState() == csUnique;
        if (!(set || remove) || !CheckValue(value, path, set))
            continue;
        SectionOf(key, path).lines += set ? ValueLine(value, m_form) : DeletionLine(value, m_form);
    }
}

// Calls write for key and each key below it with its path; write returns
// whether to go below the key.
template <class Write>
void WalkKeys(const CCompareNode& key, const std::string& path, const CPatchForm& form, Write write)
{
    std::vector<std::string> paths;  // paths[d]: the key at depth d below key
    WalkTree(
        key,
        [&](const CCompareNode& node, unsigned depth) {
            paths.resize(depth);
            paths.push_back(depth == 0 ? path : paths[depth - 1] + "\\" + PatchName(node.GetStoredName(), form));
            return write(node, depth, paths.back());
        },
        [](const CCompareItem&, unsigned) {});
}

CPatchWriter::Section CPatchWriter::WholeKeySection(const CCompareNode& key, const std::string& path, bool set)
{
    Section section{"[" + path + "]", std::string()};
    for (const CCompareItem* item : key.Items()) {
        const CRegVal& value = static_cast<const CRegVal&>(*item);
        if (CheckValue(value, path, set))
            section.lines += set ? ValueLine(value, m_form) : DeletionLine(value, m_form);
    }
    return section;
}

void CPatchWriter::WriteCreatedKey(const CCompareNode& key, const std::string& path)
{
    WalkKeys(key, path, m_form, [&](const CCompareNode& node, unsigned depth, const std::string& nodePath) {
        if (depth > 0 && !CheckKeyName(node, nodePath))
            return false;
        m_sections.push_back(WholeKeySection(node, nodePath, true));
        return true;
    });
}

void CPatchWriter::WriteTrimmedDeletion(const CCompareNode& key, const std::string& path)
{
    WalkKeys(key, path, m_form, [&](const CCompareNode& node, unsigned depth, const std::string& nodePath) {
        if (depth > 0 && !CheckKeyName(node, nodePath))
            return false;
        if (!Trimmed(node)) {
            m_sections.push_back(Section{"[-" + nodePath + "]", std::string()});
            return false;
        }
        Section section = WholeKeySection(node, nodePath, false);
        if (!section.lines.empty())
            m_sections.push_back(std::move(section));
        return true;
    });
}

bool CPatchWriter::ChangesHive(const std::string& root, unsigned depth, const std::string& path, bool create)
{
    const char* what = nullptr;
    if (depth == 2)
        what = create ? "create the whole hive " : "delete the whole hive ";
    else if (depth == 3 && !create && root == kRegSnapRootNames[1])
        what = "delete a key directly in a user's hive, ";
    if (!what || m_options.allowHiveChanges)
        return false;
    m_hives.push_back(what + Shown(path));
    return true;
}

void CPatchWriter::WriteState(const CCompareNode& root, bool target)
{
    std::vector<std::string> paths;  // paths[d]: the key at depth d
    // steps[d]: the scope's step of the key at depth d while it lies on the
    // way to a place compared or is one; null inside a place.
    std::vector<const CCompareScope::Step*> steps;
    // Below a key of this state only that lies on the way to the places
    // compared, every key is of this state only, whatever its mark.
    std::vector<bool> passedUnique;
    WalkTree(
        root,
        [&](const CCompareNode& node, unsigned depth) {
            paths.resize(depth);
            steps.resize(depth);
            passedUnique.resize(depth);
            if (depth == 0) {
                paths.emplace_back();
                steps.push_back(m_scope.Whole() ? nullptr : &m_scope.Root());
                passedUnique.push_back(false);
                return true;
            }
            std::string name = PatchName(node.GetStoredName(), m_form);
            paths.push_back(depth == 1 ? name : paths[depth - 1] + "\\" + name);
            const CCompareScope::Step* up = steps[depth - 1];
            steps.push_back(up && !up->chosen ? CCompareScope::Find(*up, node.GetStoredName()) : nullptr);
            const std::string& path = paths.back();
            if (!CheckKey(node, depth, path))
                return false;
            passedUnique.push_back(false);
            if (node.GetState() == csUnique || passedUnique[depth - 1]) {
                // A key on the way to the places compared goes only as far as
                // they do: what else it holds was not recorded by both.
                const bool onTheWay = steps.back() && !steps.back()->chosen;
                if (!target && onTheWay) {
                    passedUnique.back() = true;
                    return true;
                }
                if (ChangesHive(paths[1], depth, path, target))
                    return false;
                if (target)
                    WriteCreatedKey(node, path);
                else if (Trimmed(node))
                    WriteTrimmedDeletion(node, path);
                else
                    m_sections.push_back(Section{"[-" + path + "]", std::string()});
                return false;  // the whole key goes or comes with its sections
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
    std::string text = m_form.unicode ? kUnicodeHeader : kHeader;
    for (const auto& [head, values] : {std::make_pair(kNearlyHead, &m_nearly), std::make_pair(kMaybeInexactHead, &m_maybeInexact)}) {
        if (values->empty())
            continue;
        text += std::string("; ") + head + kCrLf;
        for (const std::string& value : *values)
            text += ";   " + value + kCrLf;
        text += kCrLf;
    }
    for (const Section& section : m_sections)
        text += section.head + kCrLf + section.lines + kCrLf;
    if (!m_form.unicode)
        return text;
    // UTF-16, little-endian, after its byte-order mark, as the registry
    // editor writes and reads this form.
    std::u16string units = Utf8ToUtf16(text);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + 2 * units.size());
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Lines under a first line, the first kListedRefusals of them, then a count.
std::string Listed(const char* head, const std::vector<std::string>& lines)
{
    std::string text = head;
    for (size_t i = 0; i < lines.size() && i < kListedRefusals; ++i)
        text += "\n  " + lines[i];
    if (lines.size() > kListedRefusals)
        text += "\n  and " + std::to_string(lines.size() - kListedRefusals) + " more";
    return text;
}

std::string CPatchWriter::Refusal() const
{
    if (!m_hives.empty()) {
        std::string more = m_hives.size() > 1 ? " (and " + std::to_string(m_hives.size() - 1) + " more)" : "";
        return "cannot write the registry patch: it would " + m_hives.front() + more +
               "; a hive in one snap shot only is most often a user who logged on or off between them. "
               "Leave it out with --exclude, or give --allow-hive-changes to write it.";
    }
    return Listed("cannot write the registry patch: a registry file cannot carry these entries exactly:",
                  m_refused);
}

std::string CPatchWriter::NearlyNote() const
{
    std::string note;
    for (const auto& [head, values] : {std::make_pair(kNearlyHead, &m_nearly), std::make_pair(kMaybeInexactHead, &m_maybeInexact)}) {
        if (values->empty())
            continue;
        std::vector<std::string> lines = *values;
        for (std::string& line : lines)
            line = MessageText(line);
        note += (note.empty() ? "" : "\n") + Listed((std::string("the registry patch is not exact: ") + head).c_str(), lines);
    }
    return note;
}

// Whether an entry left in the tree has a name or string data that its
// recorded form, read in codePage, does not give: an exact form the
// snapshot's appendix kept, or one of a file of another code page.
bool NeedsUnicode(const CCompareNode& root, uint32_t codePage)
{
    auto differs = [codePage](const CCompareName& name) {
        return name.HasExact() && CodePageToUtf16(codePage, name.view()) != name.Exact();
    };
    bool needed = false;
    WalkTree(
        root,
        [&](const CCompareNode& node, unsigned) {
            needed = needed || differs(node.GetStoredName());
            return !needed;
        },
        [&](const CCompareItem& item, unsigned) {
            const CRegVal& value = static_cast<const CRegVal&>(item);
            needed = needed || differs(item.GetStoredName()) ||
                     (value.HasExactData() &&
                      UnicodeData(value, CPatchForm{true, codePage, false}) !=
                          CodePageToUtf16(codePage, std::string_view(reinterpret_cast<const char*>(value.GetData()),
                                                                     value.GetDataSize())));
        });
    return needed;
}

}  // namespace

RegPatchOutcome WriteRegPatch(const CCompareMine& mine, const CRegPatchOptions& options,
                              std::string& text, std::string& message)
{
    text.clear();
    message.clear();
    if (!dynamic_cast<const CRegMine*>(&mine) || !mine.GetRoot1() || !mine.GetRoot2()) {
        message = "cannot write a registry patch: the comparison is not one of registry snap shots";
        return RegPatchOutcome::Refused;
    }
    const CRegMine& reg = static_cast<const CRegMine&>(mine);
    for (int snapshot : {1, 2}) {
        const CSnapAppendix& appendix = snapshot == 1 ? mine.Appendix1() : mine.Appendix2();
        const std::string& hive = reg.MissingHive(snapshot);
        if (!appendix.present && !hive.empty()) {
            message = "cannot write the registry patch: snap shot " + std::to_string(snapshot) + " lacks " +
                      ShownName(hive) +
                      ", which every snap shot of the whole registry holds, and was written by Corvane 2.0.0.1 "
                      "or earlier, whose files do not say which keys they hold. Take both snap shots again with "
                      "this version (of the same keys, or of the whole registry) and make the patch from them.";
            return RegPatchOutcome::Refused;
        }
    }
    const CCompareNode& start = options.reverse ? *mine.GetRoot2() : *mine.GetRoot1();
    const CCompareNode& target = options.reverse ? *mine.GetRoot1() : *mine.GetRoot2();
    const CSnapAppendix& targetAppendix = options.reverse ? mine.Appendix1() : mine.Appendix2();
    CPatchForm form;
    form.codePage = targetAppendix.codePage ? targetAppendix.codePage : SystemCodePage();
    form.unicode = NeedsUnicode(start, form.codePage) || NeedsUnicode(target, form.codePage);
    form.targetInexact = !targetAppendix.present;
    CPatchWriter writer(options, mine.Scope(), form);
    writer.WriteState(start, false);
    writer.WriteState(target, true);
    if (writer.Refused()) {
        message = writer.Refusal();
        return RegPatchOutcome::Refused;
    }
    text = writer.Text();
    if (!writer.Nearly())
        return RegPatchOutcome::Exact;
    message = writer.NearlyNote();
    return RegPatchOutcome::Nearly;
}
