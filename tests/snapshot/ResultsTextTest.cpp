#include "snapshot/ResultsText.h"

#include <gtest/gtest.h>

namespace {

TEST(FSResultsText, TotalsAndHeadingWithCrLfWhenNothingWasIgnored)
{
    EXPECT_EQ(FSResultsText(3, 1, 0, ""),
              "OPERATION SUCCESSFUL.\r\n\r\n3 files found\r\n1 directories found\r\n"
              "0 directories ignored\r\n\r\nThe following directories could not be accessed "
              "and contents were ignored:\r\n");
}

TEST(FSResultsText, IgnoredFoldersOnePerLineAfterTheHeading)
{
    EXPECT_EQ(FSResultsText(4294967295u, 7, 2, "\nC:\\System Volume Information\nC:\\x\\y"),
              "OPERATION SUCCESSFUL.\r\n\r\n4294967295 files found\r\n7 directories found\r\n"
              "2 directories ignored\r\n\r\nThe following directories could not be accessed "
              "and contents were ignored:\r\n\r\nC:\\System Volume Information\r\nC:\\x\\y");
}

TEST(ToCrLf, EveryLineFeedGetsACarriageReturn)
{
    EXPECT_EQ(ToCrLf(""), "");
    EXPECT_EQ(ToCrLf("\n\nab\n"), "\r\n\r\nab\r\n");
}

}  // namespace
