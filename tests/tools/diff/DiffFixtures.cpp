// Writes the snapshot files that the corvane-diff tests compare, into the
// current folder: before.tvrec and after.tvrec (a drive before and after a
// change), chosen.tvrec (two folders of the drive after the change, one of
// them gone), and registry.tvrec (a file of the other kind).
#include "snapshot/SnapFormat.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/support/SnapshotFiles.h"

#include <cstdio>

namespace {

const uint64_t kTime = 130698651090000000ull;  // 2015-03-03 14:05:09 UTC

TFile File(const char* name, uint32_t size, uint64_t created = kTime, uint64_t modified = kTime)
{
    return TFile{name, size, created, modified};
}

}  // namespace

int main()
{
    TFolder before{"C:",
                   {File("boot.ini", 211), File("pagefile.sys", 0)},
                   {TFolder{"WINDOWS", {File("win.ini", 10)}, {TFolder{"system32", {File("a.dll", 5)}, {}}}},
                    TFolder{"Temp", {}, {}},
                    TFolder{"Old", {File("x.txt", 3)}, {TFolder{"deep", {File("y", 1)}, {}}}}}};
    TFolder after{"C:",
                  {File("boot.ini", 211, kTime - 10000000), File("pagefile.sys", 0), File("added.txt", 1)},
                  {TFolder{"WINDOWS", {File("win.ini", 12, kTime, kTime + 1)},
                           {TFolder{"system32", {File("a.dll", 5)}, {}}}},
                   TFolder{"TEMP", {}, {}},
                   TFolder{"NewApp", {File("app.exe", 9)}, {}}}};
    TFolder chosen{"C:", {}, {after.folders[0]}};
    CSnapAppendix chosenPlaces{true, 1252, "corvane-snap", "2.1.0.0", {{"C:", "WINDOWS"}, {"C:", "Old"}}, {}};
    CMemoryFile registry;
    uint8_t header[6];
    PutLE16(header, kRegSnapVersion);
    PutLE32(header + 2, 1);
    registry.Write(header, sizeof header);
    bool ok = SaveSnapshot("before.tvrec", WriteSnapshot(before)) && SaveSnapshot("after.tvrec", WriteSnapshot(after)) &&
              SaveSnapshot("chosen.tvrec", WriteSnapshot(chosen, 'C', chosenPlaces)) &&
              SaveSnapshot("registry.tvrec", registry);
    return ok ? 0 : 1;
}
