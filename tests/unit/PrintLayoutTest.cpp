// SPDX-License-Identifier: MIT
#include "results/PrintLayout.h"

#include "platform/TextUtil.h"

#include <gtest/gtest.h>

namespace {

// One unit a byte; bold text twice as wide, so the runs' places show it.
int Measure(std::string_view text, bool bBold)
{
    return static_cast<int>(text.size()) * (bBold ? 2 : 1);
}

std::vector<std::string> Texts(const std::vector<CPrintLine>& lines)
{
    std::vector<std::string> texts;
    for (const CPrintLine& line : lines) {
        std::string strLine;
        for (const CPrintRun& run : line) {
            strLine.resize(static_cast<size_t>(run.m_nX), ' ');
            strLine += run.m_bBold ? "*" + run.m_strText + "*" : run.m_strText;
        }
        texts.push_back(strLine);
    }
    return texts;
}

int LineWidth(const CPrintLine& line)
{
    return line.empty() ? 0 : line.back().m_nX + Measure(line.back().m_strText, line.back().m_bBold);
}

} // namespace

TEST(PrintLayout, WordsWrapAtTheColumnsWidthWithTheQueryInBold)
{
    CHighlightWords words;
    words.SetText("apple");
    // "red " then the bold word (10 units) fits 14; "pie" goes on.
    const auto lines = WrapPrintCell("red apple pie, apples", words, 14, 0, Measure);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (CPrintLine{{"red", false, 0}, {"apple", true, 4}}));
    EXPECT_EQ(Texts(lines)[1], "pie, apples");
    // Each run carries its laid-out width: the printer keeps the gaps after
    // a bold word however wide it comes out drawn.
    for (const CPrintLine& line : lines) {
        EXPECT_LE(LineWidth(line), 14);
        for (const CPrintRun& run : line)
            EXPECT_EQ(run.m_nWidth, Measure(run.m_strText, run.m_bBold)) << run.m_strText;
    }
    EXPECT_TRUE(WrapPrintCell("", words, 14, 0, Measure).empty());
}

TEST(PrintLayout, AnAddressWiderThanTheColumnIsCutAfterItsSeparators)
{
    const auto lines = WrapPrintCell("see https://shop.example/apples/red?page=2 now", CHighlightWords(), 12, 0, Measure);
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{"see", "https://", "shop.", "example/", "apples/red?", "page=2 now"}));
    // Without a separator near the end of a line, between characters.
    EXPECT_EQ(Texts(WrapPrintCell("a.bcdefghijklmn", CHighlightWords(), 9, 0, Measure)),
              (std::vector<std::string>{"a.bcdefgh", "ijklmn"}));
    // A character of several bytes stays whole.
    const auto accented = WrapPrintCell("caf\xc3\xa9s", CHighlightWords(), 4, 0, Measure);
    EXPECT_EQ(Texts(accented), (std::vector<std::string>{"caf", "\xc3\xa9s"}));
    // A column narrower than one character still takes one a line.
    EXPECT_EQ(Texts(WrapPrintCell("abc", CHighlightWords(), 0, 0, Measure)), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(PrintLayout, ACellBeyondItsLinesEndsWithAnEllipsis)
{
    CHighlightWords words;
    words.SetText("orchard");
    // "the " and the bold word: 18 units; the next line keeps its bold word and the ellipsis.
    const auto lines = WrapPrintCell("the orchard orchard orchard orchard of red apples", words, 18, 2, Measure);
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{"the *orchard*", "*orchard*     ..."}));
    EXPECT_LE(LineWidth(lines[1]), 18);
    // A line with no room for the ellipsis gives up its end for it.
    const auto cut = WrapPrintCell("abcdefghij klmnopqrst uvwxyz", CHighlightWords(), 10, 2, Measure);
    EXPECT_EQ(Texts(cut), (std::vector<std::string>{"abcdefghij", "klmnopq..."}));
    // What fits exactly needs no ellipsis.
    EXPECT_EQ(Texts(WrapPrintCell("one two", CHighlightWords(), 3, 2, Measure)), (std::vector<std::string>{"one", "two"}));
}

