// Registry patches for real, on the prefix's registry: snapshots around
// changes of every kind below two test keys, corvane-diff.exe's undo and
// redo imported by the prefix's regedit.exe, and a snapshot after each import
// that the engine finds equal, below the test keys, to the state it restores.
#include "compare/RegMine.h"
#include "compare/TreeListing.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/SnapshotFiles.h"
#include "snapshot/StdioFile.h"
#include "tests/snapshot/RegSnapTesting.h"
#include "tests/support/Recorders.h"
#include "tests/support/WaitFor.h"
#include "report/DiffRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

const std::string kMachineKey = "Software\\Corvane Patch Test";
const std::string kUsersKey = ".DEFAULT\\Software\\Corvane Patch Test";
const std::string kZ("\0", 1);

// The bytes of a literal, zeros included.
template <size_t N>
std::string B(const char (&bytes)[N])
{
    return std::string(bytes, N - 1);
}

std::string Counting(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>(i * 7);
    return s;
}

// A key created or opened; each call fails the test on an error.
class CKey {
public:
    CKey(HKEY root, const std::string& path)
    {
        EXPECT_EQ(::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_h, nullptr), 0);
    }
    ~CKey() { ::RegCloseKey(m_h); }
    CKey& Set(const std::string& name, DWORD type, const std::string& data)
    {
        EXPECT_EQ(::RegSetValueExA(m_h, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                   static_cast<DWORD>(data.size())), 0) << name;
        return *this;
    }
    CKey& Delete(const std::string& name)
    {
        EXPECT_EQ(::RegDeleteValueA(m_h, name.c_str()), 0) << name;
        return *this;
    }
    void DeleteKey(const std::string& name) { EXPECT_EQ(::RegDeleteKeyA(m_h, name.c_str()), 0) << name; }

private:
    HKEY m_h = nullptr;
};

// A snapshot of the whole registry, or of the keys named.
bool TakeSnapshot(const std::string& path, const std::vector<std::wstring>& keys = {})
{
    CChosenPlaces places;
    for (const std::wstring& key : keys)
        if (!ChooseKey(key, places, SystemRegistry()).empty())
            return false;
    CRecordingMessages messages;
    CRecordingProgress progress;
    CRecordedRegSnap snap(path, nullptr, &progress, FALSE, &messages);
    snap.ChoosePlaces(std::move(places));
    snap.Run();
    return messages.shown.size() == 2 && snap.results.size() == 1;  // question, note, results
}

// corvane-diff.exe writes the patch into file, regedit.exe imports it.
void PatchAndImport(const std::string& options, const std::string& pair, const std::string& file,
                    DWORD expectedCode = 1)
{
    std::string diff = "Z:" CORVANE_DIFF_EXE;
    std::replace(diff.begin(), diff.end(), '/', '\\');
    DWORD code;
    std::string patch = RunProgram(diff, "--format reg " + options + pair, code);
    ASSERT_EQ(code, expectedCode);
    // Every line end CRLF, none doubled: counted in bytes, or in the units of
    // the Unicode form.
    if (patch.compare(0, 2, "\xFF\xFE") == 0) {
        std::u16string units(patch.size() / 2, u'\0');
        std::memcpy(&units[0], patch.data(), 2 * units.size());
        EXPECT_EQ(std::count(units.begin(), units.end(), u'\n'), std::count(units.begin(), units.end(), u'\r'));
    } else {
        EXPECT_EQ(std::count(patch.begin(), patch.end(), '\n'), std::count(patch.begin(), patch.end(), '\r'));
    }
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_TRUE(f && std::fwrite(patch.data(), 1, patch.size(), f) == patch.size());
    std::fclose(f);
    char windows[MAX_PATH];
    std::string regedit(windows, ::GetWindowsDirectoryA(windows, MAX_PATH));
    RunProgram(regedit + "\\regedit.exe", "/s \"" + file + "\"", code);
    EXPECT_EQ(code, 0u);
}

