// The registry comparison on two generated snapshots the size of a full
// desktop registry (700,000 keys, 1,200,000 values), 1 % of the values
// changed: the time of the whole run (load both, compare both ways, prune)
// and of its steps, and the peak heap per loaded value, counted at operator new.
//   reg_compare_bench [ROUNDS]
#include "bench/compare/CompareRun.h"
#include "bench/compare/GeneratedSnapshots.h"
#include "compare/RegNode.h"
#include "compare/RegVal.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    CGeneratedRegPair pair = GenerateRegistryPair(DesktopRegistryShape());
    std::printf("generated: %u keys and %u values in each snapshot (%.1f bytes of data per value), "
                "%u values changed; files of %.1f MB\n",
                pair.keys, pair.values, static_cast<double>(pair.dataBytes) / pair.values, pair.changed,
                static_cast<double>(pair.before.Bytes().size()) / 1e6);
    std::printf("objects: a key %zu bytes, a value %zu bytes and its data\n", sizeof(CRegNode),
                sizeof(CRegVal));

    double best = 1e9;
    double loaded = 2.0 * pair.values;
    for (int round = 0; round < rounds; ++round) {
        CCompareRunFigures figures = MeasureCompareRun(GeneratedKind::Registry, pair.before, pair.after);
        if (!figures.ok) {
            std::printf("the comparison failed\n");
            return 1;
        }
        best = figures.compareSeconds < best ? figures.compareSeconds : best;
        std::printf("round %d: load-compare-prune %.3f s, peak heap %.1f MB = %.1f bytes per loaded "
                    "value; left %llu keys and %llu values in tree 1, %llu and %llu in tree 2\n"
                    "  %s; the result holds %.1f MB\n",
                    round + 1, figures.compareSeconds, static_cast<double>(figures.peakBytes) / 1e6,
                    static_cast<double>(figures.peakBytes) / loaded,
                    static_cast<unsigned long long>(figures.left1.nodes),
                    static_cast<unsigned long long>(figures.left1.items),
                    static_cast<unsigned long long>(figures.left2.nodes),
                    static_cast<unsigned long long>(figures.left2.items), PhasesText(figures).c_str(),
                    static_cast<double>(figures.heldBytes) / 1e6);
    }
    std::printf("best of %d: %.3f s\n", rounds, best);
    return 0;
}
