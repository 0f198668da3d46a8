// The engine outlives its run as the frame's result, and the progress window
// it reported to is gone by then: no way out of a run leaves it pointing there.
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

template <class Mine>
class CExposedMine : public Mine {
public:
    using Mine::Mine;
    IProgress* Progress() const { return this->m_pProgress; }
};

struct RunCase {
    const char* name;
    bool registry;
    std::function<CMemoryFile()> file1, file2;
    bool ok;
};

CMemoryFile Drive()
{
    return WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 1, 2, 3}}, {}});
}

CMemoryFile Garbage()
{
    return CMemoryFile(std::vector<uint8_t>{1, 2, 3});
}

class CompareRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(CompareRun, ForgetsTheProgressWindowWhenItEnds)
{
    const RunCase& c = GetParam();
    CRecordingMessages messages;
    CRecordingProgress progress;
    CMemoryFile file1 = c.file1(), file2 = c.file2();
    bool ok;
    IProgress* after;
    if (c.registry) {
        CExposedMine<CRegMine> mine(messages);
        ok = mine.Compare(&progress, file1, file2);
        after = mine.Progress();
    } else {
        CExposedMine<CFSMine> mine(messages);
        ok = mine.Compare(&progress, file1, file2);
        after = mine.Progress();
    }
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(after, nullptr);
    EXPECT_FALSE(progress.events.empty());  // it did report while it ran
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CompareRun,
    ::testing::Values(RunCase{"fileSystemComplete", false, Drive, Drive, true},
                      RunCase{"fileSystemFirstFileRefused", false, Garbage, Drive, false},
                      RunCase{"fileSystemSecondFileRefused", false, Drive, Garbage, false},
                      RunCase{"registryRefused", true, Drive, Drive, false}),
    [](const ::testing::TestParamInfo<RunCase>& test) { return std::string(test.param.name); });

}  // namespace
