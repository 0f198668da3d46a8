// The comparison benchmarks as a plain program, for the Windows build, where
// it runs under Wine: prints the same figures as the Google Benchmark version,
// and those of a drive compared with another drive's snapshot, where nothing
// is pruned and deleting the result deletes both whole trees.
#include "bench/compare/CompareRun.h"
#include "bench/compare/GeneratedSnapshots.h"

#include <cstdio>

namespace {

// Where the name of the drive's root folder record begins in a snapshot:
// after the version, the folder count, the drive letter and the name's length.
constexpr size_t kRootNameOffset = 2 + 4 + 1 + 2;

}  // namespace

int main()
{
    struct Case {
        const char* name;
        CGeneratedShape shape;
        bool otherDrive;
    } cases[] = {{"1,000,000 files in 100,000 folders", ManyFoldersShape(), false},
                 {"100,000 files in one folder", OneFolderShape(), false},
                 {"1,000,000 files against another drive's", ManyFoldersShape(), true}};
    for (const Case& c : cases) {
        CGeneratedPair pair = GeneratePair(c.shape);
        if (c.otherDrive)
            pair.after.Bytes()[kRootNameOffset] = 'D';  // "C:" becomes "D:"
        double files = static_cast<double>(pair.filesBefore + pair.filesAfter);
        double best = 1e9;
        CCompareRunFigures figures{};
        for (int round = 0; round < 3; ++round) {
            figures = MeasureCompareRun(GeneratedKind::FileSystem, pair.before, pair.after);
            if (!figures.ok) {
                std::printf("%s: the comparison failed\n", c.name);
                return 1;
            }
            best = figures.compareSeconds < best ? figures.compareSeconds : best;
        }
        std::printf("%s: %.0f files loaded, run %.3f s (best of 3), delete %.3f s, peak %.1f MB, "
                    "%.1f bytes per loaded file\n",
                    c.name, files, best, figures.deleteSeconds, static_cast<double>(figures.peakBytes) / 1e6,
                    static_cast<double>(figures.peakBytes) / files);
        std::printf("  last run: %s; the result holds %.1f MB\n", PhasesText(figures).c_str(),
                    static_cast<double>(figures.heldBytes) / 1e6);
    }
    return 0;
}
