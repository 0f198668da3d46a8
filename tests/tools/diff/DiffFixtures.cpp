// Writes the snapshot files that the corvane-diff tests compare, into the
// current folder: before.tvrec and after.tvrec (a drive before and after a
// change), and registry.tvrec (a file of the other kind).
#include "snapshot/SnapFormat.h"
#include "snapshot/StdioFile.h"
#include "tests/compare/FSSnapBuilder.h"

#include <cstdio>

namespace {

const uint64_t kTime = 130698651090000000ull;  // 2015-03-03 14:05:09 UTC

TFile File(const char* name, uint32_t size, uint64_t created = kTime, uint64_t modified = kTime)
{
    return TFile{name, size, created, modified};
}

bool Save(const char* path, const CMemoryFile& snapshot)
{
    CStdioFile file;
    const auto& bytes = snapshot.Bytes();
    bool ok = file.CreateTruncate(path) &&
              file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", path);
    return ok;
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
    CMemoryFile registry;
    uint8_t header[6];
    PutLE16(header, kRegSnapVersion);
    PutLE32(header + 2, 1);
    registry.Write(header, sizeof header);
    bool ok = Save("before.tvrec", WriteSnapshot(before)) && Save("after.tvrec", WriteSnapshot(after)) &&
              Save("registry.tvrec", registry);
    return ok ? 0 : 1;
}
