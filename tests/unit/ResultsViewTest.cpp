// SPDX-License-Identifier: MIT
#include "TestFixtures.h"
#include "platform/ShellOpen.h"
#include "results/HighlightWords.h"
#include "platform/Url.h"
#include "results/LinkOpening.h"

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(HighlightWords, QueryWordsAtWordBoundariesIgnoringCase)
{
    using Spans = std::vector<std::pair<size_t, size_t>>;
    CHighlightWords words;
    words.SetText("java  applet sleep javascript c++");
    EXPECT_EQ(words.FindSpans("Java"), (Spans{{0, 4}}));
    EXPECT_EQ(words.FindSpans("APPLET"), (Spans{{0, 6}}));
    EXPECT_EQ(words.FindSpans("java,"), (Spans{{0, 4}}));            // punctuation after the word
    EXPECT_EQ(words.FindSpans("sleep:"), (Spans{{0, 5}}));
    EXPECT_EQ(words.FindSpans("JavaScript.info"), (Spans{{0, 10}})); // the longer query word wins
    EXPECT_EQ(words.FindSpans("(java/applet)"), (Spans{{1, 4}, {6, 6}}));
    EXPECT_EQ(words.FindSpans("C++11"), (Spans{{0, 3}}));            // "+" and "1": a boundary
    EXPECT_TRUE(words.FindSpans("javas").empty());                   // no boundary after "java"
    EXPECT_TRUE(words.FindSpans("sleepy").empty());
    EXPECT_TRUE(words.FindSpans("asleep").empty());
    EXPECT_TRUE(words.FindSpans("").empty());
    words.SetText("   ");
    EXPECT_TRUE(words.IsEmpty());
    EXPECT_TRUE(words.FindSpans("java").empty());
}

TEST(HighlightWords, AWordCutIntoItsPieces)
{
    using Pieces = std::vector<std::pair<std::string_view, bool>>;
    CHighlightWords words;
    words.SetText("java applet");
    EXPECT_EQ(words.SplitAtSpans("(java/applet)"),
              (Pieces{{"(", false}, {"java", true}, {"/", false}, {"applet", true}, {")", false}}));
    EXPECT_EQ(words.SplitAtSpans("Java"), (Pieces{{"Java", true}}));
    EXPECT_EQ(words.SplitAtSpans("javas"), (Pieces{{"javas", false}}));
    EXPECT_TRUE(words.SplitAtSpans("").empty());
}

TEST(HighlightWords, SplitsAtBlanksOnly)
{
    const std::vector<std::string_view> words = SplitWords("  a  b\tc  d ");
    EXPECT_EQ(words, (std::vector<std::string_view>{"a", "b\tc", "d"}));
    EXPECT_TRUE(SplitWords("").empty());
}

TEST(LinkOpening, OnlyWebAddressesAreOpened)
{
    for (const char* psz : {"http://a.example/", "HTTPS://a.example/x", "ftp://files.example/f"})
        EXPECT_TRUE(IsWebAddress(psz)) << psz;
    for (const char* psz : {"javascript:alert(1)", "file:///etc/passwd", "-option", "/usr/bin/x",
                            "a.example/page", "http://", "mailto:x@y"})
        EXPECT_FALSE(IsWebAddress(psz)) << psz;
}

TEST(LinkOpening, FailureCodesHaveTheirMessages)
{
    EXPECT_STREQ(ShellOpenErrorText(31), "There is no application associated with the given filename extension.");
    EXPECT_EQ(std::string(ShellOpenErrorText(2)), ShellOpenErrorText(27));
    EXPECT_EQ(ShellOpenErrorText(1), nullptr);
    EXPECT_EQ(ShellOpenErrorText(20), nullptr);
    EXPECT_EQ(ShellOpenErrorText(33), nullptr);
    EXPECT_NE(ShellOpenErrorText(0), nullptr);
}

TEST(ShellOpen, TheOpenersExitStatusSaysWhetherABrowserTookTheLink)
{
    // A stand-in xdg-open first on the PATH: failing, succeeding, or staying (a browser).
    qtest::CTempDir dir;
    const std::string strOldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (dir.GetPath() + ":" + strOldPath).c_str(), 1);
    auto opener = [&dir](const std::string& strBody) {
        qtest::WriteFile(dir.File("xdg-open"), "#!/bin/sh\n" + strBody + "\n");
        ::chmod(dir.File("xdg-open").c_str(), 0755);
    };
    opener("exit 3"); // no browser set up
    EXPECT_EQ(ShellOpen("http://a.example/"), kShellOpenNoBrowser);
    opener("exit 0");
    EXPECT_EQ(ShellOpen("http://a.example/"), kShellOpenOk);
    // Its output away from the test's, which the test runner reads to the end;
    // ended with the test.
    opener("echo $$ >" + dir.File("pid") + "; exec sleep 60 >/dev/null 2>&1");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ShellOpen("http://a.example/"), kShellOpenOk);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)); // not the browser's whole run
    ::setenv("PATH", strOldPath.c_str(), 1);
    std::string strPid;
    EXPECT_TRUE(qtest::WaitFor([&] { return !(strPid = qtest::ReadFile(dir.File("pid"))).empty(); }));
    if (const int nPid = std::atoi(strPid.c_str()); nPid > 0)
        ::kill(nPid, SIGKILL);
}
