// The tagged object that owns a Windows handle: an open registry key.
#pragma once

#include "snapshot/TaggedObject.h"

#include <windows.h>

class CRegKeyHandle : public CTaggedObject {
public:
    CRegKeyHandle() : CTaggedObject(kTagRegKeyHandle) {}
    ~CRegKeyHandle() override { Close(); }

    // Returns the registry's answer, ERROR_SUCCESS when the key is open.
    LONG Open(HKEY parent, const char* subkey, REGSAM access = KEY_READ);
    LONG Close();
    HKEY Get() const { return m_h; }

private:
    HKEY m_h = nullptr;
};
