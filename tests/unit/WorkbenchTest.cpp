// SPDX-License-Identifier: MIT
// The engine workbench: definitions learned from hand-written result pages of
// several shapes, the address split around the query, paging read from the
// page's next link, and the diagnosis of check-engines.

#include "engines/EngineCatalogue.h"
#include "search/QueryComposer.h"
#include "workbench/EngineCheck.h"
#include "workbench/EngineLearner.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kPageUrl = "https://www.engine.example/search?q=red+apple";

// The engine's own furniture around the results: navigation, settings and
// related searches (links of its own site, some with the query's words).
std::string Furniture(const std::string& strResults)
{
    return "<html><head><title>red apple - Engine</title></head><body>"
           "<div class=\"nav\"><a class=\"tab\" href=\"/search?q=red+apple&t=images\">Images</a>"
           "<a class=\"tab\" href=\"/search?q=red+apple&t=news\">News</a>"
           "<a class=\"tab\" href=\"/settings\">Settings</a></div>" +
           strResults +
           "<div class=\"related\"><a class=\"rel\" href=\"/search?q=red+apple+pie\">red apple pie</a>"
           "<a class=\"rel\" href=\"/search?q=red+apple+tree\">red apple tree</a>"
           "<a class=\"rel\" href=\"/search?q=red+apple+cider\">red apple cider</a></div></body></html>";
}

std::vector<std::string> Sites()
{
    return {"https://orchard.example/red", "https://fruit.example/apples/red", "https://recipes.example/apple",
            "https://wiki.example/Red_apple", "https://garden.example/trees"};
}

struct CShape
{
    const char* m_pszName;
    std::string m_strPage;
};

std::vector<CShape> Shapes()
{
    std::vector<CShape> shapes;
    const std::vector<std::string> sites = Sites();
    auto each = [&sites](const std::function<std::string(const std::string&, int)>& f) {
        std::string out;
        for (size_t i = 0; i < sites.size(); ++i)
            out += f(sites[i], static_cast<int>(i));
        return out;
    };
    shapes.push_back({"a list with snippets", Furniture("<ol>" + each([](const std::string& url, int i) {
        return "<li class=\"result\"><h3><a href=\"" + url + "\">Red apple " + std::to_string(i) +
               "</a></h3><p class=\"snippet\">All about red apples, part " + std::to_string(i) + ".</p></li>";
    }) + "</ol>")});
    shapes.push_back({"the title attribute before href", Furniture(each([](const std::string& url, int i) {
        return "<div class=\"r\"><a class=\"title\" title=\"" + url + "\" href=\"" + url + "\">Apples, red " +
               std::to_string(i) + "</a></div>";
    }))});
    shapes.push_back({"single quotes", Furniture(each([](const std::string& url, int i) {
        return "<div class='r'><a class='res' href='" + url + "'>The red apple " + std::to_string(i) + "</a></div>";
    }))});
    shapes.push_back({"redirect links", Furniture(each([](const std::string& url, int i) {
        std::string strEncoded;
        for (const char c : url)
            strEncoded += c == ':' ? "%3A" : c == '/' ? "%2F" : std::string(1, c);
        return "<div class=\"g\"><a class=\"l\" href=\"/url?q=" + strEncoded + "&amp;sa=U\">Red apple " +
               std::to_string(i) + "</a></div>";
    }))});
    shapes.push_back({"a sponsored block first",
                      Furniture("<div class=\"ads\"><a class=\"ad\" href=\"https://shop.example/buy\">Buy red apples</a>"
                                "<a class=\"ad\" href=\"https://market.example/apples\">Red apples cheap</a></div>" +
                                each([](const std::string& url, int i) {
                                    return "<div class=\"res\"><a class=\"link\" href=\"" + url + "\">Red apple facts " +
                                           std::to_string(i) + "</a></div>";
                                }))});
    shapes.push_back({"a results table", Furniture("<table>" + each([](const std::string& url, int i) {
        return "<tr><td class=\"n\">" + std::to_string(i + 1) + ".</td><td><a rel=\"nofollow\" href=\"" + url +
               "\" class=\"result-link\">Red apple " + std::to_string(i) +
               "</a></td></tr><tr><td></td><td class=\"snippet\">About apples.</td></tr>";
    }) + "</table>")});
    shapes.push_back({"a title over several tags", Furniture(each([](const std::string& url, int i) {
        return "<article><a class=\"hit\" href=\"" + url + "\"><span>Red</span> <b>apple</b> <i>facts</i> " +
               std::to_string(i) + "</a><p>more</p></article>";
    }))});
    return shapes;
}

} // namespace

