// The worker side of the progress window, without a window.
#include "operation/SnapProgressDlg.h"

#include <gtest/gtest.h>

namespace {

class ProgressValues : public CSnapProgressDlg {
public:
    ProgressValues() : CSnapProgressDlg(TRUE) {}
    const std::string& Title() const { return m_strTitle; }
    const std::string& Status() const { return m_strStatus; }
    float Percent() const { return m_fPercent; }
};

TEST(ProgressValues, SettersStoreTheValuesWhenTheLockIsFree)
{
    ProgressValues p;
    EXPECT_TRUE(p.HasSharedLock());
    p.SetTitleText("Creating snap shot of file system...");
    p.SetStatusText("C:\\Windows");
    p.SetPercent(37.5f);
    EXPECT_EQ(p.Title(), "Creating snap shot of file system...");
    EXPECT_EQ(p.Status(), "C:\\Windows");
    EXPECT_EQ(p.Percent(), 37.5f);
    EXPECT_TRUE(p.Refresh(true));
    EXPECT_TRUE(p.Refresh(false));
}

TEST(ProgressValues, ASetterLeavesTheOldValueWhileTheLockIsHeldElsewhere)
{
    ProgressValues p;
    p.SetStatusText("old");
    p.SetPercent(10);
    CNamedSemaphore other("snapprogress", 1, 1);  // another window, or another copy
    ASSERT_TRUE(other.Lock(0));
    p.SetStatusText("new");
    p.SetTitleText("new title");
    p.SetPercent(90);
    EXPECT_FALSE(p.Refresh(false));
    EXPECT_EQ(p.Status(), "old");
    EXPECT_EQ(p.Title(), "");
    EXPECT_EQ(p.Percent(), 10.0f);
    other.Unlock(1);
    p.SetStatusText("newer");
    EXPECT_EQ(p.Status(), "newer");
    // The title and percentage set while the lock was busy are not lost: the
    // next setter that got the lock stored them too.
    EXPECT_EQ(p.Title(), "new title");
    EXPECT_EQ(p.Percent(), 90.0f);
}

TEST(ProgressValues, TheWaitingRefreshStoresWhatTheSettersCouldNot)
{
    ProgressValues p;
    CNamedSemaphore other("snapprogress", 1, 1);
    ASSERT_TRUE(other.Lock(0));
    p.SetTitleText("Creating snap shot of file system...");  // set once, while busy
    p.SetPercent(100);
    EXPECT_EQ(p.Title(), "");
    other.Unlock(1);
    EXPECT_TRUE(p.Refresh(false));  // the timer's refresh shows only what is stored
    EXPECT_EQ(p.Title(), "");
    EXPECT_TRUE(p.Refresh(true));   // the worker's final refresh
    EXPECT_EQ(p.Title(), "Creating snap shot of file system...");
    EXPECT_EQ(p.Percent(), 100.0f);
}

TEST(ProgressValues, WithoutABarTheBarMessagesDoNothing)
{
    ProgressValues p;
    EXPECT_EQ(p.GetBarWindow(), nullptr);
    p.BarSetPos(50);
    p.BarStepIt();
    EXPECT_EQ(p.BarGetPos(), 0);
}

}  // namespace
