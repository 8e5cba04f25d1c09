// SPDX-License-Identifier: MIT
#include "results/HitExport.h"
#include "results/ListOrder.h"
#include "results/RankOrder.h"
#include "results/ResultRows.h"
#include "search/extract/HitExtraction.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using EngineList = std::pair<std::string, std::vector<std::string>>; // engine, its URLs in its order

// The rows a search makes of the engines' lists, engine after engine, with
// duplicates removed as the search removes them.
void ListAsTheSearchDoes(CResultRows& rows, const std::vector<EngineList>& engines, bool bRemoveDups = true)
{
    for (const auto& [strEngine, urls] : engines)
        for (size_t i = 0; i < urls.size(); ++i) {
            const int nPosition = static_cast<int>(i) + 1;
            if (bRemoveDups && rows.ContainsUrl(urls[i]))
                rows.NoteDuplicate(urls[i], strEngine, nPosition);
            else
                rows.AppendHit({"text", urls[i], strEngine}, bRemoveDups, nullptr, nPosition);
        }
}

std::vector<std::string> RankedUrls(const std::vector<EngineList>& engines)
{
    CResultRows rows;
    ListAsTheSearchDoes(rows, engines);
    const std::vector<CSearchHit> hits = rows.GetRows();
    std::vector<std::string> urls;
    for (const int nRow : OrderByRank(rows.GetFoundBy()))
        urls.push_back(hits[static_cast<size_t>(nRow)].m_strUrl);
    return urls;
}

} // namespace

// The rule as data: lists of per-engine results in, the order out.
TEST(RankOrder, AgreementBetweenEnginesCountsAndTiesKeepEngineOrder)
{
    struct CCase
    {
        const char* m_pszName;
        std::vector<EngineList> m_engines;
        std::vector<std::string> m_expected;
    };
    const CCase cases[] = {
        {"one engine keeps its order", {{"A", {"a", "b", "c"}}}, {"a", "b", "c"}},
        // Equal scores (each engine's first is 1): engine order.
        {"firsts of each engine, then seconds", {{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}}, {"a1", "b1", "a2", "b2"}},
        // x: 2 x (1/3 + 1/3) = 1.33 beats the firsts (1).
        {"what two engines listed third beats a first", {{"A", {"a1", "a2", "x"}}, {"B", {"b1", "b2", "x"}}},
         {"x", "a1", "b1", "a2", "b2"}},
        // y: 2 x (1/5 + 1/5) = 0.8 stays below the firsts, above the seconds (0.5).
        {"agreement low in both lists", {{"A", {"a1", "a2", "a3", "a4", "y"}}, {"B", {"b1", "b2", "b3", "b4", "y"}}},
         {"a1", "b1", "y", "a2", "b2", "a3", "b3", "a4", "b4"}},
        // z: 3 x (1 + 1/2 + 1/4); the engine's duplicate of its own hit counts once, at its first place.
        {"three engines, one repeating itself", {{"A", {"z", "z", "a"}}, {"B", {"b", "z"}}, {"C", {"c", "d", "e", "z"}}},
         {"z", "b", "c", "d", "a", "e"}}, // a (1/3) ties with e and comes first, as listed
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.m_pszName);
        EXPECT_EQ(RankedUrls(c.m_engines), c.m_expected);
    }
}

TEST(RankOrder, FoundByFollowsPositionsCountedBeforeTheDuplicateTest)
{
    CResultRows rows;
    ListAsTheSearchDoes(rows, {{"Bing", {"u", "v"}}, {"Mojeek", {"w", "u"}}, {"Brave", {"p", "q", "r", "s", "u"}}});
    const std::vector<std::vector<CFoundBy>> foundBy = rows.GetFoundBy();
    ASSERT_EQ(rows.GetRowCount(), 7);
    EXPECT_EQ(foundBy[0], (std::vector<CFoundBy>{{"Bing", 1}, {"Mojeek", 2}, {"Brave", 5}}));
    EXPECT_EQ(DescribeFoundBy(foundBy[0]), "Bing 1, Mojeek 2, Brave 5");
    EXPECT_EQ(rows.GetRows()[0].m_strEngine, "Bing"); // the row itself stays the first engine's
    EXPECT_DOUBLE_EQ(RankScore(foundBy[0]), 3 * (1 + 0.5 + 0.2));

    // Duplicates kept: each row has its own engine only.
    CResultRows kept;
    ListAsTheSearchDoes(kept, {{"A", {"u"}}, {"B", {"u"}}}, false);
    EXPECT_EQ(kept.GetFoundBy(), (std::vector<std::vector<CFoundBy>>{{{"A", 1}}, {{"B", 1}}}));

    // Rows without positions (an opened document's): each found by its engine at
    // its place among that engine's rows.
    CResultRows opened;
    for (const CSearchHit& hit : std::vector<CSearchHit>{{"", "a", "A"}, {"", "b", "A"}, {"", "c", "B"}, {"", "d", "A"}})
        opened.AppendHit(hit);
    EXPECT_EQ(opened.GetFoundBy(),
              (std::vector<std::vector<CFoundBy>>{{{"A", 1}}, {{"A", 2}}, {{"B", 1}}, {{"A", 3}}}));

    // A deleted row takes its engines with it; a duplicate of a URL no longer
    // listed adds nothing and no row.
    CResultRows changed;
    ListAsTheSearchDoes(changed, {{"A", {"x", "y"}}, {"B", {"y"}}});
    ASSERT_TRUE(changed.DeleteRow(1));
    changed.NoteDuplicate("y", "C", 1);
    EXPECT_EQ(changed.GetRowCount(), 1);
    EXPECT_EQ(changed.GetFoundBy(), (std::vector<std::vector<CFoundBy>>{{{"A", 1}}}));
}

