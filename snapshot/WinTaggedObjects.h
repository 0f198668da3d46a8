// The tagged object that owns a Windows handle: an open registry key.
#pragma once

#include "snapshot/TaggedObject.h"

#include <windows.h>

class CRegKeyHandle : public CTaggedObject {
public:
    CRegKeyHandle() : CTaggedObject(kTagRegKeyHandle) {}
    ~CRegKeyHandle() override { Close(); }

    // Returns the registry's answer, ERROR_SUCCESS when the key is open.
    // By the subkey's real name, which the ANSI code page may not hold.
    LONG Open(HKEY parent, const wchar_t* subkey, REGSAM access = KEY_READ);
    LONG Close();
    HKEY Get() const { return m_h; }

private:
    HKEY m_h = nullptr;
};
