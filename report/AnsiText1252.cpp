#include "report/AnsiText.h"

#include <cstdint>

namespace {

// Windows-1252 at 0x80 to 0x9F; the five bytes it leaves undefined map to the
// control characters of the same number, as Windows maps them.
const uint16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string AnsiToUtf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (unsigned char c : ansi)
        AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c);
    return out;
}

std::string SystemTextToAnsi(const SystemString& text, std::string* lost)
{
    if (lost)
        lost->clear();
    return text;
}