TEST(RankOrder, ExtractionCountsPositionsOverPagesAndJsonNamesTheFinders)
{
    const char* kStart = "<a href=\"";
    const char* kEnd = "</a>";
    CResultRows rows;
    // A's second page: positions go on from its first (two hits, one a duplicate of its own).
    ExtractPageHits("<a href=\"http://x/1\">1</a><a href=\"http://x/1\">1</a>", rows, kStart, kEnd, "A", true,
                    nullptr, nullptr, kMaxRowsPerPage, 0);
    ExtractPageHits("<a href=\"http://x/2\">2</a>", rows, kStart, kEnd, "A", true, nullptr, nullptr, kMaxRowsPerPage, 2);
    ExtractPageHits("<a href=\"http://x/3\">3</a><a href=\"http://x/2\">2</a>", rows, kStart, kEnd, "B", true,
                    nullptr, nullptr, kMaxRowsPerPage, 0);
    const std::vector<std::vector<CFoundBy>> foundBy = rows.GetFoundBy();
    ASSERT_EQ(foundBy.size(), 3u);
    EXPECT_EQ(foundBy[0], (std::vector<CFoundBy>{{"A", 1}}));
    EXPECT_EQ(foundBy[1], (std::vector<CFoundBy>{{"A", 3}, {"B", 2}}));
    EXPECT_EQ(foundBy[2], (std::vector<CFoundBy>{{"B", 1}}));

    const std::string strJson = FormatHitsJson(rows.GetRows(), &foundBy);
    EXPECT_NE(strJson.find("\"url\":\"http://x/2\",\"engine\":\"A\",\"found_by\":[{\"engine\":\"A\",\"position\":3},"
                           "{\"engine\":\"B\",\"position\":2}]}"),
              std::string::npos)
        << strJson;
    EXPECT_EQ(FormatHitsJson(rows.GetRows()).find("found_by"), std::string::npos); // the first release's form
}

TEST(ListOrder, AHeaderSortsThenReversesThenGivesBackTheSearchsOrder)
{
    const std::vector<CSearchHit> hits = {{"beta", "http://b/", "Y"}, {"Alpha", "http://c/", "X"},
                                          {"alpha", "http://a/", "Z"}, {"Gamma", "http://d/", "X"}};
    const std::vector<std::vector<CFoundBy>> foundBy = {
        {{"Y", 2}}, {{"X", 1}, {"Y", 1}}, {{"Z", 1}}, {{"X", 1}, {"Y", 1}, {"Z", 1}}};
    CListOrder order;
    EXPECT_TRUE(order.IsIdentity());
    EXPECT_EQ(ShownOrder(hits, foundBy, order), (std::vector<int>{0, 1, 2, 3}));
    order.ClickColumn(0); // Description, ignoring case; "Alpha" and "alpha" keep their order
    EXPECT_EQ(ShownOrder(hits, foundBy, order), (std::vector<int>{1, 2, 0, 3}));
    order.ClickColumn(0);
    EXPECT_FALSE(order.m_bAscending);
    EXPECT_EQ(ShownOrder(hits, foundBy, order), (std::vector<int>{3, 0, 1, 2}));
    order.ClickColumn(0);
    EXPECT_TRUE(order.IsIdentity());
    order.ClickColumn(kFoundByColumn); // the most engines first, ties in the search's order
    EXPECT_FALSE(order.m_bAscending);
    EXPECT_EQ(ShownOrder(hits, foundBy, order), (std::vector<int>{3, 1, 0, 2}));
    order.ClickColumn(kFoundByColumn);
    EXPECT_EQ(ShownOrder(hits, foundBy, order), (std::vector<int>{0, 2, 1, 3}));
    order.ClickColumn(1); // another column starts ascending
    EXPECT_EQ(order.m_nSortColumn, 1);
    EXPECT_TRUE(order.m_bAscending);
    EXPECT_EQ(ShownOrder(hits, foundBy, order), (std::vector<int>{2, 0, 1, 3}));

    // Numbers inside texts by value.
    const std::vector<CSearchHit> numbered = {{"Result 10", "", ""}, {"result 2", "", ""}, {"Result 02b", "", ""},
                                              {"Result 1", "", ""}, {"Result", "", ""}};
    CListOrder byText;
    byText.ClickColumn(0);
    EXPECT_EQ(ShownOrder(numbered, {}, byText), (std::vector<int>{4, 3, 1, 2, 0}));

    // The search's order by rank underneath: ties of a sort keep the rank.
    CListOrder ranked;
    ranked.m_bRank = true;
    EXPECT_EQ(ShownOrder(hits, foundBy, ranked), (std::vector<int>{3, 1, 2, 0}));
    ranked.ClickColumn(2); // Engine: X, X, Y, Z
    EXPECT_EQ(ShownOrder(hits, foundBy, ranked), (std::vector<int>{3, 1, 0, 2}));
}
