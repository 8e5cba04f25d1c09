// SPDX-License-Identifier: MIT
#include "platform/FileUtil.h"
#include "platform/TextUtil.h"
#include "TestFixtures.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

TEST(TextUtil, LeadingIntegerReadsLikeAtoiWithoutOverflow)
{
    EXPECT_EQ(ParseLeadingInt("  42abc"), 42);
    EXPECT_EQ(ParseLeadingInt("-1"), -1);
    EXPECT_EQ(ParseLeadingInt("+7"), 7);
    EXPECT_EQ(ParseLeadingInt("abc"), 0);
    EXPECT_EQ(ParseLeadingInt(""), 0);
    EXPECT_EQ(ParseLeadingInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseLeadingInt("-99999999999999999999"), -2147483647 - 1);
}

TEST(TextUtil, TrimmingKeepsWhatItShould)
{
    EXPECT_EQ(TrimTrailingWhiteSpace("  a b \t\r\n\v\f"), "  a b");
    EXPECT_EQ(TrimWhiteSpace("  a b  "), "a b");
    EXPECT_EQ(TrimWhiteSpace("   "), "");
}

TEST(TextUtil, CaseFoldingIsAsciiOnly)
{
    EXPECT_TRUE(EqualsNoCase("Sample Engine", "sAMPLE eNGINE"));
    EXPECT_FALSE(EqualsNoCase("\xe9", "\xc9"));
    EXPECT_LT(CompareNoCase("alpha", "Beta"), 0);
    EXPECT_LT(CompareNoCase("ab", "abc"), 0);
    EXPECT_EQ(ToUpperAscii("java, applet"), "JAVA, APPLET");
}

TEST(TextUtil, Utf8CutNeverSplitsASequence)
{
    const std::string strText = "ab\xc3\xa9"; // "abé"
    EXPECT_EQ(Utf8SafeCutLength(strText, 3), 2u);
    EXPECT_EQ(Utf8SafeCutLength(strText, 4), 4u);
    // Latin-1 bytes are single characters.
    EXPECT_EQ(Utf8SafeCutLength("ab\xe9\xe9\xe9", 3), 3u);
    // A three-byte sequence cut after one or two bytes backs up to its start.
    const std::string strEuro = "x\xe2\x82\xac";
    EXPECT_EQ(Utf8SafeCutLength(strEuro, 2), 1u);
    EXPECT_EQ(Utf8SafeCutLength(strEuro, 3), 1u);
    EXPECT_EQ(Utf8SequenceLength("\xed\xa0\x80", 0), 0u); // surrogates are not UTF-8
}

TEST(FileUtil, AtomicWriteReplacesWholeFileAndLeavesNoTemporary)
{
    qtest::CTempDir dir;
    const std::string strPath = dir.File("sub/file.txt");
    EXPECT_FALSE(WriteFileAtomically(strPath, "first")); // no folder "sub" yet
    ASSERT_TRUE(WriteFileAtomically(strPath, "first", true));
    ASSERT_TRUE(WriteFileAtomically(strPath, "second"));
    EXPECT_EQ(qtest::ReadFile(strPath), "second");
    size_t nFiles = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.File("sub")))
        ++nFiles;
    EXPECT_EQ(nFiles, 1u);
    // A folder that cannot be created: false, nothing written.
    EXPECT_FALSE(WriteFileAtomically(strPath + "/below-a-file", "x", true));
}

TEST(FileUtil, XdgFoldersHonourAbsoluteValuesOnly)
{
    const char* pszHome = std::getenv("HOME");
    const std::string strHome = pszHome ? pszHome : "";
    ::setenv("XDG_DATA_HOME", "/tmp/xdg-data", 1);
    EXPECT_EQ(GetXdgDataHome(), "/tmp/xdg-data");
    ::setenv("XDG_DATA_HOME", "relative/path", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(GetXdgDataHome(), "/home/someone/.local/share");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(GetXdgConfigHome(), "/home/someone/.config");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", strHome.c_str(), 1);
}
