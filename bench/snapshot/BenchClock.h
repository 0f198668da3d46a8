// Wall-clock seconds between two QueryPerformanceCounter readings.
#pragma once

#include <windows.h>

inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}