// The entries of both pruned trees below the test keys: none when the two
// snapshots are equal there, value types included.
std::string DifferencesBelowTestKeys(const std::string& path1, const std::string& path2)
{
    CRecordingMessages messages;
    CRegMine mine(messages);
    mine.SetTypesCompared(true);
    CStdioFile file1, file2;
    if (!file1.OpenRead(path1) || !file2.OpenRead(path2) || !mine.Compare(nullptr, file1, file2))
        return "comparison failed";
    std::string text;
    for (const CCompareNode* root : {mine.GetRoot1(), mine.GetRoot2()})
        for (const auto& names : {std::vector<std::string>{"HKEY_LOCAL_MACHINE", "Software", "Corvane Patch Test"},
                                  {"HKEY_USERS", ".DEFAULT", "Software", "Corvane Patch Test"}}) {
            const CCompareNode* node = root;
            for (size_t i = 0; node && i < names.size(); ++i) {
                ListPosition at = node->FindNode(CCompareName(names[i]));
                node = at ? node->Nodes().GetAt(at) : nullptr;
            }
            if (node)
                text += TreeListing(*node, *node);
        }
    return text;
}

// The test keys and files are gone before the test and after it.
struct CTestTraces {
    std::string snap[4] = {RegTempPath("corvane-patch-1.tvrec"), RegTempPath("corvane-patch-2.tvrec"),
                           RegTempPath("corvane-patch-3.tvrec"), RegTempPath("corvane-patch-4.tvrec")};
    std::string undo = RegTempPath("corvane-undo.reg"), redo = RegTempPath("corvane-redo.reg");
    CTestTraces() { Remove(); }
    ~CTestTraces() { Remove(); }
    void Remove()
    {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineKey.c_str());
        ::RegDeleteTreeA(HKEY_USERS, kUsersKey.c_str());
        for (const std::string& path : {snap[0], snap[1], snap[2], snap[3], undo, redo})
            ::DeleteFileA(path.c_str());
    }
};

TEST(RegPatchLive, UndoAndRedoImportedByTheRegistryEditor)
{
    CTestTraces traces;
    const std::string* snap = traces.snap;
    CKey(HKEY_LOCAL_MACHINE, kMachineKey)
        .Set("", REG_SZ, "the default" + kZ).Set("sz", REG_SZ, "say \"hi\" C:\\dir\\" + kZ)
        .Set("lines", REG_SZ, "one\r\ntwo" + kZ).Set("expand", REG_EXPAND_SZ, "%ProgramFiles%" + kZ)
        .Set("binary", REG_BINARY, Counting(100)).Set("dword", REG_DWORD, B("\1\0\0\0"))
        .Set("multi", REG_MULTI_SZ, "one" + kZ + "two" + kZ + kZ).Set("qword", REG_QWORD, Counting(8))
        .Set("none", REG_NONE, "\x09").Set("big type", 0x20000, "\1\2").Set("retyped", REG_BINARY, "\1\2")
        .Set("gone", REG_SZ, "bye" + kZ).Set("gone \"quoted\\\"", REG_DWORD, Counting(4));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Stays").Set("kept", REG_SZ, kZ).Set("changed", REG_DWORD, Counting(4));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Removed\\Deeper").Set("", REG_QWORD, Counting(8));
    CKey(HKEY_USERS, kUsersKey).Set("Run", REG_SZ, "a.exe" + kZ);
    ASSERT_TRUE(TakeSnapshot(snap[0]));

    CKey main(HKEY_LOCAL_MACHINE, kMachineKey);
    main.Set("", REG_SZ, "new" + kZ).Set("sz", REG_SZ, "\xE9t\xE9 \xFF\x81" + kZ).Set("lines", REG_SZ, "a\nb\r" + kZ)
        .Set("expand", REG_EXPAND_SZ, "%SystemRoot%" + kZ).Set("binary", REG_BINARY, Counting(99))
        .Set("dword", REG_DWORD, "\xFF\xFF\xFF\xFF").Set("multi", REG_MULTI_SZ, kZ + kZ)
        .Set("qword", REG_QWORD, Counting(7)).Set("none", REG_NONE, "").Set("big type", 0x20000, "\3")
        .Set("retyped", REG_DWORD, Counting(4)).Delete("gone").Delete("gone \"quoted\\\"")
        .Set("empty sz", REG_SZ, "").Set("inner zero", REG_SZ, "a" + kZ + "b" + kZ)
        .Set("short dword", REG_DWORD, "\1\2\3").Set("link", REG_LINK, "a" + kZ + "b")
        .Set("resources", REG_RESOURCE_LIST, Counting(30)).Set("@", REG_SZ, "at" + kZ)
        .Set(" a=b;c]\t", REG_DWORD_BIG_ENDIAN, Counting(4));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Stays").Set("changed", REG_DWORD, B("\2\0\0\0"));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Removed").DeleteKey("Deeper");
    main.DeleteKey("Removed");
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Added\\Inner").Set("", REG_DWORD, Counting(4));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\ key ] bracket ").Set("v", REG_BINARY, "");
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Sch\xFCssel").Set("Gr\xF6\xDF" "e", REG_SZ, "gro\xDF" + kZ);
    CKey(HKEY_USERS, kUsersKey).Set("Run", REG_SZ, "b.exe" + kZ);
    CKey(HKEY_USERS, kUsersKey + "\\New").Set("when", REG_QWORD, Counting(8));
    ASSERT_TRUE(TakeSnapshot(snap[1]));
    ASSERT_NE(DifferencesBelowTestKeys(snap[0], snap[1]), "");

    const std::string pair = " \"" + snap[0] + "\" \"" + snap[1] + "\"";
    ASSERT_NO_FATAL_FAILURE(PatchAndImport("--reverse", pair, traces.undo));
    ASSERT_TRUE(TakeSnapshot(snap[2]));
    EXPECT_EQ(DifferencesBelowTestKeys(snap[0], snap[2]), "");
    ASSERT_NO_FATAL_FAILURE(PatchAndImport("", pair, traces.redo));
    ASSERT_TRUE(TakeSnapshot(snap[3]));
    EXPECT_EQ(DifferencesBelowTestKeys(snap[1], snap[3]), "");
}

