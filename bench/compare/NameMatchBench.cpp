// Matching names of every alphabet: two snapshots of one folder of N files,
// the second listing them in another order (so that partners are found by
// the name index, not by meeting them in order), with 1 % of them changed.
// Prints the comparison's time for ASCII names and for names of the same
// length in bytes made of letters above 0x7F: accented Latin letters in a
// single-byte code page, double-byte characters in a double-byte one.
//   name_match_bench [FILES...]    (default 20000 200000)
#include "bench/compare/CompareRun.h"
#include "compare/AnsiChars.h"
#include "snapshot/FSSnapFormat.h"
#include "snapshot/MemoryFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kNameBytes = 24;

// The lead bytes of the ANSI code page, none when it is single-byte.
std::vector<unsigned char> LeadBytes()
{
    std::vector<unsigned char> leads;
    for (unsigned c = 0x81; c < 0xFF; ++c)
        if (IsAnsiLeadByte(static_cast<unsigned char>(c)))
            leads.push_back(static_cast<unsigned char>(c));
    return leads;
}

// Distinct names of kNameBytes bytes: a serial number in letters of the
// alphabet, after a stem of the same letters.
std::string Name(uint32_t serial, bool high, const std::vector<unsigned char>& leads)
{
    std::string name;
    while (name.size() < kNameBytes) {
        uint32_t digit = serial % 26;
        serial /= 26;
        if (!high) {
            name += static_cast<char>('a' + digit);
        } else if (leads.empty()) {
            name += static_cast<char>(0xE0 + digit);  // à to ú
        } else {
            name += static_cast<char>(leads[digit % leads.size()]);
            name += static_cast<char>(0xA1 + digit);  // a trail byte of every double-byte code page
        }
    }
    name.resize(kNameBytes);
    return name;
}

void WriteFolder(CMemoryFile& out, const std::vector<std::string>& names, uint32_t changedEvery)
{
    CFSSnapWriter writer(out);
    writer.WriteHeader('C');
    uint64_t counts = writer.BeginFolder("C:", 2);
    for (size_t i = 0; i < names.size(); ++i)
        writer.WriteFile(names[i].data(), names[i].size(), 130698651090000000ull, 130698651090000007ull,
                         changedEvery && i % changedEvery == 0 ? 2 : 1);
    writer.EndFolder(counts, 0, static_cast<uint32_t>(names.size()));
    writer.Finish(1);
    out.SeekToBegin();
}

double Measure(uint32_t files, bool high, const std::vector<unsigned char>& leads)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < files; ++i)
        names.push_back(Name(i, high, leads));
    CMemoryFile before, after;
    WriteFolder(before, names, 0);
    std::shuffle(names.begin(), names.end(), std::mt19937(7));
    WriteFolder(after, names, 100);
    double best = 1e30;
    for (int round = 0; round < 3; ++round) {
        CCompareRunFigures figures = MeasureCompareRun(GeneratedKind::FileSystem, before, after);
        if (!figures.ok) {
            std::printf("the comparison failed\n");
            std::exit(1);
        }
        best = std::min(best, figures.compareSeconds);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<uint32_t> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10)));
    if (counts.empty())
        counts = {20000, 200000};
    std::vector<unsigned char> leads = LeadBytes();
    std::printf("names of %zu bytes; letters above 0x7F: %s\n", kNameBytes,
                leads.empty() ? "accented, single-byte" : "double-byte characters");
    for (uint32_t files : counts) {
        double ascii = Measure(files, false, leads);
        double high = Measure(files, true, leads);
        std::printf("%u files in one folder: ASCII names %.3f s, other letters %.3f s (%.2f times)\n",
                    files, ascii, high, high / ascii);
    }
    return 0;
}
