// corvane-diff: compares two snapshot files of the same kind with the
// comparison engine and prints the result. The kind, file system or registry,
// is told by the version word of snapshot 1.
//
//   corvane-diff [--tree] SNAPSHOT1 SNAPSHOT2
//
// Exit code 0 when the snapshots are identical, 1 when they differ, 2 when a
// file cannot be opened or is refused (the reasons go to standard error).
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "snapshot/SnapFormat.h"
#include "snapshot/StdioFile.h"
#include "tools/DiffReport.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

enum ExitCode { kIdentical = 0, kDifferent = 1, kRefused = 2 };

// The engine's messages, one line each on standard error.
class CStderrMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon, MsgButtons buttons) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
};

uint16_t PeekVersion(IInputFile& file)
{
    uint8_t word[2] = {};
    file.SeekToBegin();
    file.Read(word, 2);
    file.SeekToBegin();
    return GetLE16(word);
}

// The engine for the kind of snapshot 1, told by its version word: 225 is a
// registry snapshot; the file-system kind takes every other file and
// refuses, with its own message, one that is no snapshot at all.
struct CEngineChoice {
    std::unique_ptr<CCompareMine> mine;
    std::unique_ptr<IItemDescriber> describer;
};

CEngineChoice ChooseEngine(uint16_t version, IUserMessages& messages)
{
    if (version == kRegSnapVersion)
        return CEngineChoice{std::make_unique<CRegMine>(messages), std::make_unique<CRegValDescriber>()};
    return CEngineChoice{std::make_unique<CFSMine>(messages), std::make_unique<CFSFileDescriber>()};
}

int Usage()
{
    std::fprintf(stderr, "usage: corvane-diff [--tree] SNAPSHOT1 SNAPSHOT2\n");
    return kRefused;
}

}  // namespace

int main(int argc, char** argv)
{
    bool tree = false;
    const char* paths[2] = {nullptr, nullptr};
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tree") == 0)
            tree = true;
        else if (count < 2 && argv[i][0] != '-')
            paths[count++] = argv[i];
        else
            return Usage();
    }
    if (count != 2)
        return Usage();

    CStderrMessages messages;
    CStdioFile file1, file2;
    if (!file1.OpenRead(paths[0])) {
        messages.Error("Failed to open file 1.");
        return kRefused;
    }
    if (!file2.OpenRead(paths[1])) {
        messages.Error("Failed to open file 2.");
        return kRefused;
    }

    CEngineChoice engine = ChooseEngine(PeekVersion(file1), messages);
    if (!engine.mine->Compare(nullptr, file1, file2)) {
        messages.Error(kComparisonFailed);
        return kRefused;
    }

    std::string output = tree ? TreeListing(*engine.mine->GetRoot1(), *engine.mine->GetRoot2())
                              : ChangeReport(*engine.mine, *engine.describer);
    std::fwrite(output.data(), 1, output.size(), stdout);
    return TreesIdentical(*engine.mine) ? kIdentical : kDifferent;
}
