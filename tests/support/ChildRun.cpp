#include "tests/support/ChildRun.h"

#include "tests/support/DriveFixture.h"

#include <algorithm>

namespace {

std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(text.size() + 1)) - 1));
    return wide;
}

HANDLE TokenWithoutAdministrators()
{
    HANDLE own = nullptr, restricted = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &own))
        return nullptr;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                   &administrators)) {
        SID_AND_ATTRIBUTES disabled{administrators, 0};
        if (!::CreateRestrictedToken(own, 0, 1, &disabled, 0, nullptr, 0, nullptr, &restricted))
            restricted = nullptr;
        ::FreeSid(administrators);
    }
    ::CloseHandle(own);
    return restricted;
}

ChildRun RunChild(const std::string& program, const std::vector<std::string>& args, DWORD deadlineMs, HANDLE token)
{
    std::string exe = program[0] == '/' ? "Z:" + program : program, command;
    std::replace(exe.begin(), exe.end(), '/', '\\');
    command = "\"" + exe + "\"";
    for (const std::string& arg : args) {
        // Backslashes before the closing quote are doubled, or it is taken as text.
        size_t trailing = arg.size() - (arg.find_last_not_of('\\') + 1);
        command += " \"" + arg + std::string(trailing, '\\') + "\"";
    }
    std::wstring wideExe = Utf8ToWide(exe), wideCommand = Utf8ToWide(command);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    // Files of their own each run, shared: a process the child left running
    // (Wine's desktop, started on first use) may hold an earlier run's.
    static int runs = 0;
    const std::string number = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++runs);
    const std::string outPath = TempFile(("corvane-child-out-" + number + ".txt").c_str()),
                      errPath = TempFile(("corvane-child-err-" + number + ".txt").c_str());
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = ::CreateFileA(outPath.c_str(), GENERIC_WRITE, share, &inherited, CREATE_ALWAYS, 0, nullptr);
    si.hStdError = ::CreateFileA(errPath.c_str(), GENERIC_WRITE, share, &inherited, CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION pi{};
    ChildRun run;
    BOOL started = token ? ::CreateProcessAsUserW(token, wideExe.c_str(), &wideCommand[0], nullptr, nullptr, TRUE, 0,
                                                  nullptr, nullptr, &si, &pi)
                         : ::CreateProcessW(wideExe.c_str(), &wideCommand[0], nullptr, nullptr, TRUE, 0, nullptr,
                                            nullptr, &si, &pi);
    if (started) {
        if (::WaitForSingleObject(pi.hProcess, deadlineMs) != WAIT_OBJECT_0)
            ::TerminateProcess(pi.hProcess, 98);
        ::GetExitCodeProcess(pi.hProcess, &run.code);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    ::CloseHandle(si.hStdOutput);
    ::CloseHandle(si.hStdError);
    std::vector<uint8_t> out = ReadWholeFile(outPath), err = ReadWholeFile(errPath);
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    ::DeleteFileA(outPath.c_str());
    ::DeleteFileA(errPath.c_str());
    return run;
}
