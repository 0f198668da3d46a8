// The programs the capture's and the hashing's tests run, one by the first
// argument:
//   parent FOLDER KEY  starts "child" and ends at once, before the child works
//   child FOLDER KEY   once its parent has ended and a second more, writes
//                      FOLDER\child.txt and the value Child of HKLM\KEY
//   fail CODE FOLDER   writes FOLDER\failed.txt and ends with exit code CODE
//   forever            never ends
//   hold FILE          holds FILE open, shared with nobody, until its standard
//                      input ends; prints "held" once it is open
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static void WriteFile(const std::wstring& path, const char* text)
{
    if (std::FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fputs(text, file);
        std::fclose(file);
    }
}

int wmain(int argc, wchar_t** argv)
{
    std::wstring what = argc > 1 ? argv[1] : L"";
    if (what == L"parent" && argc == 4) {
        wchar_t self[MAX_PATH];
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = std::wstring(L"\"") + self + L"\" child \"" + argv[2] + L"\" \"" + argv[3] + L"\" " +
                            std::to_wstring(::GetCurrentProcessId());
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return 3;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return 0;
    }
    if (what == L"child" && argc == 5) {
        if (HANDLE parent = ::OpenProcess(SYNCHRONIZE, FALSE, std::wcstoul(argv[4], nullptr, 10)))
            ::WaitForSingleObject(parent, INFINITE);
        ::Sleep(1000);
        WriteFile(std::wstring(argv[2]) + L"\\child.txt", "child");
        DWORD one = 1;
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, argv[3], L"Child", REG_DWORD, &one, sizeof one) ? 4 : 0;
    }
    if (what == L"fail" && argc == 4) {
        WriteFile(std::wstring(argv[3]) + L"\\failed.txt", "");
        return static_cast<int>(std::wcstoul(argv[2], nullptr, 10));
    }
    if (what == L"forever")
        ::Sleep(INFINITE);
    if (what == L"hold" && argc == 3) {
        HANDLE file = ::CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 2;
        std::puts("held");
        std::fflush(stdout);
        char buffer[64];
        DWORD got;
        while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got)
            ;
        return ::CloseHandle(file) ? 0 : 2;
    }
    return 2;
}
