// A library lying in the current folder is found by name until the program
// restricts the search at start-up, and never after.
#include "framework/LibrarySearch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string WindowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

TEST(LibrarySearch, TheCurrentFolderIsNoLongerSearched)
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "corvane library search";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::string copy = folder + "\\corvane_probe.dll";
    ASSERT_TRUE(::CopyFileA(WindowsPath(PROBE_LIBRARY).c_str(), copy.c_str(), FALSE)) << PROBE_LIBRARY;
    char before[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.c_str()));

    // Found there, as any program would find it.
    HMODULE found = ::LoadLibraryA("corvane_probe.dll");
    EXPECT_NE(found, nullptr);
    if (found)
        ::FreeLibrary(found);

    EXPECT_TRUE(RestrictLibrarySearch());
    HMODULE after = ::LoadLibraryA("corvane_probe.dll");
    EXPECT_EQ(after, nullptr);
    if (after)
        ::FreeLibrary(after);
    // A library named by its full path still loads.
    HMODULE named = ::LoadLibraryA(copy.c_str());
    EXPECT_NE(named, nullptr);
    if (named)
        ::FreeLibrary(named);

    ::SetCurrentDirectoryA(before);
    ::DeleteFileA(copy.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace
