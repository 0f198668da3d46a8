// The tagged object that owns a Windows handle: an open registry key.
#pragma once

#include "snapshot/TaggedObject.h"

#include <windows.h>

class CRegKeyHandle : public CTaggedObject {
public:
    CRegKeyHandle() : CTaggedObject(kTagRegKeyHandle) {}
    ~CRegKeyHandle() override { Close(); }

    BOOL Open(HKEY parent, const char* subkey);
    LONG Close();
    HKEY Get() const { return m_h; }

private:
    HKEY m_h = nullptr;
};
