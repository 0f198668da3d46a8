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

// exe: a host path (as the build gives it, "/...") or a Windows one.
ChildRun RunChild(const std::string& exe, const std::vector<std::string>& args, DWORD deadlineMs);

std::wstring Utf8ToWide(const std::string& text);
