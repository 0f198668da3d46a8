// Owned handles: one template for every kind, closed with its object, moved
// but never copied. A policy per kind names the handle's type and says which
// values hold nothing and how one is closed; the kinds live beside what they
// serve (GDI objects and icons in Gdi.h, menus and accelerator tables in
// Menu.h, image lists in ImageList.h, find handles in FileFind.h).
#pragma once

#include <windows.h>

template <class Policy>
class COwnedHandle {
public:
    using Handle = typename Policy::Handle;

    COwnedHandle() = default;
    explicit COwnedHandle(Handle h) : m_h(h) {}
    ~COwnedHandle() { Close(); }
    COwnedHandle(COwnedHandle&& other) noexcept : m_h(other.Detach()) {}
    COwnedHandle& operator=(COwnedHandle&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    COwnedHandle(const COwnedHandle&) = delete;
    COwnedHandle& operator=(const COwnedHandle&) = delete;

    bool IsOpen() const { return Policy::IsOpen(m_h); }
    Handle Get() const { return m_h; }
    operator Handle() const { return m_h; }
    // Takes ownership of `h` in place of the handle held; false when `h`
    // holds nothing.
    bool Attach(Handle h)
    {
        Close();
        m_h = h;
        return IsOpen();
    }
    // Gives the handle away, to an owner that closes it.
    Handle Detach()
    {
        Handle h = m_h;
        m_h = Handle();
        return h;
    }
    // FALSE only when closing a handle failed.
    BOOL Close()
    {
        BOOL ok = TRUE;
        if (IsOpen())
            ok = Policy::Close(m_h);
        m_h = Handle();
        return ok;
    }

private:
    Handle m_h = Handle();
};

// The policy of a kind whose handles hold nothing when null and are closed by
// `close` (DestroyMenu, DeleteObject ...).
template <typename H, auto close>
struct CClosedBy {
    using Handle = H;
    static bool IsOpen(H h) { return h != nullptr; }
    static BOOL Close(H h) { return close(h); }
};

// Kernel objects: threads, semaphores, files and folders opened by CreateFile.
// They fail as null or as INVALID_HANDLE_VALUE, depending on the function.
struct CKernelHandlePolicy {
    using Handle = HANDLE;
    static bool IsOpen(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static BOOL Close(HANDLE h) { return ::CloseHandle(h); }
};

using CHandle = COwnedHandle<CKernelHandlePolicy>;
