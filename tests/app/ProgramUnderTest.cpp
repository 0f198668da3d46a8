#include "tests/app/ProgramUnderTest.h"

#include "res/resource.h"
#include "tests/app/RemoteWindows.h"

std::string ProgramPath()
{
    std::string path = "Z:" CORVANE_EXE;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

CProgram::~CProgram()
{
    if (m_pi.hProcess) {
        if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_pi.hProcess, 1);
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
    }
}

bool CProgram::Start(const std::string& exe)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + exe + "\"";
    return ::CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) !=
           FALSE;
}

bool CProgram::WaitEnded(DWORD& code, DWORD deadlineMs)
{
    if (!m_pi.hProcess || ::WaitForSingleObject(m_pi.hProcess, deadlineMs) != WAIT_OBJECT_0)
        return false;
    return ::GetExitCodeProcess(m_pi.hProcess, &code) != FALSE;
}

std::string TempFilePath(const char* name)
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

bool FillInSetup(HWND setup, const std::string& root, const std::string& path)
{
    // A click on the kind proposes a path of its own, which the given one replaces.
    ::SendDlgItemMessageA(setup, root.empty() ? IDC_SETUP_REGISTRY : IDC_SETUP_FILESYSTEM, BM_CLICK, 0, 0);
    if (!root.empty()) {
        LRESULT index = ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(root.c_str()));
        if (index == CB_ERR)
            return false;
        ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    ::SendDlgItemMessageA(setup, IDC_SETUP_PATH, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    return true;
}

bool ChooseInOpenDialog(DWORD pid, const char* title, const std::string& path)
{
    HWND dialog = WaitForWindow(pid, DialogWith(title));
    if (!dialog)
        return false;
    const int fileNameBox = 0x47C;
    ::SendMessageA(::GetDlgItem(dialog, fileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressRemote(dialog, IDOK);
    return WaitGone(dialog);
}
