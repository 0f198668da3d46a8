// A command-line program of this build run as a child process, as a console
// user runs it: the arguments given wide (UTF-8 here), each quoted, its
// standard output and error into files, run to its end or a deadline.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ChildRun {
    DWORD code = 99;  // 98: ended at the deadline
    std::string out, err;
};

// exe: a host path (as the build gives it, "/...") or a Windows one. token:
// the rights it runs with, this process's when null.
ChildRun RunChild(const std::string& exe, const std::vector<std::string>& args, DWORD deadlineMs,
                  HANDLE token = nullptr);

// A token of this process's user without the Administrators group (held for
// denial only), as User Account Control gives a program that is not
// elevated; null when the system cannot make one. The caller closes it.
HANDLE TokenWithoutAdministrators();

std::wstring Utf8ToWide(const std::string& text);
