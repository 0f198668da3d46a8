#include "framework/LibrarySearch.h"

#include <windows.h>

bool RestrictLibrarySearch()
{
    // An empty string takes the current folder out of the search order.
    bool restricted = ::SetDllDirectoryA("") != FALSE;
    // Only the program's own folder and the system's: present from Windows 8
    // and on Windows 7 with its loader update, so looked up at run time.
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = ::GetModuleHandleA("kernel32.dll")) {
        auto setDefault = reinterpret_cast<SetDefaultDirectories>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
            restricted = true;
    }
    return restricted;
}
