// The texts of a file's properties window and the one-viewer-per-item rule.
#include "compare/FSFile.h"
#include "compare/FSNode.h"
#include "compare/FileProperties.h"
#include "tests/support/ViewerRecorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const uint64_t kTicksPerSecond = 10000000;
const uint64_t kTime = 130698651090000000ull;  // Tuesday 2015-03-03 14:05:09 UTC

struct Tree {
    CTreeStorage s;
    CFSNode root{CCompareName("File System 2"), nullptr};
    CCompareNode* drive = root.AddNode(s, s.Create<CFSNode>(s.Name("C:"), &root));
    CCompareNode* windows = drive->AddNode(s, s.Create<CFSNode>(s.Name("WINDOWS"), drive));
    CFSFile* winIni = static_cast<CFSFile*>(windows->AddItem(
        s, s.Create<CFSFile>(s.Name("win.ini"), kTime, kTime + 3600 * kTicksPerSecond + 9999999, 1234567, windows)));
    CFSFile* bootIni = static_cast<CFSFile*>(drive->AddItem(s, s.Create<CFSFile>(s.Name("boot.ini"), 0, 0, 0, drive)));
};

std::string Formatted(int year, int month, int day, int hour, int minute, int second, int weekday)
{
    return FormatCalendarTime(CCalendarTime{year, month, weekday, day, hour, minute, second});
}

}  // namespace

TEST(FileProperties, SizeTextGroupsDigitsInThrees)
{
    EXPECT_EQ(FormatSizeText(0), "0 bytes");
    EXPECT_EQ(FormatSizeText(999), "999 bytes");
    EXPECT_EQ(FormatSizeText(1000), "1,000 bytes");
    EXPECT_EQ(FormatSizeText(1234), "1,234 bytes");
    EXPECT_EQ(FormatSizeText(123456), "123,456 bytes");
    EXPECT_EQ(FormatSizeText(1234567), "1,234,567 bytes");
    EXPECT_EQ(FormatSizeText(4294967295u), "4,294,967,295 bytes");
}

TEST(FileProperties, FileTimesBecomeCalendarFields)
{
    CCalendarTime t;
    ASSERT_TRUE(FileTimeToCalendar(0, t));
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.dayOfWeek, t.hour, t.minute, t.second}),
              (std::vector<int>{1601, 1, 1, 1, 0, 0, 0}));
    ASSERT_TRUE(FileTimeToCalendar(kTime + 9999999, t));  // fractions are dropped
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.dayOfWeek, t.hour, t.minute, t.second}),
              (std::vector<int>{2015, 3, 3, 2, 14, 5, 9}));
    // 2000-02-29, a Tuesday; 2100-03-01 follows 2100-02-28.
    ASSERT_TRUE(FileTimeToCalendar(125962560000000000ull, t));
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.dayOfWeek}), (std::vector<int>{2000, 2, 29, 2}));
    ASSERT_TRUE(FileTimeToCalendar(157520160000000000ull, t));
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.dayOfWeek}), (std::vector<int>{2100, 3, 1, 1}));
    ASSERT_TRUE(FileTimeToCalendar(0x7FFFFFFFFFFFFFFFull, t));
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day}), (std::vector<int>{30828, 9, 14}));
    EXPECT_FALSE(FileTimeToCalendar(0x8000000000000000ull, t));
}

TEST(FileProperties, TimeTextHasTheWindowsFormat)
{
    EXPECT_EQ(Formatted(2015, 3, 3, 14, 5, 9, 2), "Tuesday, March 03, 2015, 02:05:09 PM");
    EXPECT_EQ(Formatted(1999, 12, 31, 0, 0, 0, 5), "Friday, December 31, 1999, 12:00:00 AM");
    EXPECT_EQ(Formatted(2024, 9, 1, 12, 30, 59, 0), "Sunday, September 01, 2024, 12:30:59 PM");
    // Years the runtime's own formatting refuses (it would abort the program
    // on Windows) are written out all the same.
    EXPECT_EQ(Formatted(30827, 12, 31, 23, 59, 59, 0), "Sunday, December 31, 30827, 11:59:59 PM");
    EXPECT_EQ(Formatted(1601, 1, 1, 0, 0, 0, 1), "Monday, January 01, 1601, 12:00:00 AM");
    EXPECT_NE(FormatFileTime(0x7FFFFFFFFFFFFFFFull, CFixedOffsetTime(0)).find(", 30828, "), std::string::npos);
}

