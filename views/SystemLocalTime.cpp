#include "views/SystemLocalTime.h"

#include <windows.h>

namespace {

class CSystemLocalTime : public ITimeConverter {
public:
    bool ToLocal(uint64_t fileTime, CCalendarTime& out) const override
    {
        FILETIME utc;
        utc.dwLowDateTime = static_cast<DWORD>(fileTime);
        utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
        FILETIME local;
        SYSTEMTIME fields;
        if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &fields))
            return false;
        out.year = fields.wYear;
        out.month = fields.wMonth;
        out.dayOfWeek = fields.wDayOfWeek;
        out.day = fields.wDay;
        out.hour = fields.wHour;
        out.minute = fields.wMinute;
        out.second = fields.wSecond;
        return true;
    }
};

}  // namespace

const ITimeConverter& SystemLocalTime()
{
    static const CSystemLocalTime converter;
    return converter;
}
