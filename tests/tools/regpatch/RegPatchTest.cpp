// The registry patch of two snapshot files, exact to the byte: each type's
// form and its deletion, long data wrapped as Wine's regedit /e wraps the
// same values (the lines below are its output), keys created and deleted,
// the reverse as the mirror, and what is refused.
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/Recorders.h"
#include "report/DiffFilter.h"
#include "report/DiffReport.h"
#include "report/RegPatch.h"

#include <gtest/gtest.h>

namespace {

struct Patch {
    RegPatchOutcome outcome;
    std::string text, refusal;
    bool ok() const { return outcome != RegPatchOutcome::Refused; }
};

// The patch as corvane-diff makes it: types compared, twins marked, and what
// the exclusion pattern names left out.
// A comparison that fails is a refusal with the engine's messages.
Patch MakePatch(const TRegistry& r1, const TRegistry& r2, bool reverse, const std::string& exclude = "",
                bool allowHiveChanges = false)
{
    CRecordingMessages messages;
    CRegMine mine(messages);
    mine.SetTypesCompared(true);
    mine.SetMarkTwins(true);
    CMemoryFile file1 = WriteSnapshot(r1), file2 = WriteSnapshot(r2);
    if (!mine.Compare(nullptr, file1, file2)) {
        Patch failed{RegPatchOutcome::Refused, "", ""};
        for (const std::string& text : messages.Texts())
            failed.refusal += text + "|";
        return failed;
    }
    CPathFilter filter;
    if (!exclude.empty())
        filter.Add(exclude);
    std::unordered_set<const CCompareNode*> trimmed;
    filter.Apply(mine, &trimmed);
    Patch patch;
    patch.outcome =
        WriteRegPatch(mine, CRegPatchOptions{reverse, &trimmed, allowHiveChanges}, patch.text, patch.refusal);
    return patch;
}

std::string RegFile(const std::vector<std::string>& lines)
{
    std::string text = "REGEDIT4\r\n\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<uint8_t> Data(const std::string& bytes) { return {bytes.begin(), bytes.end()}; }
std::vector<uint8_t> Counting(size_t n, uint8_t first = 0)
{
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint8_t>(first + i);
    return data;
}

const char kKey[] = "[HKEY_LOCAL_MACHINE\\Software\\Pellix]";

// Software\Pellix with a value that stays, and what else is given.
TRegistry Pellix(std::vector<TValue> values = {}, std::vector<TKey> subkeys = {})
{
    values.push_back(Dword("Keep", 1));
    TRegistry r;
    r.machine.subkeys.push_back(TKey{"Software", {}, {TKey{"Pellix", values, subkeys}}});
    return r;
}

TEST(RegPatch, EachValueInItsFormAndItsDeletion)
{
    const std::pair<TValue, std::string> cases[] = {
        {TValue{"none", 0, {}}, "\"none\"=hex(0):"},
        {TValue{"n", 0, {1, 2}}, "\"n\"=hex(0):01,02"},
        {Sz("sz", "say \"hi\" C:\\d\\ \xE9\xFF\x81\t"), "\"sz\"=\"say \\\"hi\\\" C:\\\\d\\\\ \xE9\xFF\x81\t\""},
        {Sz("empty", ""), "\"empty\"=\"\""},
        {TValue{"no data", 1, {}}, "\"no data\"=hex(1):"},
        {Sz("lines", "a\r\nb"), "\"lines\"=hex(1):61,0d,0a,62,00"},
        {TValue{"inner zero", 1, Data(std::string("a\0b\0", 4))}, "\"inner zero\"=hex(1):61,00,62,00"},
        {Sz("expand", "%P%", 2), "\"expand\"=hex(2):25,50,25,00"},
        {TValue{"bin", 3, {0, 0xAB}}, "\"bin\"=hex:00,ab"},
        {Dword("dword", 0xFFFFFF2A), "\"dword\"=dword:ffffff2a"},
        {TValue{"short", 4, {1, 2}}, "\"short\"=hex(4):01,02"},
        {TValue{"multi", 7, Data(std::string("a\0\0", 3))}, "\"multi\"=hex(7):61,00,00"},
        {TValue{"q", 11, Counting(8, 1)}, "\"q\"=hex(b):01,02,03,04,05,06,07,08"},
        {TValue{"t", 0x20000, {1}}, "\"t\"=hex(20000):01"},
        {Sz("", "default"), "@=\"default\""},
        {Sz("@", "at"), "\"@\"=\"at\""},
        {Sz("b\\s \"q\" a=b]", "x"), "\"b\\\\s \\\"q\\\" a=b]\"=\"x\""},
        {TValue{"long1", 3, Counting(100)},
         "\"long1\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
         "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
         "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\r\n"
         "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\r\n"
         "  61,62,63"},
        {TValue{"longer_still_value_name_that_takes_up_even_more_room_on_the_line_xx", 3, Counting(30)},
         "\"longer_still_value_name_that_takes_up_even_more_room_on_the_line_xx\"=hex:00,\\\r\n"
         "  01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,\\\r\n"
         "  1a,1b,1c,1d"},
        {TValue{"", 0x20000, Counting(50)},
         "@=hex(20000):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
         "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
         "  2f,30,31"},
    };
    for (const auto& [value, line] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(MakePatch(Pellix(), Pellix({value}), false).text, RegFile({kKey, line, ""}));
        std::string name = line.substr(0, line[0] == '@' ? 1 : line.find("\"=") + 1);
        EXPECT_EQ(MakePatch(Pellix(), Pellix({value}), true).text, RegFile({kKey, name + "=-", ""}));
    }
}

// Values changed, added and removed (one only retyped, which a patch carries),
// a key with a subkey removed, one added.
TRegistry Before()
{
    TRegistry r = Pellix({Sz("", "v1"), Sz("Gone", "bye"), TValue{"Retyped", 3, {1, 0, 0, 0}}},
                         {TKey{"Old", {Dword("x", 3)}, {TKey{"Deeper", {}, {}}}}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {Sz("Run", "a")}, {}});
    return r;
}

TRegistry After()
{
    TRegistry r = Pellix({Sz("", "v2"), Dword("Retyped", 1), TValue{"Added", 3, {0xAB}}},
                         {TKey{"New", {Sz("", "fresh")}, {TKey{"Inner", {}, {}}}}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {Sz("Run", "b")}, {}});
    return r;
}

TEST(RegPatch, KeysCreatedAndDeletedAndTheReverseAsTheMirror)
{
    EXPECT_EQ(MakePatch(Before(), After(), false).text,
              RegFile({kKey, "\"Gone\"=-", "@=\"v2\"", "\"Retyped\"=dword:00000001", "\"Added\"=hex:ab", "",
                       "[-HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old]", "",
                       "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\New]", "@=\"fresh\"", "",
                       "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\New\\Inner]", "",
                       "[HKEY_USERS\\.DEFAULT]", "\"Run\"=\"b\"", ""}));
    std::string reverse = RegFile({kKey, "\"Added\"=-", "@=\"v1\"", "\"Gone\"=\"bye\"", "\"Retyped\"=hex:01,00,00,00", "",
                                   "[-HKEY_LOCAL_MACHINE\\Software\\Pellix\\New]", "",
                                   "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old]", "\"x\"=dword:00000003", "",
                                   "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old\\Deeper]", "",
                                   "[HKEY_USERS\\.DEFAULT]", "\"Run\"=\"a\"", ""});
    EXPECT_EQ(MakePatch(Before(), After(), true).text, reverse);
    EXPECT_EQ(MakePatch(After(), Before(), false).text, reverse);
    EXPECT_EQ(MakePatch(Before(), Before(), false).text, "REGEDIT4\r\n\r\n");
}

TEST(RegPatch, RefusesWhatAFileCannotCarryWhereItIsWritten)
{
    TRegistry rootless = Pellix();
    rootless.users.name = "HKEY_CURRENT_USER";
    const std::string head = "cannot write the registry patch: a registry file cannot carry these entries exactly:";
    const std::string at = "\n  key HKEY_LOCAL_MACHINE\\Software\\Pellix\\";
    const std::string value = "\n  value HKEY_LOCAL_MACHINE\\Software\\Pellix\\";
    const std::string twin = ": another key of the same name once letters are folded, which a registry file cannot tell apart";
    TRegistry twinRoot = Pellix();
    twinRoot.machine.subkeys.push_back(TKey{"SOFTWARE", {}, {}});
    const struct {
        TRegistry from, to;
        std::string entries;
    } cases[] = {
        {Pellix(), Pellix({}, {TKey{"A\nB", {}, {}}}), at + "A<0A>B: a line break in its name"},
        {Pellix({}, {TKey{"A\rB", {}, {}}}), Pellix(), at + "A<0D>B: a line break in its name"},
        {Pellix(), Pellix({}, {TKey{"a\\b", {}, {}}}), at + "a\\b: a backslash in its name, which a path takes for two keys"},
        {Pellix(), Pellix({}, {TKey{"", {}, {}}}), at + ": an empty name"},
        {Pellix(), Pellix({}, {TKey{"F", {TValue{"s", 1, {'a'}}}, {TKey{"\n", {}, {}}}}}),
         at + "F\\<0A>: a line break in its name"},
        {Pellix({Sz("a\r\nb", "x")}), Pellix(), value + "a<0D><0A>b: a line break in its name"},
        // Siblings that the registry takes for one: by letter case, or once
        // the names are cut at a zero byte.
        {Pellix({}, {TKey{"CorvaneSec", {Dword("x", 1)}, {}}}),
         Pellix({}, {TKey{"CorvaneSec", {Dword("x", 1)}, {}}, TKey{"CORVANESEC", {}, {}}}), at + "CORVANESEC" + twin},
        {Pellix({Sz("Path", "a")}), Pellix({Sz("Path", "a"), Sz("PATH", "b")}),
         value + "PATH: another value of the same name once letters are folded, which a registry file cannot tell apart"},
        {Pellix(), twinRoot, "\n  key HKEY_LOCAL_MACHINE\\SOFTWARE" + twin},
        {Pellix(), Pellix({}, {TKey{std::string("Dup\0a", 5), {}, {}}, TKey{std::string("Dup\0b", 5), {}, {}}}),
         at + "Dup" + twin},
        {Pellix(), rootless, "\n  key HKEY_USERS: a root of the registry in one snapshot only, which no registry file can create or delete"
                             "\n  key HKEY_CURRENT_USER: not HKEY_LOCAL_MACHINE or HKEY_USERS, the roots a snapshot records"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        for (bool reverse : {false, true}) {
            Patch patch = reverse ? MakePatch(c.to, c.from, true) : MakePatch(c.from, c.to, false);
            EXPECT_FALSE(patch.ok());
            EXPECT_EQ(patch.text, "");
            EXPECT_EQ(patch.refusal, head + c.entries);
        }
    }
    // What is not written is not refused: a value without its zero deleted,
    // a bad name inside a key deleted whole.
    TRegistry bad = Pellix({TValue{"s", 1, {'a'}}}, {TKey{"Gone", {}, {TKey{"A\nB", {}, {}}}}});
    EXPECT_EQ(MakePatch(bad, Pellix(), false).text,
              RegFile({kKey, "\"s\"=-", "", "[-HKEY_LOCAL_MACHINE\\Software\\Pellix\\Gone]", ""}));
    std::vector<TValue> many(25, TValue{"", 1, {'x'}});
    for (size_t i = 0; i < many.size(); ++i)
        many[i].name = "v" + std::to_string(i);
    Patch patch = MakePatch(Pellix(), Pellix(many), false);
    EXPECT_EQ(patch.refusal.substr(patch.refusal.rfind('\n')), "\n  and 5 more");
    // A twin in a list long enough to be searched through the names' hashes.
    std::vector<TValue> more = many;
    more.push_back(Sz("V3", "y"));
    EXPECT_EQ(MakePatch(Pellix(many), Pellix(more), false).refusal,
              head + value + "V3: another value of the same name once letters are folded, which a registry file cannot tell apart");
}

// Strings without their final zero, which the import adds, are written with
// it, named in the header and in the message.
TEST(RegPatch, WritesStringsWithoutTheirZeroNearlyAndSaysSo)
{
    Patch patch = MakePatch(Pellix(), Pellix({TValue{"", 1, {'a'}}, TValue{"e", 2, {'%'}}}), false);
    EXPECT_EQ(patch.outcome, RegPatchOutcome::Nearly);
    const std::string path = "HKEY_LOCAL_MACHINE\\Software\\Pellix\\";
    const std::string head = "these string values lack a final zero byte, which an import adds:";
    EXPECT_EQ(patch.text, RegFile({"; " + head, ";   " + path + "(Default) (REG_SZ)",
                                   ";   " + path + "e (REG_EXPAND_SZ)", "", kKey, "@=\"a\"", "\"e\"=hex(2):25,00", ""}));
    EXPECT_EQ(patch.refusal, "the registry patch is not exact: " + head + "\n  " + path +
                                 "(Default) (REG_SZ)\n  " + path + "e (REG_EXPAND_SZ)");
}

// UTF-16 text as the bytes of a file: little-endian after its byte-order mark.
std::string Utf16File(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text)
        bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

// Names and strings the code page cannot hold take the Unicode form, every
// string as the registry held it; sibling values that read alike are no
// twins. From a file that kept only the code page's forms, every string set
// is named as one that may not be what the registry held.
TEST(RegPatch, ExactFormsTakeTheUnicodeFormAndCodePageFormsAreNamed)
{
    TValue path = Sz("??", "C:\\???");
    path.exact.name = u"\u041f\u0443";
    const char16_t pathData[] = u"C:\\\u0416\u0443\u043a";
    path.exact.data.assign(reinterpret_cast<const uint8_t*>(pathData), reinterpret_cast<const uint8_t*>(pathData) + sizeof pathData);
    path.exact.hasData = true;
    TValue twin = Dword("??", 7);
    twin.exact.name = u"\u0416\u0416";
    TValue lines{"lines", 7, {'a', 0, 'b'}};  // a REG_MULTI_SZ without its final zeros
    Patch patch = MakePatch(Pellix(), Pellix({path, twin, lines}), false);
    // Written as it is, and named: the registry editor adds the zero on import.
    EXPECT_EQ(patch.outcome, RegPatchOutcome::Nearly) << patch.refusal;
    EXPECT_EQ(patch.text, Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                    u"; these string values lack a final zero byte, which an import adds:\r\n"
                                    u";   HKEY_LOCAL_MACHINE\\Software\\Pellix\\lines (REG_MULTI_SZ)\r\n\r\n"
                                    u"[HKEY_LOCAL_MACHINE\\Software\\Pellix]\r\n"
                                    u"\"\u041f\u0443\"=\"C:\\\\\u0416\u0443\u043a\"\r\n"
                                    u"\"\u0416\u0416\"=dword:00000007\r\n"
                                    u"\"lines\"=hex(7):61,00,00,00,62,00\r\n\r\n"));

    // Both of the whole registry: the hives every such snapshot holds.
    auto whole = [](TRegistry r) {
        r.machine.subkeys[0].name = "SOFTWARE";
        r.machine.subkeys.push_back(TKey{"SYSTEM", {}, {}});
        r.users.subkeys.push_back(TKey{".DEFAULT", {}, {}});
        return r;
    };
    TRegistry old = whole(Pellix({Sz("s", "x")}));
    old.appendix.present = false;
    patch = MakePatch(whole(Pellix()), old, false);
    EXPECT_EQ(patch.outcome, RegPatchOutcome::Nearly);
    const std::string head = "these string values come from a snap shot of Corvane 2.0.0.1 or earlier, which kept them "
                             "only in the code page, and may not be what the registry held:";
    const std::string s = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix\\s (REG_SZ)";
    EXPECT_EQ(patch.text, RegFile({"; " + head, ";   " + s, "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix]", "\"s\"=\"x\"", ""}));
    EXPECT_EQ(patch.refusal, "the registry patch is not exact: " + head + "\n  " + s);
}

// A refusal names the entry exactly for the window, which shows it wide, and
// in the code page for the console.
TEST(RegPatch, ARefusalNamesAnExactNameInTheFormItIsShownIn)
{
    TRegistry before, after;
    before.users.subkeys.push_back(TKey{"???????", {}, {}, u"\u0414\u043c\u0438\u0442\u0440\u0438\u0439"});
    CRecordingMessages messages;
    CRegMine mine(messages);
    CMemoryFile file1 = WriteSnapshot(before), file2 = WriteSnapshot(after);
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    for (bool utf8 : {false, true}) {
        std::string text, message;
        CRegPatchOptions options;
        options.utf8Message = utf8;
        EXPECT_EQ(WriteRegPatch(mine, options, text, message), RegPatchOutcome::Refused);
        const std::string named = utf8 ? "HKEY_USERS\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439" : "HKEY_USERS\\???????";
        EXPECT_NE(message.find("delete the whole hive " + named + ";"), std::string::npos) << message;
    }
}

// A removed key that holds an excluded entry is emptied, not deleted.
TEST(RegPatch, KeepsWhatIsExcludedBelowARemovedKey)
{
    TRegistry before = Pellix({}, {TKey{"Old", {Dword("Keep", 1), Dword("Other", 2)}, {TKey{"Sub", {Dword("x", 3)}, {}}}}});
    const std::string old = "[HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old]";
    EXPECT_EQ(MakePatch(before, Pellix(), false, "HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old\\Keep").text,
              RegFile({old, "\"Other\"=-", "", "[-HKEY_LOCAL_MACHINE\\Software\\Pellix\\Old\\Sub]", ""}));
    EXPECT_EQ(MakePatch(before, Pellix(), false, "**\\Sub\\X").text,
              RegFile({old, "\"Keep\"=-", "\"Other\"=-", ""}));
    EXPECT_EQ(MakePatch(before, Pellix(), false, "**\\Old").text, "REGEDIT4\r\n\r\n");
}

// The window hides entries of one result and shows them again: each set of
// patterns in turn on the same result gives the report and the patch that a
// fresh comparison with those patterns gives, and after the last the result
// is whole again. Bad lines are refused with their number, adding nothing.
TEST(RegPatch, HiddenEntriesAreWhatTheToolLeavesOutAndComeBackWhole)
{
    TRegistry before = Pellix({Dword("Lease", 1)}, {TKey{"Old", {Dword("Keep", 1)}, {TKey{"Sub", {Dword("x", 3)}, {}}}},
                                                     TKey{"Cache", {Dword("n", 1)}, {}}});
    TRegistry after = Pellix({Dword("Lease", 2), Dword("New", 5)}, {TKey{"Cache", {Dword("n", 2)}, {}}});
    CRecordingMessages messages;
    CRegMine mine(messages);
    mine.SetTypesCompared(true);
    mine.SetMarkTwins(true);
    CMemoryFile file1 = WriteSnapshot(before), file2 = WriteSnapshot(after);
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    auto report = [](const CCompareMine& m) {
        std::string text;
        CTextSink out(text);
        ChangeReport(m, SnapKind::Registry, CRegValDescriber(), out);
        return text;
    };
    const std::string whole = report(mine);
    const std::string pellix = "HKEY_LOCAL_MACHINE\\Software\\Pellix";
    struct Row {
        std::string lines;
        uint64_t hidden;
        std::string error;
    } rows[] = {
        {"\xEF\xBB\xBF# noise\r\n" + pellix + "\\Lease\r\n  **\\Cache  \n", 2 * 2 + 2, ""},
        {"**\\Old\n", 4, ""},
        {pellix + "\\Old\\Sub\\", 2, ""},
        {"# fine\n**\\New\nHKEY_LOCAL_MACHINE\\\\Software\n", 0, "line 3: the pattern \"HKEY_LOCAL_MACHINE\\\\Software\" can match nothing"},
        {"**", 10 + 7, ""},
    };
    CHiddenEntries hidden;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lines);
        CPathFilter filter;
        std::string error;
        EXPECT_EQ(filter.AddLines(row.lines, error), row.error.empty());
        EXPECT_EQ(error.substr(0, row.error.size()), row.error);
        EXPECT_EQ(filter.IsEmpty(), !row.error.empty());
        hidden.Hide(mine, filter);
        EXPECT_EQ(hidden.Count(), row.hidden);

        CRegMine fresh(messages);
        fresh.SetTypesCompared(true);
        fresh.SetMarkTwins(true);
        CMemoryFile again1 = WriteSnapshot(before), again2 = WriteSnapshot(after);
        ASSERT_TRUE(fresh.Compare(nullptr, again1, again2));
        std::unordered_set<const CCompareNode*> trimmed;
        filter.Apply(fresh, &trimmed);
        EXPECT_EQ(report(mine), report(fresh));
        // The undo patch is held against corvane-diff's in the window's test.
        std::string shown, expected, message;
        WriteRegPatch(mine, CRegPatchOptions{false, &hidden.Trimmed(), false}, shown, message);
        WriteRegPatch(fresh, CRegPatchOptions{false, &trimmed, false}, expected, message);
        EXPECT_EQ(shown, expected);
    }
    hidden.ShowAll();
    EXPECT_EQ(hidden.Count(), 0u);
    EXPECT_EQ(report(mine), whole);
}

