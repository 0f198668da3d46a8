// Text as the system's own functions take and give it: the command line and
// the names of files. Windows gives it wide, and a file opened by its wide
// name is the one the user named, whatever its characters; elsewhere it is
// bytes, taken as they are.
#pragma once

#include <string>

#ifdef _WIN32
using SystemChar = wchar_t;
#else
using SystemChar = char;
#endif
using SystemString = std::basic_string<SystemChar>;