TEST(LearnTokens, FindTheResultsOfPagesOfManyShapes)
{
    CSearchEngine engine;
    ASSERT_TRUE(SplitAddressAroundQuery(kPageUrl, "red apple", engine));
    for (const CShape& shape : Shapes()) {
        SCOPED_TRACE(shape.m_pszName);
        CTokenProposal proposal;
        std::string strWhy;
        ASSERT_TRUE(LearnTokens(shape.m_strPage, kPageUrl, engine, "red apple", proposal, &strWhy)) << strWhy;
        std::vector<std::string> urls;
        for (const CSearchHit& hit : proposal.m_hits) {
            urls.push_back(hit.m_strUrl);
            EXPECT_NE(hit.m_strDescription.find("pple"), std::string::npos) << hit.m_strDescription;
            EXPECT_EQ(hit.m_strDescription.find('<'), std::string::npos) << hit.m_strDescription;
        }
        EXPECT_EQ(urls, Sites()) << proposal.m_strStartToken;
    }
}

TEST(LearnTokens, GeneratedClassNamesBecomeWildcards)
{
    std::string strResults;
    for (const std::string& strUrl : Sites())
        strResults += "<div class=\"result-content svelte-1rq4ngz\"><a href=\"" + strUrl +
                      "\">Red apple</a></div><a href=\"/more?q=red+apple\">More like this</a>";
    CSearchEngine engine;
    ASSERT_TRUE(SplitAddressAroundQuery(kPageUrl, "red apple", engine));
    CTokenProposal proposal;
    ASSERT_TRUE(LearnTokens(Furniture(strResults), kPageUrl, engine, "red apple", proposal, nullptr));
    EXPECT_EQ(proposal.m_strStartToken, "<div class=\"result-content {*}\"><a href=\"");
    EXPECT_EQ(proposal.m_hits.size(), 5u);
}

TEST(LearnTokens, APageWithoutAListOfResultsProposesNothing)
{
    CSearchEngine engine;
    ASSERT_TRUE(SplitAddressAroundQuery(kPageUrl, "red apple", engine));
    CTokenProposal proposal;
    std::string strWhy;
    EXPECT_FALSE(LearnTokens(Furniture("<p>No results for red apple.</p>"), kPageUrl, engine, "red apple", proposal,
                             &strWhy));
    EXPECT_FALSE(strWhy.empty());
}

TEST(SplitAddressAroundQuery, TheFirstPageIsTheAddressGiven)
{
    struct CCase
    {
        const char* m_pszAddress;
        const char* m_pszUrl;
        const char* m_pszPrefix;
        const char* m_pszSuffix;
    };
    for (const CCase& c : {
             CCase{"https://e.example/search?q=red+apple", "https://e.example/search", "?q=", ""},
             CCase{"https://e.example/search?q=red+apple&source=web", "https://e.example/search", "?q=", "&source=web"},
             CCase{"https://e.example/s?method=index&q=red%20apple#top", "https://e.example/s", "?method=index&q=", ""},
             CCase{"https://e.example/search/red+apple/all", "https://e.example/search", "/", "/all"},
         }) {
        SCOPED_TRACE(c.m_pszAddress);
        CSearchEngine engine;
        ASSERT_TRUE(SplitAddressAroundQuery(c.m_pszAddress, "red apple", engine));
        EXPECT_EQ(engine.m_strUrl, c.m_pszUrl);
        EXPECT_EQ(engine.m_strPrefix, c.m_pszPrefix);
        EXPECT_EQ(engine.m_strSuffix, c.m_pszSuffix);
    }
    CSearchEngine engine;
    EXPECT_FALSE(SplitAddressAroundQuery("https://e.example/search?q=green+pear", "red apple", engine));
    EXPECT_FALSE(SplitAddressAroundQuery("red+apple", "red apple", engine));
    // As the program composes it again.
    ASSERT_TRUE(SplitAddressAroundQuery("https://e.example/search?q=red+apple&fr=x%20y", "red apple", engine));
    engine.m_strName = "E";
    engine.m_strStartToken = "s";
    engine.m_strEndToken = "e";
    LearnPaging("", "red apple", 10, engine);
    EXPECT_EQ(BuildFirstPageAddress(engine, ComposeQueryTerm("red apple", kOptionAllWords), 20),
              "https://e.example/search?q=red+apple&fr=x%20y");
}

