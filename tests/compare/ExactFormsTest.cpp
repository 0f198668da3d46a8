// What the records cannot hold (names outside the code page, sizes of 4 GiB
// and more, string data the code page cannot carry), kept in the appendix:
// compared exactly when both files carry it, as recorded when one does not,
// and shown exactly wherever a file has it.
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "compare/TreeListing.h"
#include "compare/WideChars.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint64_t kGiB = 1ull << 30;

// "L 1 2 Дир.txt": the side, the depth, the state and the name, exact where
// the entry has an exact form, else the recorded bytes read as Windows-1252.
std::string ExactListing(const CCompareMine& mine)
{
    std::string out;
    auto name = [](const CCompareName& n) {
        return Utf16ToUtf8(n.HasExact() ? n.Exact() : CodePageToUtf16(1252, n.view()));
    };
    for (const CCompareNode* root : {mine.GetRoot1(), mine.GetRoot2()}) {
        const char* side = root == mine.GetRoot1() ? "L " : "R ";
        auto line = [&](const auto& entry, unsigned depth) {
            out += side + std::to_string(depth) + " " + std::to_string(entry.GetState()) + " " +
                   name(entry.GetStoredName()) + "\n";
        };
        WalkTree(
            *root,
            [&](const CCompareNode& node, unsigned depth) {
                if (depth > 0)
                    line(node, depth);
                return true;
            },
            line);
    }
    return out;
}

template <class Mine>
std::string Compare(CMemoryFile file1, CMemoryFile file2)
{
    CRecordingMessages messages;
    Mine mine(messages);
    if (!mine.Compare(nullptr, file1, file2))
        return "refused";
    return ExactListing(mine);
}

std::vector<uint8_t> Units(const std::u16string& text)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text.data());
    return std::vector<uint8_t>(bytes, bytes + 2 * text.size() + 2);  // with its final zero
}

// A string value whose ANSI form ("?" for what cp1252 lacks) is not exact.
TValue InexactSz(const std::string& name, const std::string& recorded, const std::u16string& exact)
{
    TValue value = Sz(name, recorded);
    value.exact.data = Units(exact);
    value.exact.hasData = true;
    return value;
}

}  // namespace

// Two drives that differ only where the code page cannot tell: two names
// that read alike, a folder renamed among emoji, a size grown by exactly
// 4 GiB, and a name that differs in the case of an accented letter.
TEST(ExactForms, DrivesCompareExactlyOnlyWhenBothFilesKeepTheExactForms)
{
    TFolder before{"C:",
                   {TFile{"???.txt", 1, 0, 0, u"Дир.txt"}, TFile{"???.txt", 2, 0, 0, u"Жук.txt"},
                    TFile{"disk.vhd", 5 * kGiB}, TFile{"\xC9T\xC9.txt", 3}},
                   {TFolder{"??????", {}, {}, u"🌎🌏🌍"}}};
    TFolder after{"C:",
                  {TFile{"???.txt", 2, 0, 0, u"Жук.txt"}, TFile{"disk.vhd", 9 * kGiB}, TFile{"\xE9t\xE9.txt", 3}},
                  {TFolder{"??????", {}, {}, u"🌍🌏🌎"}}};
    EXPECT_EQ(Compare<CFSMine>(WriteSnapshot(before, 'C', WholeAppendix()), WriteSnapshot(after, 'C', WholeAppendix())),
              "L 1 0 C:\nL 2 1 🌎🌏🌍\nL 2 1 Дир.txt\nL 2 2 disk.vhd\n"
              "R 1 0 C:\nR 2 1 🌍🌏🌎\nR 2 2 disk.vhd\n");
    // A file of 2.0.0.1 against a new one: paired and compared as recorded,
    // the new one's names still shown exactly.
    EXPECT_EQ(Compare<CFSMine>(WriteSnapshot(before, 'C', WholeAppendix()), WriteSnapshot(after)),
              "L 1 0 C:\nL 2 2 Дир.txt\nL 2 1 Жук.txt\nL 2 1 ÉTÉ.txt\n"
              "R 1 0 C:\nR 2 2 ???.txt\nR 2 1 été.txt\n");
}

// A user renamed, seen in the data of a value and in a key among emoji.
TEST(ExactForms, RegistriesCompareStringDataAndKeyNamesExactly)
{
    auto registry = [](const std::u16string& user, const std::u16string& emoji) {
        TRegistry r;
        r.machine.subkeys.push_back(TKey{"Software",
                                         {},
                                         {TKey{"Profiles", {InexactSz("Path", "C:\\Users\\???????", user)}, {}}}});
        r.users.subkeys.push_back(TKey{"International", {}, {TKey{"??????", {}, {}, emoji}}});
        return r;
    };
    TRegistry before = registry(u"C:\\Users\\Дмитрий", u"🌎🌏🌍");
    TRegistry after = registry(u"C:\\Users\\Дмитрия", u"🌍🌏🌎");
    EXPECT_EQ(Compare<CRegMine>(WriteSnapshot(before), WriteSnapshot(after)),
              "L 1 0 HKEY_LOCAL_MACHINE\nL 2 0 Software\nL 3 0 Profiles\nL 4 2 Path\n"
              "L 1 0 HKEY_USERS\nL 2 0 International\nL 3 1 🌎🌏🌍\n"
              "R 1 0 HKEY_LOCAL_MACHINE\nR 2 0 Software\nR 3 0 Profiles\nR 4 2 Path\n"
              "R 1 0 HKEY_USERS\nR 2 0 International\nR 3 1 🌍🌏🌎\n");
    // Without the appendix in file 2 both read "???????" and "??????": identical.
    after.appendix.present = false;
    EXPECT_EQ(Compare<CRegMine>(WriteSnapshot(before), WriteSnapshot(after)), "");
}

// Told only when a file says it was taken under another code page than this
// computer's and the other file cannot say.
TEST(ExactForms, ACodePageNoteOnlyWhereNamesMayNotMatch)
{
    CSnapAppendix told = WholeAppendix(), old;
    told.codePage = 932;
    EXPECT_EQ(CodePageNote(told, old, 1252),
              "Note - Snap shot 1 was taken under code page 932, this computer uses code page 1252, and snap shot 2 "
              "does not say which it was taken under: names with characters beyond ASCII may not match.");
    EXPECT_EQ(CodePageNote(old, told, 932), "");
    EXPECT_EQ(CodePageNote(told, WholeAppendix(), 1252), "");  // both exact
}