void SetKey(HKEY parent, const TKey& key)
{
    CKey h(parent, key.name);
    for (const TValue& v : key.values)
        h.Set(v.name, v.type, std::string(v.data.begin(), v.data.end()));
    HKEY opened;
    ASSERT_EQ(::RegOpenKeyExA(parent, key.name.c_str(), 0, KEY_ALL_ACCESS, &opened), 0);
    for (const TKey& sub : key.subkeys)
        SetKey(opened, sub);
    ::RegCloseKey(opened);
}

// The snapshot of a registry whose test key holds what key holds.
CMemoryFile Snapshot(const TKey& key)
{
    TRegistry r;
    r.machine.subkeys.push_back(TKey{"Software", {}, {TKey{"Corvane Patch Test", key.values, key.subkeys}}});
    r.appendix.codePage = ::GetACP();  // its names are this computer's bytes
    return WriteSnapshot(r);
}

// Crafted pairs, each patched both ways from the state of the one snapshot
// and taken again: the registry then holds the other's state, or, where noted,
// what the patch says it can carry (codes: forward, reverse).
TEST(RegPatchLive, CraftedPairsGiveBackTheOtherStateBothWays)
{
    const TKey none{"Corvane Patch Test", {}, {}};
    auto with = [&](std::vector<TValue> values, std::vector<TKey> subkeys = {}) {
        return TKey{none.name, std::move(values), std::move(subkeys)};
    };
    const std::string keep = "HKEY_LOCAL_MACHINE\\Software\\Corvane Patch Test\\Old\\Keep";
    const struct {
        const char* what;
        UINT codePage;  // 0: any
        TKey one, two;
        std::string options;
        DWORD codes[2];
        TKey gotTwo, gotOne;  // what the imports leave, where not two and one
    } cases[] = {
        {"type alone", 0, with({Sz("v", "%P%")}), with({Sz("v", "%P%", 2)}), "", {1, 1}, {}, {}},
        {"no final zero", 0, none, with({TValue{"nz", 1, {'a', 'b'}}}), "", {3, 1},
         with({TValue{"nz", 1, {'a', 'b', 0}}}), {}},
        {"excluded below a removed key", 0, with({}, {TKey{"Old", {Dword("Keep", 1), Dword("Other", 2)}, {}}}),
         none, "--exclude \"" + keep + "\" ", {1, 1}, with({}, {TKey{"Old", {Dword("Keep", 1)}, {}}}),
         with({}, {TKey{"Old", {Dword("Other", 2)}, {}}})},
        {"second bytes 0x5C", 932, none, with({Sz("A\x83\x5C", "=dword:00000001;"), Sz("\x95\x5C", "\x95\x5C")}),
         "", {1, 1}, {}, {}},
    };
    CTestTraces traces;
    const std::string* snap = traces.snap;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.codePage && c.codePage != ::GetACP())
            continue;
        ASSERT_TRUE(SaveSnapshot(snap[0], Snapshot(c.one)) && SaveSnapshot(snap[1], Snapshot(c.two)));
        const std::string pair = " \"" + snap[0] + "\" \"" + snap[1] + "\"";
        for (int reverse = 0; reverse < 2; ++reverse) {
            const TKey& from = reverse ? c.two : c.one;
            const TKey& to = reverse ? (c.gotOne.name.empty() ? c.one : c.gotOne)
                                     : (c.gotTwo.name.empty() ? c.two : c.gotTwo);
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineKey.c_str());
            ASSERT_NO_FATAL_FAILURE(SetKey(HKEY_LOCAL_MACHINE, TKey{kMachineKey, from.values, from.subkeys}));
            ASSERT_NO_FATAL_FAILURE(
                PatchAndImport(c.options + (reverse ? "--reverse" : ""), pair, traces.redo, c.codes[reverse]));
            ASSERT_TRUE(TakeSnapshot(snap[2]) && SaveSnapshot(snap[3], Snapshot(to)));
            EXPECT_EQ(DifferencesBelowTestKeys(snap[3], snap[2]), "") << (reverse ? "reverse" : "forward");
        }
    }
}

