// The machine's local time: the system's own conversion, field by field.
#include "views/SystemLocalTime.h"

#include "compare/FileProperties.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<int> Fields(const CCalendarTime& t)
{
    return {t.year, t.month, t.day, t.dayOfWeek, t.hour, t.minute, t.second};
}

}  // namespace

TEST(SystemLocalTime, ConvertsAsTheSystemDoes)
{
    const uint64_t times[] = {
        130698651090000000ull,            // Tuesday 2015-03-03 14:05:09 UTC
        130698651090000000ull + 9999999,  // the same second
        125962560000000000ull,            // 2000-02-29 00:00:00 UTC
    };
    for (uint64_t time : times) {
        SCOPED_TRACE(time);
        FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)}, local;
        SYSTEMTIME s;
        ASSERT_TRUE(::FileTimeToLocalFileTime(&utc, &local));
        ASSERT_TRUE(::FileTimeToSystemTime(&local, &s));
        CCalendarTime t{};
        ASSERT_TRUE(SystemLocalTime().ToLocal(time, t));
        EXPECT_EQ(Fields(t), (std::vector<int>{s.wYear, s.wMonth, s.wDay, s.wDayOfWeek, s.wHour, s.wMinute,
                                               s.wSecond}));
        EXPECT_EQ(FormatFileTime(time, SystemLocalTime()), FormatCalendarTime(t));
    }
}

TEST(SystemLocalTime, TimesFromTwoToTheSixtyThirdDoNotConvert)
{
    CCalendarTime t{};
    EXPECT_FALSE(SystemLocalTime().ToLocal(0x8000000000000000ull, t));
    EXPECT_FALSE(SystemLocalTime().ToLocal(0xFFFFFFFFFFFFFFFFull, t));
    EXPECT_EQ(FormatFileTime(0x8000000000000000ull, SystemLocalTime()), "");
}
