// The registry patch of a comparison of two snapshot files, text exact to the
// byte: every type's form, names and strings with quotes and backslashes, the
// unnamed value, hexadecimal data wrapped as the registry editor's own export
// wraps them (the lines below are Wine's regedit /e output for the same
// values), keys created and deleted, and what is refused; the reverse patch
// is the mirror of the forward one.
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/Recorders.h"
#include "tools/RegPatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Patch {
    bool ok = false;
    std::string text, refusal;
};

Patch MakePatch(const TRegistry& r1, const TRegistry& r2, bool reverse)
{
    CRecordingMessages messages;
    CRegMine mine(messages);
    CMemoryFile file1 = WriteSnapshot(r1), file2 = WriteSnapshot(r2);
    EXPECT_TRUE(mine.Compare(nullptr, file1, file2));
    Patch patch;
    patch.ok = WriteRegPatch(mine, reverse, patch.text, patch.refusal);
    return patch;
}

// A registry file: the header, then the lines, each ended by CRLF.
std::string RegFile(const std::vector<std::string>& lines)
{
    std::string text = "REGEDIT4\r\n\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<uint8_t> Data(const std::string& bytes)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<uint8_t> Counting(size_t n, uint8_t first = 0)
{
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint8_t>(first + i);
    return data;
}

const char kKey[] = "[HKEY_LOCAL_MACHINE\\Software\\Pellix]";

// Software\Pellix with one value that stays.
TRegistry Base()
{
    TRegistry r;
    r.machine.subkeys.push_back(TKey{"Software", {}, {TKey{"Pellix", {Dword("Keep", 1)}, {}}}});
    return r;
}

TKey& Pellix(TRegistry& r)
{
    return r.machine.subkeys[0].subkeys[0];
}

TRegistry WithValue(const TValue& value)
{
    TRegistry r = Base();
    Pellix(r).values.push_back(value);
    return r;
}

struct ValueCase {
    TValue value;
    std::vector<std::string> lines;  // what sets it
    std::string removal;             // what deletes it
};

void ExpectValueCase(const ValueCase& c)
{
    SCOPED_TRACE(c.lines[0]);
    Patch forward = MakePatch(Base(), WithValue(c.value), false);
    ASSERT_TRUE(forward.ok) << forward.refusal;
    std::vector<std::string> lines{kKey};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    lines.push_back("");
    EXPECT_EQ(forward.text, RegFile(lines));
    Patch reverse = MakePatch(Base(), WithValue(c.value), true);
    ASSERT_TRUE(reverse.ok) << reverse.refusal;
    EXPECT_EQ(reverse.text, RegFile({kKey, c.removal, ""}));
}

TEST(RegPatch, EachTypeInItsForm)
{
    const ValueCase cases[] = {
        {TValue{"none", 0, {}}, {"\"none\"=hex(0):"}, "\"none\"=-"},
        {TValue{"none data", 0, {1, 2}}, {"\"none data\"=hex(0):01,02"}, "\"none data\"=-"},
        {Sz("text", "Pellix tools"), {"\"text\"=\"Pellix tools\""}, "\"text\"=-"},
        {Sz("path", "say \"hi\" C:\\dir\\"), {R"("path"="say \"hi\" C:\\dir\\")"}, "\"path\"=-"},
        {Sz("empty", ""), {"\"empty\"=\"\""}, "\"empty\"=-"},
        {Sz("accented", "\xE9t\xE9 \xFF\x81\x7F"), {"\"accented\"=\"\xE9t\xE9 \xFF\x81\x7F\""}, "\"accented\"=-"},
        {Sz("tab", "a\tb"), {"\"tab\"=\"a\tb\""}, "\"tab\"=-"},
        {TValue{"no data", 1, {}}, {"\"no data\"=hex(1):"}, "\"no data\"=-"},
        {Sz("lines", "a\r\nb"), {"\"lines\"=hex(1):61,0d,0a,62,00"}, "\"lines\"=-"},
        {Sz("control", "\x1A"), {"\"control\"=hex(1):1a,00"}, "\"control\"=-"},
        {TValue{"inner zero", 1, Data(std::string("a\0b\0", 4))}, {"\"inner zero\"=hex(1):61,00,62,00"}, "\"inner zero\"=-"},
        {TValue{"two zeros", 1, Data(std::string("a\0\0", 3))}, {"\"two zeros\"=hex(1):61,00,00"}, "\"two zeros\"=-"},
        {Sz("expand", "%P%\\x", 2), {"\"expand\"=hex(2):25,50,25,5c,78,00"}, "\"expand\"=-"},
        {TValue{"binary", 3, {0, 0xAB, 0xFF}}, {"\"binary\"=hex:00,ab,ff"}, "\"binary\"=-"},
        {TValue{"no binary", 3, {}}, {"\"no binary\"=hex:"}, "\"no binary\"=-"},
        {Dword("dword", 0x2A), {"\"dword\"=dword:0000002a"}, "\"dword\"=-"},
        {Dword("max", 0xFFFFFFFF), {"\"max\"=dword:ffffffff"}, "\"max\"=-"},
        {TValue{"short dword", 4, {1, 2}}, {"\"short dword\"=hex(4):01,02"}, "\"short dword\"=-"},
        {TValue{"long dword", 4, {1, 2, 3, 4, 5}}, {"\"long dword\"=hex(4):01,02,03,04,05"}, "\"long dword\"=-"},
        {TValue{"no dword", 4, {}}, {"\"no dword\"=hex(4):"}, "\"no dword\"=-"},
        {TValue{"big endian", 5, {0, 0, 0, 1}}, {"\"big endian\"=hex(5):00,00,00,01"}, "\"big endian\"=-"},
        {TValue{"link", 6, {'a', 'b'}}, {"\"link\"=hex(6):61,62"}, "\"link\"=-"},
        {TValue{"multi", 7, Data(std::string("a\0bc\0\0", 6))}, {"\"multi\"=hex(7):61,00,62,63,00,00"}, "\"multi\"=-"},
        {TValue{"no multi", 7, {}}, {"\"no multi\"=hex(7):"}, "\"no multi\"=-"},
        {TValue{"qword", 11, Counting(8, 1)}, {"\"qword\"=hex(b):01,02,03,04,05,06,07,08"}, "\"qword\"=-"},
        {TValue{"0x20000", 0x20000, {1}}, {"\"0x20000\"=hex(20000):01"}, "\"0x20000\"=-"},
        {TValue{"top", 0xFFFFFFFF, {}}, {"\"top\"=hex(ffffffff):"}, "\"top\"=-"},
        {Sz("", "default"), {"@=\"default\""}, "@=-"},
        {Dword("", 7), {"@=dword:00000007"}, "@=-"},
        {Sz("@", "named at"), {"\"@\"=\"named at\""}, "\"@\"=-"},
        {Sz("back\\slash \"q\"", "x"), {R"("back\\slash \"q\""="x")"}, R"("back\\slash \"q\""=-)"},
        {Sz(" a=b;c]\t", "y"), {"\" a=b;c]\t\"=\"y\""}, "\" a=b;c]\t\"=-"},
        {Sz("long text", std::string(300, 'x')), {"\"long text\"=\"" + std::string(300, 'x') + "\""}, "\"long text\"=-"},
    };
    for (const ValueCase& c : cases)
        ExpectValueCase(c);
}

TEST(RegPatch, LongDataWrappedAsTheEditorExports)
{
    const ValueCase cases[] = {
        {TValue{"long1", 3, Counting(100)},
         {"\"long1\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\",
          "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\",
          "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\",
          "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\",
          "  61,62,63"},
         "\"long1\"=-"},
        {TValue{"a_rather_long_value_name_that_takes_up_room", 3, Counting(60)},
         {"\"a_rather_long_value_name_that_takes_up_room\"=hex:00,01,02,03,04,05,06,07,08,\\",
          "  09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,\\",
          "  22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,\\",
          "  3b"},
         "\"a_rather_long_value_name_that_takes_up_room\"=-"},
        {TValue{"longer_still_value_name_that_takes_up_even_more_room_on_the_line_xx", 3, Counting(30)},
         {"\"longer_still_value_name_that_takes_up_even_more_room_on_the_line_xx\"=hex:00,\\",
          "  01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,\\",
          "  1a,1b,1c,1d"},
         "\"longer_still_value_name_that_takes_up_even_more_room_on_the_line_xx\"=-"},
        {TValue{"", 3, Counting(40, 0x80)},
         {"@=hex:80,81,82,83,84,85,86,87,88,89,8a,8b,8c,8d,8e,8f,90,91,92,93,94,95,96,97,\\",
          "  98,99,9a,9b,9c,9d,9e,9f,a0,a1,a2,a3,a4,a5,a6,a7"},
         "@=-"},
        {TValue{"big", 0x20000, Counting(50)},
         {"\"big\"=hex(20000):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,\\",
          "  14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,\\",
          "  2d,2e,2f,30,31"},
         "\"big\"=-"},
        {TValue{"qu\"o\\te", 3, Counting(30)},
         {"\"qu\\\"o\\\\te\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\",
          "  15,16,17,18,19,1a,1b,1c,1d"},
         "\"qu\\\"o\\\\te\"=-"},
        {TValue{"v23", 3, Counting(23)},
         {"\"v23\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16"},
         "\"v23\"=-"},
    };
    for (const ValueCase& c : cases)
        ExpectValueCase(c);
}

// Before: Software\Pellix with values and a subkey Old (with Old\Deeper);
// after: values changed, added, removed, Old gone, New added with a subkey.
TRegistry Before()
{
    TRegistry r = Base();
    Pellix(r).values = {Sz("", "Pellix tools"), Dword("Version", 1), Sz("Gone", "bye"),
                        TValue{"Retyped", 3, {1, 0, 0, 0}}, Dword("Keep", 1)};
    Pellix(r).subkeys.push_back(TKey{"Old", {Dword("x", 3)}, {TKey{"Deeper", {Dword("y", 4)}, {}}}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {Sz("Run", "a.exe")}, {}});
    return r;
}

TRegistry After()
{
    TRegistry r = Before();
    TKey& pellix = Pellix(r);
    pellix.values = {Sz("", "Pellix tools 2"), Dword("Version", 2), Dword("Retyped", 1),
                     Dword("Keep", 1), TValue{"Added", 3, {0xAB}}};
    pellix.subkeys = {TKey{"New", {Sz("", "fresh"), Dword("n", 9)}, {TKey{"Inner", {}, {}}}}};
    r.users.subkeys[0].values[0] = Sz("Run", "b.exe");
    return r;
}

TEST(RegPatch, ForwardDeletesCreatesAndChanges)
{
    Patch patch = MakePatch(Before(), After(), false);
    ASSERT_TRUE(patch.ok) << patch.refusal;
    EXPECT_EQ(patch.text, RegFile({kKey, "\"Gone\"=-", "@=\"Pellix tools 2\"",
                                   "\"Version\"=dword:00000002", "\"Added\"=hex:ab", "",
                                   "[-HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old]", "",
                                   "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\New]", "@=\"fresh\"",
                                   "\"n\"=dword:00000009", "",
                                   "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\New\\Inner]", "",
                                   "[HKEY_USERS\\.DEFAULT]", "\"Run\"=\"b.exe\"", ""}));
}

TEST(RegPatch, ReverseIsTheMirror)
{
    Patch patch = MakePatch(Before(), After(), true);
    ASSERT_TRUE(patch.ok) << patch.refusal;
    EXPECT_EQ(patch.text, RegFile({kKey, "\"Added\"=-", "@=\"Pellix tools\"",
                                   "\"Version\"=dword:00000001", "\"Gone\"=\"bye\"", "",
                                   "[-HKEY_LOCAL_MACHINE\\Software\\Pellix\\New]", "",
                                   "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old]", "\"x\"=dword:00000003", "",
                                   "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old\\Deeper]", "\"y\"=dword:00000004", "",
                                   "[HKEY_USERS\\.DEFAULT]", "\"Run\"=\"a.exe\"", ""}));
    // Swapping the snapshots gives the same file.
    Patch swapped = MakePatch(After(), Before(), false);
    EXPECT_EQ(swapped.text, patch.text);
}

TEST(RegPatch, IdenticalSnapshotsGiveTheHeaderAlone)
{
    EXPECT_EQ(MakePatch(Before(), Before(), false).text, "REGEDIT4\r\n\r\n");
    EXPECT_EQ(MakePatch(Before(), Before(), true).text, "REGEDIT4\r\n\r\n");
}

struct RefusalCase {
    const char* what;
    TRegistry from, to;
    bool reverse;
    std::string entry;  // the refusal's line
};

const std::string kRefusalHead =
    "cannot write the registry patch: a registry file cannot carry these entries exactly:\n";

TRegistry WithKey(const std::string& name)
{
    TRegistry r = Base();
    Pellix(r).subkeys.push_back(TKey{name, {}, {}});
    return r;
}

TEST(RegPatch, RefusesWhatAFileCannotCarry)
{
    TRegistry rootless = Base();
    rootless.users.name = "HKEY_CURRENT_USER";
    TRegistry deepBad = WithKey("Fine");
    Pellix(deepBad).subkeys[0].subkeys.push_back(TKey{"Bad\nKey", {}, {}});
    Pellix(deepBad).subkeys[0].values.push_back(TValue{"nul", 1, {'a'}});
    const RefusalCase cases[] = {
        {"key with a line break", Base(), WithKey("Line\nBreak"), false,
         "  key HKEY_LOCAL_MACHINE\\Software\\Pellix\\Line<0A>Break: a line break in its name\n"},
        {"deleted key with a line break", WithKey("Line\rBreak"), Base(), false,
         "  key HKEY_LOCAL_MACHINE\\Software\\Pellix\\Line<0D>Break: a line break in its name\n"},
        {"key with a backslash", Base(), WithKey("a\\b"), false,
         "  key HKEY_LOCAL_MACHINE\\Software\\Pellix\\a\\b: a backslash in its name, which a path "
         "takes for two keys\n"},
        {"key without a name", Base(), WithKey(""), false,
         "  key HKEY_LOCAL_MACHINE\\Software\\Pellix\\: an empty name\n"},
        {"deep in a created key", Base(), deepBad, false,
         "  value HKEY_LOCAL_MACHINE\\Software\\Pellix\\Fine\\nul: REG_SZ data without a final "
         "zero byte, which an import would add\n"
         "  key HKEY_LOCAL_MACHINE\\Software\\Pellix\\Fine\\Bad<0A>Key: a line break in its name\n"},
        {"value with a line break", Base(), WithValue(Sz("two\nlines", "x")), false,
         "  value HKEY_LOCAL_MACHINE\\Software\\Pellix\\two<0A>lines: a line break in its name\n"},
        {"deleted value with a line break", WithValue(Sz("two\r\nlines", "x")), Base(), false,
         "  value HKEY_LOCAL_MACHINE\\Software\\Pellix\\two<0D><0A>lines: a line break in its name\n"},
        {"REG_SZ without its zero", Base(), WithValue(TValue{"", 1, {'a', 'b'}}), false,
         "  value HKEY_LOCAL_MACHINE\\Software\\Pellix\\(Default): REG_SZ data without a final "
         "zero byte, which an import would add\n"},
        {"REG_EXPAND_SZ without its zero", Base(), WithValue(TValue{"e", 2, {'%'}}), false,
         "  value HKEY_LOCAL_MACHINE\\Software\\Pellix\\e: REG_EXPAND_SZ data without a final "
         "zero byte, which an import would add\n"},
        {"REG_MULTI_SZ without its zero", WithValue(TValue{"m", 7, {'a', 0, 'b'}}), Base(), true,
         "  value HKEY_LOCAL_MACHINE\\Software\\Pellix\\m: REG_MULTI_SZ data without a final "
         "zero byte, which an import would add\n"},
        {"a root other than the two", Base(), rootless, false,
         "  key HKEY_USERS: a root of the registry in one snapshot only, which no registry file "
         "can create or delete\n"
         "  key HKEY_CURRENT_USER: not HKEY_LOCAL_MACHINE or HKEY_USERS, the roots a snapshot "
         "records\n"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        Patch patch = MakePatch(c.from, c.to, c.reverse);
        EXPECT_FALSE(patch.ok);
        EXPECT_EQ(patch.text, "");
        EXPECT_EQ(patch.refusal + "\n", kRefusalHead + c.entry);
    }
}

TEST(RegPatch, DataAreCheckedOnlyWhereTheyAreWritten)
{
    // A value without its zero byte can be deleted, and a bad key's name
    // is never written when the key it lies in is deleted whole.
    TRegistry bad = WithValue(TValue{"s", 1, {'a'}});
    Pellix(bad).subkeys.push_back(TKey{"Gone", {}, {TKey{"Line\nBreak", {}, {}}}});
    Patch forward = MakePatch(bad, Base(), false);
    ASSERT_TRUE(forward.ok) << forward.refusal;
    EXPECT_EQ(forward.text,
              RegFile({kKey, "\"s\"=-", "", "[-HKEY_LOCAL_MACHINE\\Software\\Pellix\\Gone]", ""}));
    EXPECT_FALSE(MakePatch(bad, Base(), true).ok);
}

TEST(RegPatch, ManyRefusalsAreCounted)
{
    TRegistry r = Base();
    for (int i = 0; i < 25; ++i)
        Pellix(r).values.push_back(TValue{"v" + std::to_string(i), 1, {'x'}});
    Patch patch = MakePatch(Base(), r, false);
    ASSERT_FALSE(patch.ok);
    EXPECT_EQ(patch.refusal.substr(patch.refusal.size() - 13), "\n  and 5 more");
    EXPECT_EQ(std::count(patch.refusal.begin(), patch.refusal.end(), '\n'), 21);
}

TEST(RegPatch, RefusesAFileSystemComparison)
{
    CRecordingMessages messages;
    CFSMine mine(messages);
    CMemoryFile file1 = WriteSnapshot(TFolder{"C:", {TFile{"a.txt", 1, 0, 0}}, {}});
    CMemoryFile file2 = WriteSnapshot(TFolder{"C:", {}, {}});
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    std::string text = "stale", refusal;
    EXPECT_FALSE(WriteRegPatch(mine, false, text, refusal));
    EXPECT_EQ(text, "");
    EXPECT_EQ(refusal, "cannot write a registry patch: the comparison is not one of registry snap shots");
}

}  // namespace
