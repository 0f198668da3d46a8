// corvane-diff's work on a deep chain of folders named Temp, each holding a
// file whose size changed: every entry's path is as long as its depth, and
// nothing is pruned. Prints the time the exclusion C:\**\Temp\**\*.log takes
// (it matches nothing, so every path is tried in full), and the time and the
// peak heap of writing the report, whose size grows with the depth squared.
#include "bench/compare/HeapCounter.h"
#include "compare/FSMine.h"
#include "snapshot/FSSnapFormat.h"
#include "snapshot/MemoryFile.h"
#include "snapshot/StdioFile.h"
#include "report/DiffFilter.h"
#include "report/DiffReport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A drive whose root holds a chain of depth folders, each with f.txt of size.
CMemoryFile DeepDrive(uint32_t depth, uint32_t size)
{
    CMemoryFile file;
    CFSSnapWriter writer(file);
    writer.WriteHeader('C');
    std::vector<uint64_t> counts;
    for (uint32_t level = 0; level <= depth; ++level) {
        counts.push_back(level == 0 ? writer.BeginFolder("C:", 2) : writer.BeginFolder("Temp", 4));
        writer.WriteFile("f.txt", 5, 0, 0, size);
    }
    for (uint32_t level = depth + 1; level-- > 0;)
        writer.EndFolder(counts[level], level == depth ? 0 : 1, 1);
    writer.Finish(depth + 1);
    file.SeekToBegin();
    return file;
}

class CQuietMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon, MsgButtons) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        return MsgAnswer::Ok;
    }
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Save(const char* path, const CMemoryFile& snapshot)
{
    CStdioFile file;
    const auto& bytes = snapshot.Bytes();
    return file.CreateTruncate(path) && file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--write") == 0) {
        uint32_t depth = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
        return Save(argv[3], DeepDrive(depth, 1)) && Save(argv[4], DeepDrive(depth, 2)) ? 0 : 1;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: diff_deep_bench [--write DEPTH BEFORE AFTER]\n");
        return 2;
    }
    std::printf("%8s %12s %12s %14s %14s\n", "depth", "pair bytes", "exclusion s", "report s",
                "report peak");
    for (uint32_t depth : {500u, 1000u, 2000u, 10000u, 16000u}) {
        CMemoryFile before = DeepDrive(depth, 1), after = DeepDrive(depth, 2);
        CQuietMessages messages;
        CFSMine mine(messages);
        if (!mine.Compare(nullptr, before, after))
            return 1;
        CPathFilter filter;
        filter.Add("C:\\**\\Temp\\**\\*.log");
        auto start = std::chrono::steady_clock::now();
        filter.Apply(mine);
        double exclusion = SecondsSince(start);

        std::FILE* null = std::fopen("/dev/null", "wb");
        if (!null)
            return 1;
        uint64_t base = HeapCounter::Current();
        HeapCounter::ResetPeak();
        start = std::chrono::steady_clock::now();
        {
            CTextSink out(null);
            ChangeReport(mine, SnapKind::FileSystem, CFSFileDescriber(), out);
        }
        double report = SecondsSince(start);
        std::fclose(null);
        std::printf("%8u %12zu %12.3f %14.3f %11.2f MB\n", depth, before.Bytes().size() + after.Bytes().size(),
                    exclusion, report, (HeapCounter::Peak() - base) / 1e6);
    }
    return 0;
}