// A registry of the given keys below HKEY_LOCAL_MACHINE\Software and
// HKEY_USERS; a snapshot of the places named, or of the whole registry.
TRegistry Registry(std::vector<TKey> software, std::vector<TKey> users = {}, std::vector<SnapPlacePath> places = {})
{
    TRegistry r;
    r.machine.subkeys = {TKey{"Software", {}, std::move(software)}};
    r.users.subkeys = std::move(users);
    r.appendix.places = std::move(places);
    return r;
}

// A patch writes only what lies inside the places both snapshots recorded,
// never deletes or creates a hive unless told to, and refuses a pair whose
// file of an earlier version may hold chosen keys only.
TEST(RegPatch, KeepsToWhatBothSnapshotsRecordedAndLeavesHivesAlone)
{
    const SnapPlacePath vendor{"HKEY_LOCAL_MACHINE", "Software", "Vendor"};
    const SnapPlacePath software{"HKEY_LOCAL_MACHINE", "Software"};
    const TKey classes{"Classes", {Dword("x", 1)}, {}};
    const TKey vendor1{"Vendor", {Dword("v", 1)}, {}}, vendor2{"Vendor", {Dword("v", 2)}, {}};
    const TKey user{"S-1-5-21-7", {}, {TKey{"Software", {}, {}}}}, defaults{".DEFAULT", {}, {}};
    TRegistry oldPartial = Registry({vendor1});
    oldPartial.appendix.present = false;
    const std::string vendorKey = "[HKEY_LOCAL_MACHINE\\Software\\Vendor]";
    const std::string hiveRefusal = "; a hive in one snap shot only is most often a user who logged on or off between "
                                    "them. Leave it out with --exclude, or give --allow-hive-changes to write it.";
    const std::string head = "cannot write the registry patch: it would ";
    const struct {
        const char* what;
        TRegistry from, to;
        bool allowHives;
        std::string forward, reverse;  // the patch's text, or "!" and the refusal
    } cases[] = {
        {"the vendor's key removed, then its parent taken", Registry({vendor1}, {}, {vendor}),
         Registry({classes}, {}, {software}), false, RegFile({"[-HKEY_LOCAL_MACHINE\\Software\\Vendor]", ""}),
         RegFile({vendorKey, "\"v\"=dword:00000001", ""})},
        {"a chosen key against the whole registry", Registry({vendor1}, {}, {vendor}),
         Registry({vendor2, classes}, {user}), false, RegFile({vendorKey, "\"v\"=dword:00000002", ""}),
         RegFile({vendorKey, "\"v\"=dword:00000001", ""})},
        {"a key on the way to the chosen one, gone", Registry({TKey{"Vendor", {}, {vendor1}}}, {}, {{"HKEY_LOCAL_MACHINE", "Software", "Vendor", "Vendor"}}),
         Registry({classes}), false, RegFile({"[-HKEY_LOCAL_MACHINE\\Software\\Vendor\\Vendor]", ""}),
         RegFile({vendorKey, "", "[HKEY_LOCAL_MACHINE\\Software\\Vendor\\Vendor]", "\"v\"=dword:00000001", ""})},
        {"two chosen keys of different places", Registry({vendor1}, {}, {vendor}),
         Registry({}, {defaults}, {{"HKEY_USERS", ".DEFAULT"}}), false,
         "!ERROR: The two snap shots recorded no place in common, so nothing can be compared.\n\nSnap shot 1 holds "
         "only:\nHKEY_LOCAL_MACHINE\\Software\\Vendor\n\nSnap shot 2 holds only:\nHKEY_USERS\\.DEFAULT|",
         ""},
        {"a user's hive loaded in one snapshot only", Registry({}, {defaults, user}), Registry({}, {defaults}), false,
         "!" + head + "delete the whole hive HKEY_USERS\\S-1-5-21-7" + hiveRefusal,
         "!" + head + "create the whole hive HKEY_USERS\\S-1-5-21-7" + hiveRefusal},
        {"the same, allowed", Registry({}, {defaults, user}), Registry({}, {defaults}), true,
         RegFile({"[-HKEY_USERS\\S-1-5-21-7]", ""}),
         RegFile({"[HKEY_USERS\\S-1-5-21-7]", "", "[HKEY_USERS\\S-1-5-21-7\\Software]", ""})},
        {"a key directly in a user's hive", Registry({}, {user}), Registry({}, {TKey{user.name, {}, {}}}), false,
         "!" + head + "delete a key directly in a user's hive, HKEY_USERS\\S-1-5-21-7\\Software" + hiveRefusal,
         RegFile({"[HKEY_USERS\\S-1-5-21-7\\Software]", ""})},
        {"a file of 2.0.0.1 that lacks a hive", oldPartial, Registry({vendor2, classes}), false,
         "!cannot write the registry patch: snap shot 1 lacks HKEY_LOCAL_MACHINE\\SYSTEM, which every snap shot of "
         "the whole registry holds, and was written by Corvane 2.0.0.1 or earlier, whose files do not say which keys "
         "they hold. Take both snap shots again with this version (of the same keys, or of the whole registry) and "
         "make the patch from them.",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool reverse : {false, true}) {
            const std::string& expected = reverse ? c.reverse : c.forward;
            if (expected.empty())
                continue;
            Patch patch = MakePatch(c.from, c.to, reverse, "", c.allowHives);
            if (expected[0] == '!') {
                EXPECT_FALSE(patch.ok()) << reverse;
                EXPECT_EQ(patch.text, "");
                EXPECT_EQ(patch.refusal, expected.substr(1)) << reverse;
            } else {
                EXPECT_TRUE(patch.ok()) << reverse;
                EXPECT_EQ(patch.text, expected) << reverse;
            }
        }
    }
}

TEST(RegPatch, RefusesAFileSystemComparison)
{
    CRecordingMessages messages;
    CFSMine mine(messages);
    CMemoryFile file1 = WriteSnapshot(TFolder{"C:", {TFile{"a.txt", 1, 0, 0}}, {}});
    CMemoryFile file2 = WriteSnapshot(TFolder{"C:", {}, {}});
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    std::string text = "stale", refusal;
    EXPECT_EQ(WriteRegPatch(mine, CRegPatchOptions{}, text, refusal), RegPatchOutcome::Refused);
    EXPECT_EQ(text, "");
    EXPECT_EQ(refusal, "cannot write a registry patch: the comparison is not one of registry snap shots");
}

}  // namespace
