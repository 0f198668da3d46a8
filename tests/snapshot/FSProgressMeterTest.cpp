#include "snapshot/FSProgressMeter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(UsedGigaunits, UsedSpaceInWholeUnitsOfOneBillionBytes)
{
    // 4096-byte clusters: 1,000,000 used clusters are 4,096,000,000 bytes.
    EXPECT_EQ(UsedGigaunits(8, 512, 1000000, 2000000), 4.0f);
    // Less than one unit used.
    EXPECT_EQ(UsedGigaunits(8, 512, 1000, 1100), 0.0f);
    // Nothing used at all.
    EXPECT_EQ(UsedGigaunits(8, 512, 5, 5), 0.0f);
    // Products beyond 32 bits: 4,000,000,000 clusters of 64 KiB.
    EXPECT_EQ(UsedGigaunits(128, 512, 0, 4000000000u), 262144.0f);
}

TEST(FSProgressMeter, OneStepPerBillionBytesStrictlyAbove)
{
    CFSProgressMeter meter(4);
    float percent = -1;
    EXPECT_FALSE(meter.AddFile(1000000000u, percent));  // exactly at the threshold: no step
    EXPECT_TRUE(meter.AddFile(1, percent));
    EXPECT_FLOAT_EQ(percent, 25.0f);
    EXPECT_EQ(meter.ByteCount(), 0u);
    EXPECT_FALSE(meter.AddFile(999999999u, percent));
    EXPECT_TRUE(meter.AddFile(2, percent));
    EXPECT_FLOAT_EQ(percent, 50.0f);
}

TEST(FSProgressMeter, AFileOfThreeBillionBytesCompletesExactlyOneStep)
{
    CFSProgressMeter meter(10);
    float percent = -1;
    EXPECT_TRUE(meter.AddFile(3000000000u, percent));
    EXPECT_FLOAT_EQ(percent, 10.0f);
    EXPECT_EQ(meter.StepsDone(), 1.0f);
    EXPECT_EQ(meter.ByteCount(), 0u);  // the two billion above are not carried over
    EXPECT_FALSE(meter.AddFile(1, percent));
}

TEST(FSProgressMeter, SizesAddModulo2To32)
{
    CFSProgressMeter meter(10);
    float percent = -1;
    EXPECT_FALSE(meter.AddFile(900000000u, percent));
    // 4,000,000,000 + 900,000,000 wraps to 605,032,704: no step.
    EXPECT_FALSE(meter.AddFile(4000000000u, percent));
    EXPECT_EQ(meter.ByteCount(), 605032704u);
}

TEST(FSProgressMeter, NothingUsedMeansAStepIsMoreThanAHundredPercent)
{
    CFSProgressMeter meter(0);
    float percent = 0;
    EXPECT_TRUE(meter.AddFile(3000000000u, percent));
    EXPECT_TRUE(std::isinf(percent) && percent > 0);  // the bar clamps to full
}

TEST(FSProgressMeter, UnknownUsedSpaceKeepsTheBarEmpty)
{
    CFSProgressMeter meter(UnknownUsedGigaunits());
    float percent = -1;
    EXPECT_TRUE(meter.AddFile(2000000000u, percent));
    EXPECT_EQ(percent, 0.0f);
}

}  // namespace
