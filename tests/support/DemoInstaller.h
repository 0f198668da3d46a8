// What the demonstration installer (scripts/demo-installer) writes, and its
// removal, for the tests that capture it.
#pragma once

#include <string>

extern const char kDemoFolder[];       // its installation folder
extern const char* const kDemoKeys[2]; // its keys below HKEY_LOCAL_MACHINE

// Removes the folder and the keys; true when the folder is gone.
bool RemoveDemo();
bool MachineKeyExists(const char* name);
