#include "bench/compare/CompareRun.h"

#include "bench/compare/HeapCounter.h"
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "seams/Progress.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

class CSilentMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon, MsgButtons) override
    {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return MsgAnswer::Ok;
    }
};

// Takes the time of each status text the engine shows; the span from one
// to the next is that step's.
class CPhaseClock : public CNullProgress {
public:
    explicit CPhaseClock(Clock::time_point start) : m_last(start) {}

    void SetStatusText(const char* text) override
    {
        Clock::time_point now = Clock::now();
        if (!m_status.empty())
            m_phases.push_back(CRunPhase{m_status, Seconds(m_last, now)});
        m_status = text;
        m_last = now;
    }

    static double Seconds(Clock::time_point from, Clock::time_point to)
    {
        return std::chrono::duration<double>(to - from).count();
    }

    std::vector<CRunPhase> m_phases;

private:
    std::string m_status;
    Clock::time_point m_last;
};

// The short names of the engine's status texts.
const char* ShortName(const std::string& status)
{
    static const struct {
        const char* status;
        const char* name;
    } names[] = {{"Reading snap shot 1", "load 1"},
                 {"Reading snap shot 2", "load 2"},
                 {"Comparing snapshot 1", "pass 1"},
                 {"Comparing snapshot 2", "pass 2"},
                 {"Removing identicals", "prune"}};
    for (const auto& n : names)
        if (status.compare(0, std::strlen(n.status), n.status) == 0)
            return n.name;
    return status.c_str();
}

}  // namespace

CCompareRunFigures MeasureCompareRun(GeneratedKind kind, IInputFile& before, IInputFile& after)
{
    CSilentMessages messages;
    CCompareRunFigures figures{};
    uint64_t heapBefore = HeapCounter::Current();
    HeapCounter::ResetPeak();
    Clock::time_point start = Clock::now();
    CPhaseClock clock(start);
    std::unique_ptr<CCompareMine> mine;
    if (kind == GeneratedKind::FileSystem)
        mine = std::make_unique<CFSMine>(messages);
    else
        mine = std::make_unique<CRegMine>(messages);
    figures.ok = mine->Compare(&clock, before, after);
    Clock::time_point end = Clock::now();
    figures.compareSeconds = CPhaseClock::Seconds(start, end);
    figures.peakBytes = HeapCounter::Peak() - heapBefore;
    figures.phases = std::move(clock.m_phases);
    figures.heldBytes = mine->StorageBytes();
    if (figures.ok) {
        figures.left1 = CountsBelow(*mine->GetRoot1());
        figures.left2 = CountsBelow(*mine->GetRoot2());
    }
    end = Clock::now();
    mine.reset();
    figures.deleteSeconds = CPhaseClock::Seconds(end, Clock::now());
    return figures;
}

std::string PhasesText(const CCompareRunFigures& figures)
{
    std::string text;
    char part[64];
    for (const CRunPhase& phase : figures.phases) {
        std::snprintf(part, sizeof part, "%s%s %.3f s", text.empty() ? "" : ", ",
                      ShortName(phase.status), phase.seconds);
        text += part;
    }
    std::snprintf(part, sizeof part, "%sdelete %.3f s", text.empty() ? "" : ", ", figures.deleteSeconds);
    return text + part;
}
