// SPDX-License-Identifier: MIT
#include "results/ResultsPage.h"
#include "TestFixtures.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(ResultsPage, PathIsInTheCurrentDirectoryAndBlocksAreAppended)
{
    qtest::CTempDir dir;
    qtest::CCurrentDirectory cwd(dir.GetPath());
    const std::string strPath = GetResultsPagePath();
    EXPECT_EQ(strPath, dir.GetPath() + "/questrel.htm");

    ResetResultsPage(strPath); // missing file: no error
    ASSERT_TRUE(AppendToResultsPage(strPath, "<p>one</p>\nline"));
    ASSERT_TRUE(AppendToResultsPage(strPath, ""));
    const std::string strSeparator(63, '-');
    EXPECT_EQ(qtest::ReadFile(strPath),
              strSeparator + "\n<p>one</p>\nline\n" + strSeparator + "\n\n");
    ResetResultsPage(strPath);
    EXPECT_FALSE(std::filesystem::exists(strPath));
    EXPECT_FALSE(AppendToResultsPage(dir.File("no/such/dir/questrel.htm"), "x"));
}
