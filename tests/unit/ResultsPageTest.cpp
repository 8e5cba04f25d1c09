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
              kResultsPageHead + strSeparator + "\n<p>one</p>\nline\n" + strSeparator + "\n\n");
    ResetResultsPage(strPath);
    EXPECT_FALSE(std::filesystem::exists(strPath));
    EXPECT_FALSE(AppendToResultsPage(dir.File("no/such/dir/questrel.htm"), "x"));
}

TEST(ResultsPage, ItsOwnHeadComesFirstAndForbidsScriptsPluginsAndBase)
{
    qtest::CTempDir dir;
    const std::string strPath = dir.File("questrel.htm");
    const std::string strHostile = "<html><head><base href=\"file:///etc/\"><script>alert(1)</script></head>"
                                   "<body><object data=\"x.swf\"></object></body></html>";
    ASSERT_TRUE(AppendToResultsPage(strPath, strHostile));
    const std::string strText = qtest::ReadFile(strPath);
    // The policy is in the first head, before any byte of the engine's page.
    const size_t nPolicy = strText.find("http-equiv=\"Content-Security-Policy\"");
    ASSERT_NE(nPolicy, std::string::npos);
    EXPECT_LT(nPolicy, strText.find("<base"));
    EXPECT_LT(strText.find("</head><body>"), strText.find("<base"));
    for (const char* pszRule : {"script-src 'none'", "object-src 'none'", "base-uri 'none'"})
        EXPECT_NE(strText.find(pszRule), std::string::npos) << pszRule;
    // The engine's page is kept as it came.
    EXPECT_NE(strText.find(strHostile), std::string::npos);
}

TEST(ResultsPage, StopsGrowingAtItsCapAndSaysSo)
{
    qtest::CTempDir dir;
    const std::string strPath = dir.File("questrel.htm");
    const size_t nCap = 4096;
    ASSERT_TRUE(AppendToResultsPage(strPath, std::string(1000, 'a'), nCap));
    ASSERT_TRUE(AppendToResultsPage(strPath, std::string(5000, 'b'), nCap));
    ASSERT_TRUE(AppendToResultsPage(strPath, "late", nCap));
    const std::string strText = qtest::ReadFile(strPath);
    EXPECT_EQ(strText.size(), nCap);
    EXPECT_EQ(strText.substr(strText.size() - std::string(kResultsPageFullNote).size()), kResultsPageFullNote);
    EXPECT_NE(strText.find(std::string(1000, 'a')), std::string::npos);
    EXPECT_EQ(strText.find("late"), std::string::npos);
}
