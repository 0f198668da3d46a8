// corvane.exe of this build, started as a user starts it, and the steps of
// its dialogs that every end-to-end test takes.
#pragma once

#include <windows.h>

#include <string>

// The program of this build, as a Windows path.
std::string ProgramPath();

// A started program, ended by force if it is still running when the test is over.
class CProgram {
public:
    CProgram() = default;
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    bool Start(const std::string& exe);
    DWORD Pid() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }
    // Waits until the program has ended by itself; false when it had not
    // within the deadline. code gets its exit code.
    bool WaitEnded(DWORD& code, DWORD deadlineMs);

private:
    PROCESS_INFORMATION m_pi{};
};

// A file of that name in the temp folder.
std::string TempFilePath(const char* name);

// Fills in "Snap Shot Setup" as a person would: a file-system snapshot of
// drive `root` ("P:"), or of the registry when root is empty, into the file
// at path; false when the drive is not in the drive list.
bool FillInSetup(HWND setup, const std::string& root, const std::string& path);

// Chooses a file in the Open dialog titled `title` as a person would: types
// its path into the file-name box and presses OK; true once the dialog is gone.
bool ChooseInOpenDialog(DWORD pid, const char* title, const std::string& path);
