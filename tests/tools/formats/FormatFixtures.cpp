// Writes the snapshot pairs that only the formats' tests compare, into the
// current folder: odd-before.tvrec and odd-after.tvrec, whose names hold what
// CSV, JSON and HTML must quote or convert (commas, quotes, a backslash in a
// value's name, bytes above 127 of the Western code page), and
// reg-odd-before.tvrec and reg-odd-after.tvrec with values of such names;
// noise-*.tvrec and reg-noise-*.tvrec, a drive and a registry where an
// installation's one change hides among what a running system changes itself;
// hostile-*.tvrec and reg-hostile-*.tvrec, whose names would be a formula in
// a spreadsheet or forge lines and commands, and a value whose type alone
// changes; exact-*.tvrec, whose names only the appendix holds exactly, with
// a size of 4 GiB and more, and exact-after-old.tvrec, the after state as
// 2.0.0.1 wrote it.
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/SnapshotFiles.h"

namespace {

const uint64_t kTime = 130698651090000000ull;  // 2015-03-03 14:05:09 UTC

TFile File(const char* name, uint32_t size, uint64_t modified = kTime)
{
    return TFile{name, size, kTime, modified};
}

}  // namespace

int main()
{
    TFolder before{"D:",
                   {File("a,b.txt", 1), File("say \"hi\".txt", 2), File("caf\xE9.txt", 3)},
                   {TFolder{"\x80uro", {File("line", 4)}, {}}}};
    TFolder after{"D:",
                  {File("a,b.txt", 5), File("say \"hi\".txt", 2, kTime + 10000000),
                   File("caf\xE9.txt", 3), File("new\xA0space.txt", 6)},
                  {}};
    TRegistry regBefore;
    regBefore.machine.subkeys.push_back(
        TKey{"SOFTWARE", {Sz("dir\\with\\slashes", "x"), Sz("comma,\"quoted\"", "y")}, {}});
    TRegistry regAfter;
    regAfter.machine.subkeys.push_back(
        TKey{"SOFTWARE", {Sz("dir\\with\\slashes", "x2"), Sz("caf\xE9", "\xE9")}, {}});
    TFolder noiseBefore{"C:",
                        {File("pagefile.sys", 100)},
                        {TFolder{"Windows", {}, {TFolder{"Prefetch", {File("A.pf", 1)}, {}}}},
                         TFolder{"Users",
                                 {},
                                 {TFolder{"Ann",
                                          {File("NTUSER.DAT", 8), File("notes.txt", 1)},
                                          {TFolder{"AppData", {}, {TFolder{"Local", {}, {}}}}}}}},
                         TFolder{"Program Files", {}, {}}}};
    TFolder localAfter{"Local", {}, {TFolder{"Temp", {File("t1.tmp", 1)}, {}}}};
    TFolder annAfter{"Ann",
                     {File("ntuser.dat", 9), File("notes.txt", 1)},
                     {TFolder{"AppData", {}, {localAfter}}}};
    TFolder noiseAfter{"C:",
                       {File("pagefile.sys", 100, kTime + 1)},
                       {TFolder{"Windows", {}, {TFolder{"Prefetch", {File("A.pf", 2), File("B.pf", 1)}, {}}}},
                        TFolder{"Users", {}, {annAfter}},
                        TFolder{"Program Files", {}, {TFolder{"App", {File("app.exe", 7)}, {}}}}}};
    TRegistry regNoiseBefore;
    TKey rng{"RNG", {Sz("Seed", "1")}, {}};
    regNoiseBefore.machine.subkeys.push_back(
        TKey{"SOFTWARE", {}, {TKey{"Microsoft", {}, {TKey{"Cryptography", {}, {rng}}}}}});
    TKey explorer{"Explorer", {}, {TKey{"UserAssist", {Dword("Count", 1)}, {}}}};
    TKey windows{"Windows", {}, {TKey{"CurrentVersion", {}, {explorer}}}};
    regNoiseBefore.users.subkeys.push_back(
        TKey{"S-1-5-21-7", {}, {TKey{"Software", {}, {TKey{"Microsoft", {}, {windows}}}}}});
    TRegistry regNoiseAfter = regNoiseBefore;
    regNoiseAfter.machine.subkeys[0].subkeys[0].subkeys[0].subkeys[0].values[0] = Sz("Seed", "2");
    regNoiseAfter.machine.subkeys[0].subkeys.push_back(TKey{"Pellix", {Dword("Version", 1)}, {}});
    regNoiseAfter.users.subkeys[0].subkeys[0].subkeys[0].subkeys[0].subkeys[0].subkeys[0].subkeys[0].values[0] =
        Dword("Count", 2);
    TFolder formula{"=HYPERLINK(\"http://x\")", {File("a", 1)}, {}};
    TFolder formulaAfter{formula.name, {File("a", 2)}, {}};
    TRegistry regHostile;
    regHostile.machine.subkeys.push_back(TKey{
        "SOFTWARE", {Sz("v\r\nchanged:   forged", "1"), Sz("esc\x1B[2J", "1"), Sz("Retyped", "%P%")}, {}});
    TRegistry regHostileAfter = regHostile;
    TKey& software = regHostileAfter.machine.subkeys[0];
    software.values = {Sz("v\r\nchanged:   forged", "2"), Sz("esc\x1B[2J", "2"), Sz("Retyped", "%P%", 2)};
    software.subkeys.push_back(TKey{"line\nfeed", {}, {}});
    // Two names that read alike in the code page, and a size grown by 4 GiB.
    TFolder exactBefore{"C:",
                        {TFile{"???.txt", 1, kTime, kTime, u"\u0414\u0438\u0440.txt"},
                         TFile{"???.txt", 2, kTime, kTime, u"\u0416\u0443\u043a.txt"},
                         TFile{"disk.vhd", 5ull << 30, kTime, kTime}},
                        {}};
    TFolder exactAfter{"C:",
                       {TFile{"???.txt", 2, kTime, kTime, u"\u0416\u0443\u043a.txt"},
                        TFile{"disk.vhd", 9ull << 30, kTime, kTime}},
                       {}};
    // A profile path whose recorded forms read alike.
    auto profile = [](const std::u16string& path) {
        TValue value = Sz("Path", "C:\\???");
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(path.c_str());
        value.exact.data.assign(bytes, bytes + 2 * (path.size() + 1));
        value.exact.hasData = true;
        TRegistry r;
        r.machine.subkeys.push_back(TKey{"SOFTWARE", {value}, {}});
        return r;
    };
    bool ok = SaveSnapshot("reg-exact-before.tvrec", WriteSnapshot(profile(u"C:\\\u0416\u0443\u043a"))) &&
              SaveSnapshot("reg-exact-after.tvrec", WriteSnapshot(profile(u"C:\\\u0416\u0438\u0440"))) &&
              SaveSnapshot("exact-before.tvrec", WriteSnapshot(exactBefore, 'C', WholeAppendix())) &&
              SaveSnapshot("exact-after.tvrec", WriteSnapshot(exactAfter, 'C', WholeAppendix())) &&
              SaveSnapshot("exact-after-old.tvrec", WriteSnapshot(exactAfter)) &&
              SaveSnapshot("hostile-before.tvrec", WriteSnapshot(formula)) &&
              SaveSnapshot("hostile-after.tvrec", WriteSnapshot(formulaAfter)) &&
              SaveSnapshot("reg-hostile-before.tvrec", WriteSnapshot(regHostile)) &&
              SaveSnapshot("reg-hostile-after.tvrec", WriteSnapshot(regHostileAfter)) &&
              SaveSnapshot("noise-before.tvrec", WriteSnapshot(noiseBefore)) &&
              SaveSnapshot("noise-after.tvrec", WriteSnapshot(noiseAfter)) &&
              SaveSnapshot("reg-noise-before.tvrec", WriteSnapshot(regNoiseBefore)) &&
              SaveSnapshot("reg-noise-after.tvrec", WriteSnapshot(regNoiseAfter)) &&
              SaveSnapshot("odd-before.tvrec", WriteSnapshot(before)) &&
              SaveSnapshot("odd-after.tvrec", WriteSnapshot(after)) &&
              SaveSnapshot("reg-odd-before.tvrec", WriteSnapshot(regBefore)) &&
              SaveSnapshot("reg-odd-after.tvrec", WriteSnapshot(regAfter));
    return ok ? 0 : 1;
}
