// The texts of a file's properties window, computed from the compare model
// alone: title, name, size, both times in local time, and the full path.
#pragma once

#include "seams/TimeConverter.h"

#include <cstdint>
#include <string>

struct CFilePropertiesTexts {
    std::string m_strTitle;
    std::string m_strName;
    std::string m_strSize;
    std::string m_strCreated;
    std::string m_strModified;
    std::string m_strFullPath;
    // The content's hash, or why there is none, where the snapshot was taken
    // with hashes; empty otherwise, and then the window has no such row.
    std::string m_strHash;
    // The title, name and path as the file system holds them, where a name
    // on the path has an exact form the recorded ones lack; empty otherwise.
    std::u16string m_exactTitle, m_exactName, m_exactFullPath;
};

// Local time at a fixed offset from UTC, computed without the system; the
// same rules as the system's: only times before 2^63 convert, to whole seconds.
class CFixedOffsetTime : public ITimeConverter {
public:
    explicit CFixedOffsetTime(int offsetMinutes) : m_offsetMinutes(offsetMinutes) {}
    bool ToLocal(uint64_t fileTime, CCalendarTime& out) const override;

private:
    int m_offsetMinutes;  // local time minus UTC
};

// Calendar fields of a file time taken as it is (no offset); false for
// times of 2^63 and above.
bool FileTimeToCalendar(uint64_t fileTime, CCalendarTime& out);

// "1,234,567 bytes": the decimal size with a comma before every group of
// three digits from the right.
std::string FormatSizeText(uint64_t size);
// "Tuesday, March 03, 2015, 02:05:09 PM".
std::string FormatCalendarTime(const CCalendarTime& time);
// The local time of fileTime in that format, or an empty text when it
// cannot be converted.
std::string FormatFileTime(uint64_t fileTime, const ITimeConverter& localTime);
