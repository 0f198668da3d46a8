#include "tests/support/DemoInstaller.h"

#include "tests/support/DriveFixture.h"

#include <windows.h>

const char kDemoFolder[] = "C:\\Program Files\\Pellix Demo";
const char* const kDemoKeys[2] = {"Software\\Pellix",
                                  "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PellixDemo"};

bool RemoveDemo()
{
    for (const char* key : kDemoKeys)
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    return RemoveTree(kDemoFolder);
}

bool MachineKeyExists(const char* name)
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, KEY_READ, &key))
        return false;
    ::RegCloseKey(key);
    return true;
}
