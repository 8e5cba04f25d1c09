// SPDX-License-Identifier: MIT
#include "results/HitExport.h"

#include <gtest/gtest.h>

TEST(HitExport, CsvQuotesOnlyWhatNeedsItAndEndsLinesWithCrLf)
{
    EXPECT_EQ(FormatHitsCsv({}), "Description,URL,Engine\r\n");
    EXPECT_EQ(FormatHitsCsv({{"Red apple", "https://a.example/?q=1&b=2", "Mojeek"},
                             {"Apples, pears and \"plums\"", "https://b.example/", "Bing"},
                             {"two\nlines", "", "E"}}),
              "Description,URL,Engine\r\n"
              "Red apple,https://a.example/?q=1&b=2,Mojeek\r\n"
              "\"Apples, pears and \"\"plums\"\"\",https://b.example/,Bing\r\n"
              "\"two\nlines\",,E\r\n");
}

TEST(HitExport, CsvNeverHandsASpreadsheetAFormulaAndIsUtf8)
{
    EXPECT_EQ(FormatHitsCsv({{"=HYPERLINK(\"http://evil/\")", "-1", "@E"}, {"+1", "\tx", "caf\xe9"}}),
              "Description,URL,Engine\r\n"
              "\"'=HYPERLINK(\"\"http://evil/\"\")\",'-1,'@E\r\n"
              "'+1,'\tx,caf\xc3\xa9\r\n");
}

TEST(HitExport, LinesForTheClipboardKeepOneHitALine)
{
    EXPECT_EQ(FormatHitsLines({{"Red apple", "https://a.example/", "Mojeek"}, {"a\tb\r\nc", "u", "caf\xe9"}}),
              "Red apple\thttps://a.example/\tMojeek\n"
              "a b  c\tu\tcaf\xc3\xa9\n");
    EXPECT_EQ(FormatHitsLines({}), "");
}

TEST(HitExport, JsonObjectsAreWhatTheCommandLinePrints)
{
    EXPECT_EQ(HitJsonObject({"d\"", "u\\", "e\x01"}), "{\"description\":\"d\\\"\",\"url\":\"u\\\\\",\"engine\":\"e\\u0001\"}");
    EXPECT_EQ(FormatHitsJson({{"a", "b", "c"}, {"d", "e", "f"}}),
              "[\n {\"description\":\"a\",\"url\":\"b\",\"engine\":\"c\"},\n"
              " {\"description\":\"d\",\"url\":\"e\",\"engine\":\"f\"}\n]\n");
}
