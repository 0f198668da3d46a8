#include "framework/Wow64.h"

namespace {

FARPROC Kernel32Function(const char* name)
{
    HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    return kernel32 ? ::GetProcAddress(kernel32, name) : nullptr;
}

using RedirectionFunction = BOOL(WINAPI*)(PVOID*);
using RevertFunction = BOOL(WINAPI*)(PVOID);
using IsWow64Function = BOOL(WINAPI*)(HANDLE, PBOOL);

}  // namespace

CFsRedirectionOff::CFsRedirectionOff()
{
    auto disable = reinterpret_cast<RedirectionFunction>(
        reinterpret_cast<void*>(Kernel32Function("Wow64DisableWow64FsRedirection")));
    m_bOff = disable && disable(&m_old);
}

CFsRedirectionOff::~CFsRedirectionOff()
{
    if (!m_bOff)
        return;
    auto revert = reinterpret_cast<RevertFunction>(
        reinterpret_cast<void*>(Kernel32Function("Wow64RevertWow64FsRedirection")));
    if (revert)
        revert(m_old);
}

bool IsWow64()
{
    auto isWow64 = reinterpret_cast<IsWow64Function>(
        reinterpret_cast<void*>(Kernel32Function("IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}