// A cell of a megabyte (one word, or many) is wrapped only as far as its
// lines go: the work stops one line past them.
TEST(PrintLayout, AHugeCellIsWrappedOnlyAsFarAsItsLines)
{
    for (const std::string& strText : {std::string(1000000, 'x'), [] {
             std::string s;
             while (s.size() < 1000000)
                 s += "apple xx ";
             return s;
         }()}) {
        size_t nMeasured = 0;
        const PrintMeasure counting = [&nMeasured](std::string_view text, bool bBold) {
            nMeasured += text.size();
            return Measure(text, bBold);
        };
        const auto lines = WrapPrintCell(strText, CHighlightWords(), 40, 8, counting);
        ASSERT_EQ(lines.size(), 8u);
        EXPECT_EQ(lines.back().back().m_strText, "...");
        EXPECT_LT(nMeasured, 100000u) << "bytes measured for a cell of 8 lines of 40";
    }
}

TEST(PrintLayout, RowsAreSharedOutOverPagesWhole)
{
    using Pages = std::vector<std::pair<size_t, size_t>>;
    EXPECT_EQ(PaginatePrintRows({3, 3, 3, 3}, 7), (Pages{{0, 2}, {2, 4}}));
    EXPECT_EQ(PaginatePrintRows({3, 4, 3}, 7), (Pages{{0, 2}, {2, 3}}));
    EXPECT_EQ(PaginatePrintRows({10, 2, 2}, 5), (Pages{{0, 1}, {1, 3}})); // too high: a page of its own
    EXPECT_EQ(PaginatePrintRows({}, 5), (Pages{{0, 0}}));                 // an empty list: one page
}

// Whatever bytes a page gave, the lines hold the cell's text in order (blanks
// aside), stay inside the width but for a lone character, and never cut a
// UTF-8 sequence.
TEST(PrintLayout, AnyTextWrapsWithoutLosingOrBreakingCharacters)
{
    unsigned nSeed = 12345;
    auto next = [&nSeed] {
        nSeed = nSeed * 1103515245u + 12345u;
        return (nSeed >> 16) & 0x7FFF;
    };
    const char* const pieces[] = {"a", "b", " ", "  ", "\xc3\xa9", "\xe2\x82\xac", "/", "apple", "\xff", "\x80"};
    CHighlightWords words;
    words.SetText("apple b");
    for (int nCase = 0; nCase < 300; ++nCase) {
        std::string strText;
        for (unsigned n = next() % 40; n > 0; --n)
            strText += pieces[next() % std::size(pieces)];
        const int nWidth = 1 + static_cast<int>(next() % 12);
        const auto lines = WrapPrintCell(strText, words, nWidth, 0, Measure);
        std::string strIn, strOut;
        for (const char c : strText)
            if (c != ' ')
                strIn += c;
        for (const CPrintLine& line : lines) {
            if (line.empty()) {
                ADD_FAILURE() << "an empty line: " << strText;
                continue;
            }
            for (const CPrintRun& run : line) {
                strOut += run.m_strText;
                EXPECT_FALSE(!run.m_strText.empty() && (static_cast<unsigned char>(run.m_strText[0]) & 0xC0) == 0x80 &&
                             static_cast<unsigned char>(run.m_strText[0]) != 0x80)
                    << "a run starts inside a character: " << strText;
            }
            const std::string& strFirst = line.front().m_strText;
            const bool bLoneCharacter = line.size() == 1 && (strFirst.size() == 1 || Utf8SequenceLength(strFirst, 0) == strFirst.size());
            EXPECT_TRUE(LineWidth(line) <= nWidth || bLoneCharacter) << strText << " at " << nWidth;
        }
        EXPECT_EQ(strOut, strIn) << nWidth;
    }
}