// Every difference of two snapshots of the whole registry, one line each
// ("removed key PATH", "changed value PATH", ...).
std::vector<std::string> AllDifferences(const std::string& path1, const std::string& path2)
{
    CRecordingMessages messages;
    CRegMine mine(messages);
    mine.SetTypesCompared(true);
    CStdioFile file1, file2;
    if (!file1.OpenRead(path1) || !file2.OpenRead(path2) || !mine.Compare(nullptr, file1, file2))
        return {"comparison failed"};
    std::vector<std::string> lines;
    ForEachDifference(mine, SnapKind::Registry, [&](const CDiffRecord& record) {
        lines.push_back(std::string(DiffChangeName(record.change)) + " " + DiffEntryKindName(record.kind) + " " +
                        record.path);
    });
    return lines;
}

// Pairs of snapshots of chosen keys, or of one such and the whole registry,
// taken for real around a change; the undo imported into the registry as it
// is after the change; a snapshot of the whole registry before and after the
// import must differ by exactly the change inside the keys both recorded.
// A pair the patch refuses writes nothing.
TEST(RegPatchLive, PairsOfChosenKeysUndoOnlyWhatBothRecorded)
{
    const std::wstring test = L"HKLM\\Software\\Corvane Patch Test";
    const std::wstring vendor = test + L"\\Vendor", other = test + L"\\Other";
    const std::string path = "HKEY_LOCAL_MACHINE\\" + kMachineKey;
    auto change = [] {
        CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Vendor").Set("v", REG_DWORD, B("\2\0\0\0"));
        CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Other").Set("o", REG_DWORD, B("\2\0\0\0"));
    };
    auto removeVendor = [] { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kMachineKey + "\\Vendor").c_str()); };
    const struct {
        const char* what;
        std::vector<std::wstring> before, after;
        void (*change)();
        DWORD code;
        std::vector<std::string> undone;  // what the import changed
        bool asOfOld = false;  // the first file as 2.0.0.1 wrote it: the records alone
    } cases[] = {
        {"the vendor's key removed, then its parent taken", {vendor}, {test}, removeVendor, 1,
         {"added key " + path + "\\Vendor"}},
        {"a chosen key, then the whole registry", {vendor}, {}, change, 1, {"changed value " + path + "\\Vendor\\v"}},
        {"the whole registry, then a chosen key", {}, {vendor}, change, 1, {"changed value " + path + "\\Vendor\\v"}},
        {"two keys side by side", {vendor}, {other}, change, 2, {}},
        {"a chosen key as 2.0.0.1 took it, then the whole registry", {vendor}, {}, change, 2, {}, true},
    };
    CTestTraces traces;
    const std::string* snap = traces.snap;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineKey.c_str());
        CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Vendor").Set("v", REG_DWORD, B("\1\0\0\0"));
        CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Vendor\\Sub").Set("x", REG_SZ, "x" + kZ);
        CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Other").Set("o", REG_DWORD, B("\1\0\0\0"));
        ASSERT_TRUE(TakeSnapshot(snap[0], c.before));
        if (c.asOfOld) {
            ASSERT_TRUE(SaveSnapshot(snap[0], CMemoryFile(RecordsOf(ReadWholeFile(snap[0])))));
        }
        c.change();
        ASSERT_TRUE(TakeSnapshot(snap[1], c.after));
        ASSERT_TRUE(TakeSnapshot(snap[2]));
        const std::string pair = " \"" + snap[0] + "\" \"" + snap[1] + "\"";
        if (c.code == 2) {
            DWORD code;
            std::string diff = "Z:" CORVANE_DIFF_EXE;
            std::replace(diff.begin(), diff.end(), '/', '\\');
            EXPECT_EQ(RunProgram(diff, "--format reg --reverse" + pair, code), "");
            EXPECT_EQ(code, 2u);
            continue;
        }
        ASSERT_NO_FATAL_FAILURE(PatchAndImport("--reverse", pair, traces.undo, c.code));
        ASSERT_TRUE(TakeSnapshot(snap[3]));
        EXPECT_EQ(AllDifferences(snap[2], snap[3]), c.undone);
    }
}

