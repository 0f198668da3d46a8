// Writes the generated file-system pair of the comparison benchmarks (1,000,000
// files in 100,000 folders, 1 % changed) to two snapshot files, so that
// corvane-diff itself can be timed on it:
//   write_generated_pair BEFORE AFTER
#include "bench/compare/GeneratedSnapshots.h"
#include "snapshot/StdioFile.h"

#include <cstdio>

namespace {

bool Save(const char* path, const CMemoryFile& snapshot)
{
    CStdioFile file;
    const auto& bytes = snapshot.Bytes();
    if (file.CreateTruncate(path) && file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())))
        return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: write_generated_pair BEFORE AFTER\n");
        return 2;
    }
    CGeneratedPair pair = GeneratePair(ManyFoldersShape());
    return Save(argv[1], pair.before) && Save(argv[2], pair.after) ? 0 : 1;
}
