// What the registry walker tests share: a walker that records its results
// text instead of showing the dialog, a temporary snapshot path, and the
// check of a parsed key against the tree it should hold.
#pragma once

#include "snapshot/RegSnap.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/RegSnapParser.h"
#include "tests/support/SnapshotFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CRecordedRegSnap : public CRegSnap {
public:
    using CRegSnap::CRegSnap;
    std::vector<std::string> results;

protected:
    void ShowResults(const std::string& text) override { results.push_back(text); }
};

inline std::string RegTempPath(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

inline RegSnapFile ReadRegSnap(const std::string& path)
{
    RegSnapFile file;
    std::string why;
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    EXPECT_TRUE(ParseRegSnap(bytes, file, why)) << why;
    // After the second root, what the file is.
    CSnapAppendix appendix;
    EXPECT_TRUE(ReadAppendixAt(bytes, file.bytesUsed, appendix));
    EXPECT_EQ(appendix.codePage, ::GetACP());
    return file;
}

// The first bytes of a snapshot whose walk was aborted: version 0, the two
// placeholder counts.
inline std::vector<uint8_t> AbortedHeader()
{
    return {0, 0, 2, 0, 0, 0, 2, 0, 0, 0};
}

inline std::vector<uint8_t> FileHead(const std::string& path, size_t n)
{
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    bytes.resize(bytes.size() < n ? bytes.size() : n);
    return bytes;
}

inline void ExpectSameKey(const RegKeyRecord& expected, const RegKeyRecord& actual,
                          const std::string& path)
{
    SCOPED_TRACE(path);
    EXPECT_EQ(actual.name, expected.name);
    ASSERT_EQ(actual.values.size(), expected.values.size());
    for (size_t i = 0; i < expected.values.size(); ++i) {
        const RegValueRecord& e = expected.values[i];
        const RegValueRecord& a = actual.values[i];
        EXPECT_EQ(a.name, e.name) << i;
        EXPECT_EQ(a.type, e.type) << e.name;
        EXPECT_EQ(a.data.size(), e.data.size()) << e.name;
        EXPECT_TRUE(a.data == e.data) << e.name;
    }
    ASSERT_EQ(actual.subkeys.size(), expected.subkeys.size());
    for (size_t j = 0; j < expected.subkeys.size(); ++j)
        ExpectSameKey(expected.subkeys[j], actual.subkeys[j], path + "\\" + expected.subkeys[j].name);
}

// The system registry, call for call; a test overrides what it changes.
class CForwardingRegistry : public IRegistry {
public:
    LONG QueryInfoKey(HKEY key, DWORD& subkeys, DWORD& values, FILETIME& lastWrite) override
    {
        return SystemRegistry().QueryInfoKey(key, subkeys, values, lastWrite);
    }
    LONG EnumValue(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength, DWORD& type, BYTE* data,
                   DWORD& dataLength) override
    {
        return SystemRegistry().EnumValue(key, index, name, nameLength, type, data, dataLength);
    }
    LONG EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength) override
    {
        return SystemRegistry().EnumKey(key, index, name, nameLength);
    }
    LONG OpenKey(CRegKeyHandle& handle, HKEY parent, const wchar_t* name) override
    {
        return SystemRegistry().OpenKey(handle, parent, name);
    }
};

// The registry as the walk read it before it asked for the 64-bit view: every
// key opened for reading alone, so a 32-bit program on 64-bit Windows sees
// the redirected keys.
class CPlainViewRegistry : public CForwardingRegistry {
public:
    LONG OpenKey(CRegKeyHandle& handle, HKEY parent, const wchar_t* name) override
    {
        return handle.Open(parent, name, KEY_READ);
    }
};
