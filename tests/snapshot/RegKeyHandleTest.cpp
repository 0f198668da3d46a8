#include "snapshot/WinTaggedObjects.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(RegKeyHandle, OpensOnceAndCloses)
{
    CRegKeyHandle key;
    EXPECT_EQ(key.Close(), 0);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Software"));
    EXPECT_NE(key.Get(), nullptr);
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, "Software"));  // already open
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(key.Get(), nullptr);
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, "No Such Key Of Corvane"));
    EXPECT_TRUE(key.IsValid());
}

}  // namespace
