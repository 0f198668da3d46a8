// A program that a capture runs: started visibly in a job object of its own,
// so that every process it starts, and they in turn, belong to it, and waited
// for until the last of them has ended. Work that a program hands to a process
// that was already running (a service) is not in the job and is not waited for.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct CProcessOutcome {
    bool timedOut = false;     // the time limit ended the job's processes
    DWORD exitCode = 0;        // of the program itself
    bool exitCodeKnown = false;
};

class CWatchedProcess {
public:
    CWatchedProcess() = default;
    ~CWatchedProcess();
    CWatchedProcess(const CWatchedProcess&) = delete;
    CWatchedProcess& operator=(const CWatchedProcess&) = delete;

    // Starts the command line, whose first word (the program) was resolved by
    // FindProgram. False with the reason in the program's words. shareConsole:
    // the program writes to this process's console and standard handles (the
    // command line's capture, whose log then holds an installer's output);
    // else a console program gets a window of its own.
    bool Start(const std::wstring& commandLine, bool shareConsole, std::string& error);
    // Waits until every process of the job has ended. After timeoutSeconds
    // (0: no limit) all of them are ended and the outcome says so.
    CProcessOutcome Wait(unsigned timeoutSeconds);

private:
    HANDLE m_job = nullptr;
    HANDLE m_port = nullptr;
    HANDLE m_process = nullptr;
};

// The program as Windows would start it: a name with a folder is taken as it
// is, a bare name is searched for as the command processor searches (the
// current folder, then PATH), ".exe" added when it has no extension. Empty
// when there is no such file.
std::wstring FindProgram(const std::wstring& program);

// The command line that starts the found program with the arguments, each
// argument quoted as the C runtime reads it back, then typed, a command line
// of arguments as it is. A batch file is run by the command processor, a
// Windows Installer package by msiexec /i.
std::wstring ProgramCommandLine(const std::wstring& found, const std::vector<std::wstring>& arguments,
                                const std::wstring& typed = L"");

// One argument quoted so that CommandLineToArgvW and the C runtime read it
// back as it is.
std::wstring QuoteArgument(const std::wstring& argument);