TEST(FileProperties, TimesAreShownInLocalTime)
{
    EXPECT_EQ(FormatFileTime(kTime, CFixedOffsetTime(60)), "Tuesday, March 03, 2015, 03:05:09 PM");
    EXPECT_EQ(FormatFileTime(kTime, CFixedOffsetTime(-15 * 60)), "Monday, March 02, 2015, 11:05:09 PM");
    EXPECT_EQ(FormatFileTime(0, CFixedOffsetTime(-60)), "");                       // before 1601
    EXPECT_EQ(FormatFileTime(0xFFFFFFFFFFFFFFFFull, CFixedOffsetTime(0)), "");    // no date at all
}

TEST(FileProperties, TextsComeFromTheModel)
{
    Tree tree;
    CFilePropertiesTexts texts = tree.winIni->GetPropertiesTexts(CFixedOffsetTime(60));
    EXPECT_EQ(texts.m_strTitle, "File System 2 : win.ini");
    EXPECT_EQ(texts.m_strName, "win.ini");
    EXPECT_EQ(texts.m_strFullPath, "C:\\WINDOWS\\win.ini");
    EXPECT_EQ(texts.m_strSize, "1,234,567 bytes");
    EXPECT_EQ(texts.m_strCreated, "Tuesday, March 03, 2015, 03:05:09 PM");
    EXPECT_EQ(texts.m_strModified, "Tuesday, March 03, 2015, 04:05:09 PM");
    CFilePropertiesTexts boot = tree.bootIni->GetPropertiesTexts(CFixedOffsetTime(0));
    EXPECT_EQ(boot.m_strFullPath, "C:\\boot.ini");
    EXPECT_EQ(boot.m_strSize, "0 bytes");
    EXPECT_EQ(boot.m_strCreated, "Monday, January 01, 1601, 12:00:00 AM");
}

TEST(FileProperties, ASecondRequestBringsTheOpenViewerToTheFront)
{
    Tree tree;
    CRecordingViews factory{60};
    factory.Show(*tree.winIni);
    factory.Show(*tree.winIni);
    ASSERT_EQ(factory.fileProperties.size(), 1u);
    EXPECT_EQ(factory.viewers[0]->broughtToFront, 1);
    EXPECT_EQ(factory.fileProperties[0].m_strTitle, "File System 2 : win.ini");
    EXPECT_EQ(factory.fileProperties[0].m_strCreated, "Tuesday, March 03, 2015, 03:05:09 PM");
}

TEST(FileProperties, AClosedViewerIsReplacedByANewOne)
{
    Tree tree;
    CRecordingViews factory{60};
    factory.Show(*tree.winIni);
    factory.viewers[0]->open = false;  // the user closed it
    factory.Show(*tree.winIni);
    ASSERT_EQ(factory.fileProperties.size(), 2u);
    EXPECT_EQ(factory.viewers[0]->broughtToFront, 0);
    EXPECT_TRUE(factory.viewers[1]->open);
}

TEST(FileProperties, ClosingTheViewsViewersDestroysTheOpenOne)
{
    CRecordingViews factory{60};
    Tree tree;
    factory.Show(*tree.bootIni);
    std::shared_ptr<RecordedViewer> window = factory.viewers[0];
    EXPECT_FALSE(window->destroyed);
    factory.shown.CloseAll();
    EXPECT_TRUE(window->destroyed);
}