TEST(LearnPaging, TheNextLinkDecidesTheType)
{
    auto learn = [](const std::string& strNextLink, int nHits) {
        CSearchEngine engine;
        EXPECT_TRUE(SplitAddressAroundQuery("https://e.example/search?q=red+apple", "red apple", engine));
        LearnPaging("<p><a href=\"" + strNextLink + "\">Next</a><a href=\"/search?q=other&first=7\">x</a></p>",
                    "red apple", nHits, engine);
        return engine;
    };
    CSearchEngine fromOne = learn("/search?q=red+apple&amp;first=11&amp;FORM=PERE", 10);
    EXPECT_EQ(fromOne.m_nSearchType, SinglePage);
    EXPECT_EQ(fromOne.m_strNextPage, "?q=%s&first=%d&FORM=PERE");
    EXPECT_EQ(BuildNextPageAddress(fromOne, "red+apple", 10, "e.example"),
              "https://e.example/search?q=red+apple&first=11&FORM=PERE");

    CSearchEngine fromZero = learn("https://e.example/search?q=red+apple&s=10", 10);
    EXPECT_EQ(fromZero.m_nSearchType, StartNumber);
    EXPECT_EQ(fromZero.m_strSuffix, "&s=%d");
    EXPECT_EQ(BuildNextPageAddress(fromZero, "red+apple", 10, "e.example"), "https://e.example/search?q=red+apple&s=10");

    // Page numbers, from 1 or from 0.
    const CSearchEngine fromPageOne = learn("/search?q=red+apple&page=2", 10);
    EXPECT_EQ(fromPageOne.m_nSearchType, PagesFromOne);
    EXPECT_EQ(BuildNextPageAddress(fromPageOne, "red+apple", 10, "e.example", 1), "https://e.example/search?q=red+apple&page=2");
    const CSearchEngine fromPageZero = learn("/search?q=red%20apple&amp;offset=1&amp;spellcheck=0", 10);
    EXPECT_EQ(fromPageZero.m_nSearchType, PagesFromZero);
    EXPECT_EQ(fromPageZero.m_strNextPage, "?q=%s&offset=%d&spellcheck=0");
    EXPECT_EQ(learn("/elsewhere?q=red+apple&first=11", 10).m_nSearchType, ResultCount);
    EXPECT_EQ(learn("/search?q=red+apple&n=3", 10).m_nSearchType, ResultCount); // neither a page nor a count
}

TEST(DiagnoseEngine, SaysWhatDidNotMatch)
{
    CSearchEngine engine;
    engine.m_strName = "E";
    engine.m_strUrl = "https://www.engine.example/search";
    engine.m_strPrefix = "?q=";
    engine.m_nSearchType = ResultCount;
    engine.m_strStartToken = "<h3><a href=\"";
    engine.m_strEndToken = "</a>";
    CPageAnswer answer;
    answer.m_strAddress = answer.m_strUrl = kPageUrl;
    answer.m_nStatus = 200;
    answer.m_strText = Shapes()[0].m_strPage;
    CEngineCheck check = DiagnoseEngine(engine, "red apple", answer);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::Ok);
    EXPECT_EQ(check.m_strDetail, "5 hits");
    EXPECT_EQ(check.m_nStartTokens, 5u);
    CSearchEngine wild = engine;
    wild.m_strStartToken = "<h3{*}><a href=\"";
    EXPECT_EQ(DiagnoseEngine(wild, "red apple", answer).m_nStartTokens, 5u); // counted as matched

    // Links that are no results after every start token.
    CPageAnswer scripts = answer;
    scripts.m_strText = "<h3><a href=\"javascript:go(1)\">x</a><h3><a href=\"javascript:go(2)\">y</a>";
    check = DiagnoseEngine(engine, "red apple", scripts);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::NoHits);
    EXPECT_EQ(check.m_strDetail, "start token found 2 times, but no link after it is a result");

    engine.m_strStartToken = "<h4><a href=\"";
    EXPECT_EQ(DiagnoseEngine(engine, "red apple", answer).m_strDetail, "start token not on the page");
    CSearchEngine empty = engine;
    empty.m_strStartToken.clear();
    EXPECT_EQ(DiagnoseEngine(empty, "red apple", answer).m_strDetail, "the start token is empty");

    answer.m_strText = "<html><form id=\"challenge-form\">Please confirm you are human</form></html>";
    check = DiagnoseEngine(engine, "red apple", answer);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::Refused);
    EXPECT_EQ(check.m_strDetail, "the page is a bot check");

    answer.m_nStatus = 403;
    answer.m_strReason = "Forbidden";
    EXPECT_EQ(DiagnoseEngine(engine, "red apple", answer).m_strDetail, "HTTP 403 Forbidden");
    answer.m_nStatus = 0;
    answer.m_strError = "Could not connect";
    check = DiagnoseEngine(engine, "red apple", answer);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::Failed);
    EXPECT_EQ(check.m_strDetail, "Could not connect");
}
