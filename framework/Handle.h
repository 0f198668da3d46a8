// Owning kernel handles that cannot be copied.
#pragma once

#include <windows.h>

class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    bool IsOpen() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }
    void Attach(HANDLE h) { Close(); m_h = h; }
    HANDLE Detach() { HANDLE h = m_h; m_h = nullptr; return h; }
    BOOL Close()
    {
        BOOL ok = TRUE;
        if (IsOpen())
            ok = ::CloseHandle(m_h);
        m_h = nullptr;
        return ok;
    }

private:
    HANDLE m_h = nullptr;
};
