// Holds a file open as a program that shares it with nobody, until its
// standard input ends:
//   hold_file PATH   prints "held" once the file is open, exit code 2 when it
//                    cannot be opened
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    std::puts("held");
    std::fflush(stdout);
    char buffer[64];
    DWORD got;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got)
        ;
    ::CloseHandle(file);
    return 0;
}
