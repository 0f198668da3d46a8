#include "snapshot/WinTaggedObjects.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(RegKeyHandle, OpensOnceAndCloses)
{
    CRegKeyHandle key;
    EXPECT_EQ(key.Close(), 0);
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, L"Software"), ERROR_SUCCESS);
    EXPECT_NE(key.Get(), nullptr);
    EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, L"Software"), ERROR_ALREADY_EXISTS);  // already open
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(key.Get(), nullptr);
    // The registry's own answer, so that a deleted key is told from a locked one.
    EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, L"No Such Key Of Corvane"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Get(), nullptr);
    EXPECT_TRUE(key.IsValid());
}

}  // namespace
