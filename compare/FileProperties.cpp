#include "compare/FileProperties.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kSecondsPerDay = 86400;
constexpr uint64_t kLargestConvertible = 0x7FFFFFFFFFFFFFFFull;

// Year, month and day of a count of days since 1600-03-01 (the proleptic
// Gregorian calendar, whose 400-year cycles start at a March 1st).
void CivilFromDays(uint64_t daysSinceMarch1600, int& year, int& month, int& day)
{
    uint64_t era = daysSinceMarch1600 / 146097;
    uint64_t dayOfEra = daysSinceMarch1600 % 146097;
    uint64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    uint64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 is March
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(1600 + 400 * era + yearOfEra + (month <= 2 ? 1 : 0));
}

}  // namespace

bool FileTimeToCalendar(uint64_t fileTime, CCalendarTime& out)
{
    if (fileTime > kLargestConvertible)
        return false;
    uint64_t seconds = fileTime / kTicksPerSecond;
    uint64_t days = seconds / kSecondsPerDay;  // since 1601-01-01, a Monday
    uint64_t secondOfDay = seconds % kSecondsPerDay;
    // 1601-01-01 is day 306 after 1600-03-01.
    CivilFromDays(days + 306, out.year, out.month, out.day);
    out.dayOfWeek = static_cast<int>((days + 1) % 7);
    out.hour = static_cast<int>(secondOfDay / 3600);
    out.minute = static_cast<int>(secondOfDay / 60 % 60);
    out.second = static_cast<int>(secondOfDay % 60);
    return true;
}

bool CFixedOffsetTime::ToLocal(uint64_t fileTime, CCalendarTime& out) const
{
    int64_t offset = static_cast<int64_t>(m_offsetMinutes) * 60 * static_cast<int64_t>(kTicksPerSecond);
    if (offset < 0 && fileTime < static_cast<uint64_t>(-offset))
        return false;
    if (offset > 0 && fileTime > kLargestConvertible - static_cast<uint64_t>(offset))
        return false;
    return FileTimeToCalendar(fileTime + static_cast<uint64_t>(offset), out);
}

std::string FormatSizeText(uint64_t size)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(size));
    std::string text;
    size_t count = std::char_traits<char>::length(digits);
    for (size_t i = 0; i < count; ++i) {
        if (i != 0 && (count - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text + " bytes";
}

// The year is written by hand: file times reach the year 30828, and the
// Windows runtime refuses any year past 9999 (a strict one ends the program
// over it). The runtime only names the day and the month, from a year it takes.
std::string FormatCalendarTime(const CCalendarTime& time)
{
    std::tm fields{};
    fields.tm_year = 100;  // 2000, a leap year: every day of every month is valid
    fields.tm_mon = time.month - 1;
    fields.tm_mday = time.day;
    fields.tm_wday = time.dayOfWeek;
    fields.tm_hour = time.hour;
    fields.tm_min = time.minute;
    fields.tm_sec = time.second;
    fields.tm_isdst = -1;
    char year[16];
    std::snprintf(year, sizeof year, "%d", time.year);
    const std::string format = std::string("%A, %B %d, ") + year + ", %I:%M:%S %p";
    char text[128];
    size_t n = std::strftime(text, sizeof text, format.c_str(), &fields);
    return std::string(text, n);
}

std::string FormatFileTime(uint64_t fileTime, const ITimeConverter& localTime)
{
    CCalendarTime time;
    if (!localTime.ToLocal(fileTime, time))
        return std::string();
    return FormatCalendarTime(time);
}