// A key by its real name, with values set by theirs, data as the registry
// is to hold them.
void SetWide(const std::wstring& path, const std::vector<std::pair<std::wstring, std::pair<DWORD, std::wstring>>>& values,
             const std::vector<std::wstring>& deleted = {})
{
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    for (const auto& [name, value] : values)
        EXPECT_EQ(::RegSetValueExW(key, name.c_str(), 0, value.first, reinterpret_cast<const BYTE*>(value.second.data()),
                                   static_cast<DWORD>(value.second.size() * sizeof(wchar_t))),
                  0);
    for (const std::wstring& name : deleted)
        EXPECT_EQ(::RegDeleteValueW(key, name.c_str()), 0);
    ::RegCloseKey(key);
}

// Names and strings the code page cannot hold, changed where only their
// exact forms differ: the patches take the Unicode form, carry every string
// as the registry held it (no final zero added to a REG_MULTI_SZ that had
// none), and the registry after each import is exactly the other state.
TEST(RegPatchLive, NamesAndStringsOutsideTheCodePageComeBackExactly)
{
    CTestTraces traces;
    const std::string* snap = traces.snap;
    const std::wstring test = L"Software\\Corvane Patch Test";
    const std::wstring user = test + L"\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439";
    const std::wstring z(1, L'\0');
    SetWide(user, {{L"\u041f\u0443\u0442\u044c", {REG_SZ, L"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439" + z}},
                   {L"emoji", {REG_EXPAND_SZ, L"\U0001F30E" + z}},
                   {L"lines", {REG_MULTI_SZ, L"\u03A9mega" + z + L"\u0141ukasz"}}});
    SetWide(test + L"\\\U0001F30E\U0001F30F\U0001F30D", {{L"x", {REG_SZ, L"x" + z}}});
    ASSERT_TRUE(TakeSnapshot(snap[0]));
    SetWide(user, {{L"\u041f\u0443\u0442\u044c", {REG_SZ, L"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u044f" + z}},
                   {L"lines", {REG_MULTI_SZ, L"\u03A9mega" + z + z}}},
            {L"emoji"});
    ASSERT_EQ(::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (test + L"\\\U0001F30E\U0001F30F\U0001F30D").c_str()), 0);
    SetWide(test + L"\\\U0001F30D\U0001F30F\U0001F30E", {{L"x", {REG_SZ, L"x" + z}}});
    ASSERT_TRUE(TakeSnapshot(snap[1]));
    ASSERT_NE(DifferencesBelowTestKeys(snap[0], snap[1]), "");

    const std::string pair = " \"" + snap[0] + "\" \"" + snap[1] + "\"";
    ASSERT_NO_FATAL_FAILURE(PatchAndImport("--reverse", pair, traces.undo));
    const std::vector<uint8_t> undo = ReadWholeFile(traces.undo);
    const uint8_t head[] = {0xFF, 0xFE, 'W', 0, 'i', 0, 'n', 0, 'd', 0, 'o', 0, 'w', 0, 's', 0};
    EXPECT_TRUE(undo.size() > sizeof head && std::equal(head, head + sizeof head, undo.begin()));
    ASSERT_TRUE(TakeSnapshot(snap[2]));
    EXPECT_EQ(DifferencesBelowTestKeys(snap[0], snap[2]), "");
    ASSERT_NO_FATAL_FAILURE(PatchAndImport("", pair, traces.redo));
    ASSERT_TRUE(TakeSnapshot(snap[3]));
    EXPECT_EQ(DifferencesBelowTestKeys(snap[1], snap[3]), "");
}

}  // namespace
