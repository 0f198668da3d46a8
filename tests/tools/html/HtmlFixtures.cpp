// Writes the snapshot pairs that only the HTML page's test compares, into the
// current folder: html-names-1/2.tvrec, whose names hold what HTML must
// escape or cannot hold at all (bytes above 127, & < > quotes, control
// bytes, runs of blanks), and html-deep-1/2.tvrec, a chain of 600 folders
// with a change at its end and a folder of one side only on the way.
#include "tests/compare/FSSnapBuilder.h"
#include "tests/support/SnapshotFiles.h"

#include <string>
#include <utility>

namespace {

const uint64_t kTime = 130698651090000000ull;  // 2015-03-03 14:05:09 UTC

TFile File(const std::string& name, uint32_t size)
{
    return TFile{name, size, kTime, kTime};
}

TFolder Names(bool second)
{
    TFolder changed{"Stra\xDF" "e", {File("a&b", second ? 8 : 7)}, {}};
    if (second)
        return TFolder{"C:", {File("caf\xE9 & <b>.txt", 2), File("new \xE4\xF6\xFC > \"x\"", 6)}, {changed}};
    return TFolder{"C:",
                   {File("caf\xE9 & <b>.txt", 1), File("quote \"double\" 'single'", 3),
                    File("ctl\x01\t\x7F\x81\x9D.txt", 4)},
                   {TFolder{"\x80uro  two  spaces ", {File("\xFF\xFE<>&amp;", 5)}, {}}, changed}};
}

// d0 ... d599, the last holding "leaf" of leafSize bytes; at level
// uniqueAt a folder named uniqueName comes before the chain's next folder.
TFolder Chain(uint32_t leafSize, int uniqueAt, const std::string& uniqueName)
{
    const int depth = 600;
    TFolder inner{"d" + std::to_string(depth - 1), {File("leaf", leafSize)}, {}};
    for (int level = depth - 2; level >= 0; --level) {
        TFolder outer{"d" + std::to_string(level), {}, {}};
        if (level == uniqueAt)
            outer.folders.push_back(TFolder{uniqueName, {File("x", 1)}, {TFolder{"sub", {}, {}}}});
        outer.folders.push_back(std::move(inner));
        inner = std::move(outer);
    }
    return TFolder{"C:", {}, {std::move(inner)}};
}

}  // namespace

int main()
{
    bool ok = SaveSnapshot("html-names-1.tvrec", WriteSnapshot(Names(false))) &&
              SaveSnapshot("html-names-2.tvrec", WriteSnapshot(Names(true))) &&
              SaveSnapshot("html-deep-1.tvrec", WriteSnapshot(Chain(1, 300, "gone"))) &&
              SaveSnapshot("html-deep-2.tvrec", WriteSnapshot(Chain(2, 500, "new")));
    return ok ? 0 : 1;
}
