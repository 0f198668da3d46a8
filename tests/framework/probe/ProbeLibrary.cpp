// A library that a test puts into a folder and tries to load by name.
#include <windows.h>

extern "C" __declspec(dllexport) int CorvaneProbe()
{
    return 42;
}
