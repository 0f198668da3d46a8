// Writes mid-sized pairs made by the benchmarks' generators into the current
// folder, for the tests that hold corvane-diff --tree on them against the
// reports kept beside this file: gen-fs-before/after.tvrec (20,000 files in
// 2,000 folders) and gen-reg-before/after.tvrec (20,000 keys, 35,000 values).
// Both are large enough that their trees span many blocks of the engine's
// storage, and change enough to leave entries of every state in many folders.
#include "bench/compare/GeneratedSnapshots.h"
#include "tests/support/SnapshotFiles.h"

int main()
{
    CGeneratedPair files = GeneratePair(CGeneratedShape{2000, 10, 8, 0.004, 0.002, 0.002}, 7);
    CGeneratedRegPair registry = GenerateRegistryPair(CGeneratedRegShape{20000, 35000, 4});
    return SaveSnapshot("gen-fs-before.tvrec", files.before) &&
                   SaveSnapshot("gen-fs-after.tvrec", files.after) &&
                   SaveSnapshot("gen-reg-before.tvrec", registry.before) &&
                   SaveSnapshot("gen-reg-after.tvrec", registry.after)
               ? 0
               : 1;
}
