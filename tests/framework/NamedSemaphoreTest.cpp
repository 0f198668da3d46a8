#include "framework/NamedSemaphore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

namespace {

TEST(NamedSemaphore, LockWithZeroTimeOutOnlyTries)
{
    CNamedSemaphore lock("corvane_test_single", 1, 1);
    ASSERT_TRUE(lock.Lock(0));
    EXPECT_FALSE(lock.Lock(0));
    EXPECT_TRUE(lock.Unlock(1));
    EXPECT_TRUE(lock.Lock(0));
    EXPECT_TRUE(lock.Unlock(1));
    EXPECT_FALSE(lock.Unlock(1));  // beyond the maximum count
}

TEST(NamedSemaphore, TwoObjectsOfOneNameShareOneCount)
{
    CNamedSemaphore first("snapprogress", 1, 1);
    CNamedSemaphore second("snapprogress", 1, 1);
    ASSERT_TRUE(first.Lock(0));
    EXPECT_FALSE(second.Lock(0));
    EXPECT_TRUE(first.Unlock(1));
    EXPECT_TRUE(second.Lock(0));
    EXPECT_FALSE(first.Lock(0));
    EXPECT_TRUE(second.Unlock(1));
}

TEST(NamedSemaphore, ACountTakenOnAnotherThreadIsReleasedThere)
{
    CNamedSemaphore lock("corvane_test_threads", 1, 1);
    HANDLE taken = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&]() {
        lock.Lock(INFINITE);
        ::SetEvent(taken);
        ::WaitForSingleObject(release, INFINITE);
        lock.Unlock(1);
    });
    ASSERT_EQ(::WaitForSingleObject(taken, 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(lock.Lock(0));
    ::SetEvent(release);
    EXPECT_TRUE(lock.Lock(5000));  // waits until the other thread let go
    lock.Unlock(1);
    other.join();
    ::CloseHandle(taken);
    ::CloseHandle(release);
}

TEST(NamedSemaphore, CreateReplacesTheHandle)
{
    CNamedSemaphore keepsA("corvane_test_a", 1, 1);
    CNamedSemaphore lock("corvane_test_a", 1, 1);
    ASSERT_TRUE(lock.Lock(0));
    ASSERT_TRUE(lock.Create("corvane_test_b", 1, 1));
    EXPECT_TRUE(lock.Lock(0));      // the new semaphore's count
    EXPECT_FALSE(keepsA.Lock(0));   // the old one is still taken
}

TEST(NamedSemaphore, AFailedCreationHoldsNothing)
{
    // A maximum count of 0 is invalid.
    CNamedSemaphore bad("corvane_test_bad", 1, 0);
    EXPECT_FALSE(bad.IsOpen());
    EXPECT_FALSE(bad.Lock(0));
    EXPECT_FALSE(bad.Unlock(1));
}

}  // namespace
