#include "capture/ProcessWatch.h"


namespace {

// How often the job's count of processes is read while no message of the
// job's completion port arrives.
constexpr DWORD kPollMs = 200;

bool EndsWith(const std::wstring& text, const wchar_t* end)
{
    size_t n = wcslen(end);
    return text.size() >= n && _wcsicmp(text.c_str() + text.size() - n, end) == 0;
}

std::wstring SystemFolderProgram(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return name;
    return std::wstring(folder) + L"\\" + name;
}

DWORD ActiveProcesses(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr))
        return 0;
    return info.ActiveProcesses;
}

}  // namespace

CWatchedProcess::~CWatchedProcess()
{
    for (HANDLE handle : {m_process, m_port, m_job})
        if (handle)
            ::CloseHandle(handle);
}

bool CWatchedProcess::Start(const std::wstring& commandLine, bool shareConsole, std::string& error)
{
    m_job = ::CreateJobObjectW(nullptr, nullptr);
    if (!m_job) {
        error = "cannot create a job object to follow the program (error " + std::to_string(::GetLastError()) + ").";
        return false;
    }
    // A process that asks to leave the job may (it is then not followed),
    // rather than fail to start.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    ::SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    m_port = ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    if (m_port) {
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT port{m_job, m_port};
        ::SetInformationJobObject(m_job, JobObjectAssociateCompletionPortInformation, &port, sizeof port);
    }

    // Suspended until it is in the job, so that nothing it starts escapes.
    std::wstring line = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    DWORD flags = CREATE_SUSPENDED;
    if (shareConsole) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    } else {
        flags |= CREATE_NEW_CONSOLE;
    }
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, shareConsole, flags, nullptr, nullptr, &si, &pi)) {
        error = "cannot start the program (error " + std::to_string(::GetLastError()) + ").";
        return false;
    }
    if (!::AssignProcessToJobObject(m_job, pi.hProcess)) {
        error = "cannot follow the program in a job object (error " + std::to_string(::GetLastError()) + ").";
        ::TerminateProcess(pi.hProcess, 1);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return false;
    }
    ::ResumeThread(pi.hThread);
    ::CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    return true;
}

CProcessOutcome CWatchedProcess::Wait(unsigned timeoutSeconds)
{
    CProcessOutcome outcome;
    const ULONGLONG deadline = ::GetTickCount64() + 1000ull * timeoutSeconds;
    // The program itself first, then whatever it left running in the job.
    for (;;) {
        bool programEnded = ::WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0;
        if (programEnded && ActiveProcesses(m_job) == 0)
            break;
        if (timeoutSeconds && ::GetTickCount64() >= deadline) {
            outcome.timedOut = true;
            ::TerminateJobObject(m_job, ERROR_TIMEOUT);
            ::WaitForSingleObject(m_process, 10000);
            break;
        }
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED overlapped = nullptr;
        if (m_port)
            ::GetQueuedCompletionStatus(m_port, &bytes, &key, &overlapped, kPollMs);
        else
            ::WaitForSingleObject(m_process, kPollMs);
    }
    DWORD code = 0;
    if (!outcome.timedOut && ::GetExitCodeProcess(m_process, &code) && code != STILL_ACTIVE) {
        outcome.exitCode = code;
        outcome.exitCodeKnown = true;
    }
    return outcome;
}

std::wstring FindProgram(const std::wstring& program)
{
    if (program.empty())
        return L"";
    const bool hasFolder = program.find_first_of(L"\\/:") != std::wstring::npos;
    std::vector<std::wstring> tries{program};
    if (program.find(L'.', program.find_last_of(L"\\/:") + 1) == std::wstring::npos)
        tries.insert(tries.begin(), program + L".exe");
    for (const std::wstring& name : tries) {
        wchar_t found[MAX_PATH * 4];
        DWORD n;
        if (hasFolder)
            n = ::GetFullPathNameW(name.c_str(), MAX_PATH * 4, found, nullptr);
        else
            n = ::SearchPathW(nullptr, name.c_str(), nullptr, MAX_PATH * 4, found, nullptr);
        if (n == 0 || n >= MAX_PATH * 4)
            continue;
        DWORD attributes = ::GetFileAttributesW(found);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return found;
    }
    return L"";
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring ProgramCommandLine(const std::wstring& found, const std::vector<std::wstring>& arguments,
                                const std::wstring& typed)
{
    std::wstring tail;
    for (const std::wstring& argument : arguments)
        tail += L" " + QuoteArgument(argument);
    if (typed.find_first_not_of(L" \t") != std::wstring::npos)
        tail += L" " + typed;
    if (EndsWith(found, L".cmd") || EndsWith(found, L".bat")) {
        // cmd /c takes the rest of its line as it is, quotes and all, when
        // it is wrapped in one more pair.
        return QuoteArgument(SystemFolderProgram(L"cmd.exe")) + L" /d /c \"" + QuoteArgument(found) + tail + L"\"";
    }
    if (EndsWith(found, L".msi"))
        return QuoteArgument(SystemFolderProgram(L"msiexec.exe")) + L" /i " + QuoteArgument(found) + tail;
    return QuoteArgument(found) + tail;
}
