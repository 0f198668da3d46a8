#include "bench/compare/GeneratedSnapshots.h"

#include "snapshot/FSSnapFormat.h"

#include <random>
#include <string>
#include <vector>

namespace {

// Name stems and extensions of varied length, as a drive's files have them.
const char* const kStems[] = {"setup", "readme", "Microsoft.Windows.Common-Controls_", "img_",
                              "kernel", "WindowsCodecsRaw", "x", "Document ", "libcrypto-",
                              "en-US_resources_"};
const char* const kExtensions[] = {".dll", ".txt", ".exe", ".manifest", ".jpg", ".mui", "", ".cat"};

struct Writer {
    const CGeneratedShape& shape;
    std::mt19937 random;
    CFSSnapWriter& before;
    CFSSnapWriter& after;
    CGeneratedPair& pair;
    uint32_t foldersWritten = 0;
    uint64_t serial = 0;

    std::string FileName()
    {
        uint64_t n = serial++;
        return kStems[n % 10] + std::to_string(n) + kExtensions[(n / 10) % 8];
    }

    bool Chance(double share) { return std::uniform_real_distribution<double>(0, 1)(random) < share; }

    void WriteFile(CFSSnapWriter& w, const std::string& name, uint32_t size, uint64_t time)
    {
        w.WriteFile(name.data(), name.size(), time, time + 7, size);
        pair.nameBytes += name.size();
    }

    // Writes one folder, in both snapshots, and the subfolders it is given.
    void Folder(const std::string& name, uint32_t subfoldersToGive)
    {
        ++foldersWritten;
        uint64_t countsBefore = before.BeginFolder(name.data(), name.size());
        uint64_t countsAfter = after.BeginFolder(name.data(), name.size());
        uint32_t filesBefore = 0, filesAfter = 0;
        for (uint32_t i = 0; i < shape.filesPerFolder; ++i) {
            std::string file = FileName();
            uint32_t size = static_cast<uint32_t>(random() % 1000000);
            uint64_t time = 130698651090000000ull + random();
            WriteFile(before, file, size, time);
            ++filesBefore;
            if (Chance(shape.removed))
                continue;
            WriteFile(after, file, Chance(shape.changed) ? size + 1 : size, time);
            ++filesAfter;
        }
        for (uint32_t i = 0; i < shape.filesPerFolder; ++i)
            if (Chance(shape.added)) {
                WriteFile(after, FileName(), 1, 130698651090000000ull);
                ++filesAfter;
            }
        pair.filesBefore += filesBefore;
        pair.filesAfter += filesAfter;

        uint32_t children =
            subfoldersToGive < shape.foldersPerFolder ? subfoldersToGive : shape.foldersPerFolder;
        subfoldersToGive -= children;
        // Give the subfolders breadth first, so the tree stays shallow.
        std::vector<uint32_t> shares(children, 0);
        for (uint32_t i = 0; i < children && subfoldersToGive; ++i) {
            uint32_t share = subfoldersToGive / (children - i);
            shares[i] = share;
            subfoldersToGive -= share;
        }
        for (uint32_t i = 0; i < children; ++i)
            Folder("Folder " + std::to_string(foldersWritten), shares[i]);
        before.EndFolder(countsBefore, children, filesBefore);
        after.EndFolder(countsAfter, children, filesAfter);
    }
};

}  // namespace

CGeneratedShape ManyFoldersShape()
{
    return CGeneratedShape{100000, 10, 8, 0.01, 0.001, 0.001};
}

CGeneratedShape OneFolderShape()
{
    return CGeneratedShape{1, 100000, 0, 0.01, 0.001, 0.001};
}

CGeneratedPair GeneratePair(const CGeneratedShape& shape, uint32_t seed)
{
    CGeneratedPair pair;
    CFSSnapWriter before(pair.before), after(pair.after);
    before.WriteHeader('C');
    after.WriteHeader('C');
    Writer writer{shape, std::mt19937(seed), before, after, pair};
    writer.Folder("C:", shape.folders - 1);
    before.Finish(writer.foldersWritten);
    after.Finish(writer.foldersWritten);
    pair.before.SeekToBegin();
    pair.after.SeekToBegin();
    return pair;
}
