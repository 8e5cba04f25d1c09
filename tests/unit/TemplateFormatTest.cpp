// SPDX-License-Identifier: MIT
#include "search/TemplateFormat.h"

#include <gtest/gtest.h>

using Arg = CTemplateArg;

TEST(TemplateFormat, IntegerDirectivesTakeTheInteger)
{
    EXPECT_EQ(FormatTemplate("page=%d", {Arg::Int(7)}), "page=7");
    EXPECT_EQ(FormatTemplate("n=%05d;%x;%X;%u", {Arg::Int(42), Arg::Int(255), Arg::Int(255),
                                                 Arg::Int(3)}),
              "n=00042;ff;FF;3");
    EXPECT_EQ(FormatTemplate("%ld/%lld/%hd", {Arg::Int(1), Arg::Int(2), Arg::Int(3)}), "1/2/3");
    EXPECT_EQ(FormatTemplate("%-4d|", {Arg::Int(9)}), "9   |");
}

TEST(TemplateFormat, PercentPercentAndUnmatchedDirectivesAreCopied)
{
    EXPECT_EQ(FormatTemplate("100%% sure", {}), "100% sure");
    EXPECT_EQ(FormatTemplate("%d and %d", {Arg::Int(1)}), "1 and %d");
    EXPECT_EQ(FormatTemplate("q=%s", {Arg::Int(1)}), "q=%s");
    EXPECT_EQ(FormatTemplate("%f %e %p %n %*d", {Arg::Int(1)}), "%f %e %p %n %*d");
    EXPECT_EQ(FormatTemplate("trailing %", {Arg::Int(1)}), "trailing %");
    EXPECT_EQ(FormatTemplate("%99999d", {Arg::Int(1)}), "%99999d"); // absurd widths stay text
    EXPECT_EQ(FormatTemplate("%20", {}), "%20");
}

TEST(TemplateFormat, TextDirectiveTakesTheTextWhateverItHolds)
{
    EXPECT_EQ(FormatTemplate("q=%s&n=%d", {Arg::Text("a%d%s%%"), Arg::Int(5)}), "q=a%d%s%%&n=5");
    // Arguments are taken by kind, in order, whatever the order of the directives.
    EXPECT_EQ(FormatTemplate("n=%d&q=%s", {Arg::Text("t"), Arg::Int(5)}), "n=5&q=t");
    EXPECT_EQ(FormatTemplate("%.2s|%5s", {Arg::Text("abcdef"), Arg::Text("xy")}), "ab|   xy");
}

TEST(TemplateFormat, InsertedValuesAreNeverReadAsDirectivesInLaterPasses)
{
    CTemplateText t("host");
    t.AppendLiteral("/next?q=%s&start=%%d");
    const CTemplateText first = t.Format({Arg::Text("50%d")});
    EXPECT_EQ(first.ToString(), "host/next?q=50%d&start=%d");
    EXPECT_EQ(first.Format({Arg::Int(20)}).ToString(), "host/next?q=50%d&start=20");

    CTemplateText value;
    value.AppendLiteral("a=").AppendValue("%d").AppendLiteral("&b=%d");
    EXPECT_EQ(value.Format({Arg::Int(3)}).ToString(), "a=%d&b=3");
    EXPECT_TRUE(value.LiteralContains("%d"));
    EXPECT_FALSE(CTemplateText().AppendValue("%s").LiteralContains("%s"));
}
