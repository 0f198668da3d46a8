#include "bench/compare/CompareRun.h"

#include "bench/compare/HeapCounter.h"
#include "compare/FSMine.h"

#include <chrono>
#include <memory>

namespace {

class CSilentMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string&, MsgIcon, MsgButtons) override { return MsgAnswer::Ok; }
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

CCompareRunFigures MeasureCompareRun(CGeneratedPair& pair)
{
    CSilentMessages messages;
    CCompareRunFigures figures{};
    uint64_t before = HeapCounter::Current();
    HeapCounter::ResetPeak();
    auto start = std::chrono::steady_clock::now();
    auto mine = std::make_unique<CFSMine>(messages);
    figures.ok = mine->Compare(nullptr, pair.before, pair.after);
    figures.compareSeconds = SecondsSince(start);
    figures.peakBytes = HeapCounter::Peak() - before;
    start = std::chrono::steady_clock::now();
    mine.reset();
    figures.deleteSeconds = SecondsSince(start);
    return figures;
}
