// The conversion of file times to the machine's local calendar time, as the
// portable texts ask for it. The Windows views convert with the system's
// current time-zone bias; the portable core has a fixed-offset converter for
// tools and tests.
#pragma once

#include <cstdint>

// Calendar fields of a moment, as the system's time conversion gives them.
struct CCalendarTime {
    int year;       // e.g. 2015
    int month;      // 1 to 12
    int dayOfWeek;  // 0 Sunday to 6 Saturday
    int day;        // 1 to 31
    int hour, minute, second;
};

// Converts a file time (100-nanosecond intervals since 1601-01-01 UTC) to
// local calendar fields; false when the time cannot be converted.
class ITimeConverter {
public:
    virtual ~ITimeConverter() = default;
    virtual bool ToLocal(uint64_t fileTime, CCalendarTime& out) const = 0;
};
