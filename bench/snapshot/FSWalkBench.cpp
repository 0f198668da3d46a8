// Files per second of a file-system snapshot of a whole drive, against a bare
// recursive FindFirstFile walk of the same drive that writes nothing.
//   fs_walk_bench DRIVE-LETTER SNAPSHOT-PATH [ROUNDS]
#include "bench/snapshot/BenchClock.h"
#include "snapshot/FSSnap.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class CQuietMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon, MsgButtons buttons) override
    {
        if (buttons == MsgButtons::YesNo)
            return MsgAnswer::Yes;
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return MsgAnswer::Ok;
    }
};

class CBenchFSSnap : public CFSSnap {
public:
    using CFSSnap::CFSSnap;

protected:
    void ShowResults(const std::string&) override {}
};

// The walk of earlier builds: the ANSI functions, every name converted.
uint32_t BareWalk(const std::string& path)
{
    uint32_t files = 0;
    WIN32_FIND_DATAA data;
    std::string pattern = path + "\\*";
    std::vector<std::string> subfolders;
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(find, &data)) {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            subfolders.push_back(path + "\\" + name);
        else
            ++files;
    }
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    for (const auto& sub : subfolders)
        files += BareWalk(sub);
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fs_walk_bench DRIVE SNAPSHOT-PATH [ROUNDS]\n");
        return 2;
    }
    char drive = argv[1][0];
    std::string snapshot = argv[2];
    int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    std::string root = std::string(1, drive) + ":";

    BareWalk(root);  // warm the host's caches for both walks alike
    double bestBare = 1e30, bestSnap = 1e30;
    uint32_t files = 0, snapFiles = 0;
    for (int i = 0; i < rounds; ++i) {
        LARGE_INTEGER t0, t1, t2;
        ::QueryPerformanceCounter(&t0);
        files = BareWalk(root);
        ::QueryPerformanceCounter(&t1);
        CQuietMessages messages;
        CNullProgress progress;
        CBenchFSSnap snap(snapshot, drive, nullptr, &progress, &messages);
        snap.Run();
        ::QueryPerformanceCounter(&t2);
        snapFiles = snap.FilesFound();
        bestBare = std::min(bestBare, Seconds(t0, t1));
        bestSnap = std::min(bestSnap, Seconds(t1, t2));
    }
    std::printf("files: %u (snapshot recorded %u)\n", files, snapFiles);
    std::printf("bare FindFirstFile walk: %.3f s, %.0f files/s\n", bestBare, files / bestBare);
    std::printf("snapshot walk:           %.3f s, %.0f files/s\n", bestSnap, snapFiles / bestSnap);
    std::printf("snapshot / bare time:    %.2f\n", bestSnap / bestBare);
    return snapFiles == files ? 0 : 1;
}
