// The 32-bit program on 64-bit Windows. The system shows such a program a
// redirected file system (System32 holds the files of SysWOW64); the guard
// below turns that off on the calling thread for its lifetime, so that thread
// sees the folders as they are. The functions are looked up at run time: on a
// system without them, or without redirection, the guard does nothing.
#pragma once

#include <windows.h>

class CFsRedirectionOff {
public:
    CFsRedirectionOff();
    ~CFsRedirectionOff();
    CFsRedirectionOff(const CFsRedirectionOff&) = delete;
    CFsRedirectionOff& operator=(const CFsRedirectionOff&) = delete;

    // True while redirection is off because of this guard.
    bool IsOff() const { return m_bOff; }

private:
    PVOID m_old = nullptr;
    bool m_bOff = false;
};

// True when this process is a 32-bit program running on 64-bit Windows.
bool IsWow64();
