// SPDX-License-Identifier: MIT
#include "search/QueryComposer.h"
#include "search/SearchSettings.h"
#include "search/SearchJob.h"

#include <gtest/gtest.h>

namespace {

CSearchEngine Engine(int nType, std::string strUrl, std::string strPrefix, std::string strSuffix,
                     std::string strNext = "")
{
    CSearchEngine engine;
    engine.m_strName = "E";
    engine.m_nSearchType = nType;
    engine.m_strUrl = std::move(strUrl);
    engine.m_strPrefix = std::move(strPrefix);
    engine.m_strSuffix = std::move(strSuffix);
    engine.m_strNextPage = std::move(strNext);
    return engine;
}

} // namespace

TEST(ComposeQueryTerm, EachOptionTreatsBlanksItsOwnWay)
{
    EXPECT_EQ(ComposeQueryTerm("red apple", kOptionAllWords), "red+apple");
    EXPECT_EQ(ComposeQueryTerm("red apple", kOptionAnyWord), "red apple");
    EXPECT_EQ(ComposeQueryTerm("red apple", kOptionPhrase), "\"red+apple\"");
    EXPECT_EQ(ComposeQueryTerm("red  apple ", kOptionAllWords), "red++apple+");
    EXPECT_EQ(ComposeQueryTerm("red apple", -1), "");
    EXPECT_EQ(ComposeQueryTerm("red apple", 3), "");
    EXPECT_EQ(ComposeQueryTerm("", kOptionAllWords), "");
}

TEST(ComposeQueryTerm, CharactersThatChangeAnAddressAreEncodedBeforeTheBlankRule)
{
    EXPECT_EQ(ComposeQueryTerm("C++ tutorial", kOptionAllWords), "C%2B%2B+tutorial");
    EXPECT_EQ(ComposeQueryTerm("AT&T", kOptionAllWords), "AT%26T");
    EXPECT_EQ(ComposeQueryTerm("C++ tutorial", kOptionAnyWord), "C%2B%2B tutorial");
    EXPECT_EQ(ComposeQueryTerm("100% a=b?c;d#e", kOptionPhrase), "\"100%25+a%3Db%3Fc%3Bd%23e\"");
    // Everything else stays as typed.
    EXPECT_EQ(ComposeQueryTerm("caf\xc3\xa9 \"x\" <b>", kOptionAnyWord), "caf\xc3\xa9 \"x\" <b>");
}

TEST(FirstPageAddress, FormattedByTheSearchType)
{
    const std::string strTerm = "red+apple";
    EXPECT_EQ(BuildFirstPageAddress(Engine(MultiplePages, "http://h/s", "?p=%d&q=", ""), strTerm, 20),
              "http://h/s?p=1&q=red+apple");
    EXPECT_EQ(BuildFirstPageAddress(Engine(ResultCount, "http://h/s", "?q=", "&n=%d"), strTerm, 2048),
              "http://h/s?q=red+apple&n=2048");
    EXPECT_EQ(BuildFirstPageAddress(Engine(StartNumber, "http://h/s", "?q=", "&start=%d"), strTerm, 20),
              "http://h/s?q=red+apple&start=0");
    // SinglePage (and unknown types) are not formatted: %% stays two characters.
    EXPECT_EQ(BuildFirstPageAddress(Engine(SinglePage, "http://h/s", "?q=", "&x=100%%"), strTerm, 20),
              "http://h/s?q=red+apple&x=100%%");
    EXPECT_EQ(BuildFirstPageAddress(Engine(9, "http://h/s", "?q=", "%d"), strTerm, 20),
              "http://h/s?q=red+apple%d");
    // An empty query leaves URL + prefix + suffix.
    EXPECT_EQ(BuildFirstPageAddress(Engine(ResultCount, "http://h/s", "?q=", "&n=%d"), "", 10),
              "http://h/s?q=&n=10");
}

TEST(FirstPageAddress, QueryTermIsInsertedLiterally)
{
    const std::string strTerm = ComposeQueryTerm("50%d %s", kOptionAnyWord);
    EXPECT_EQ(BuildFirstPageAddress(Engine(ResultCount, "http://h/", "?q=", "&n=%d"), strTerm, 5),
              "http://h/?q=50%25d %25s&n=5");
    // Even a term that was not composed here is never read as a directive.
    EXPECT_EQ(BuildFirstPageAddress(Engine(ResultCount, "http://h/", "?q=", "&n=%d"), "%s%d%n", 5),
              "http://h/?q=%s%d%n&n=5");
}

TEST(NextPageAddress, MultiplePagesIsHostPlusCommandWithTermThenCount)
{
    const CSearchEngine engine = Engine(MultiplePages, "http://h/s", "?q=", "", "/next?q=%s&after=%d");
    EXPECT_EQ(BuildNextPageAddress(engine, "red+apple", 8, "h.example"),
              "h.example/next?q=red+apple&after=8");
    // A command written for two passes (%%d) gives the same address.
    const CSearchEngine twoPass = Engine(MultiplePages, "", "", "", "/next?q=%s&after=%%d");
    EXPECT_EQ(BuildNextPageAddress(twoPass, "t", 16, "h"), "h/next?q=t&after=16");
    // Without %s only the count is formatted.
    const CSearchEngine countOnly = Engine(MultiplePages, "", "", "", "/p%d.html");
    EXPECT_EQ(BuildNextPageAddress(countOnly, "t", 3, "h"), "h/p3.html");
    // A term holding directives stays as it is through both passes.
    EXPECT_EQ(BuildNextPageAddress(engine, "%d%s", 8, "h"), "h/next?q=%d%s&after=8");
}

TEST(NextPageAddress, StartNumberAndSinglePage)
{
    const CSearchEngine start = Engine(StartNumber, "http://h/s", "?q=", "&start=%d");
    EXPECT_EQ(BuildNextPageAddress(start, "x", 10, "h"), "http://h/s?q=x&start=10");
    EXPECT_EQ(BuildNextPageAddress(start, "x", 20, "h"), "http://h/s?q=x&start=20");

    const CSearchEngine single = Engine(SinglePage, "http://h/s", "?q=", "", "?q=%s&from=%d");
    EXPECT_EQ(BuildNextPageAddress(single, "x+y", 10, "h"), "http://h/s?q=x+y&from=11");

    const CSearchEngine other = Engine(7, "http://h/s", "?q=", "&n=%d");
    EXPECT_EQ(BuildNextPageAddress(other, "x", 10, "h"), "http://h/s?q=x&n=%d");
}

TEST(SearchSettings, OnePlaceForTheHitLimitAndTheConnectMethod)
{
    CSearchSettings settings;
    settings.m_strQuery = "red apple";
    settings.m_nSearchOption = kOptionPhrase;
    const std::vector<CSearchEngine> engines(2);
    CSearchJob job;
    for (const int nBad : {0, -1, 2049}) {
        settings.m_nHitLimit = nBad;
        EXPECT_FALSE(BuildSearchJob(settings, engines, job)) << nBad;
        EXPECT_TRUE(job.m_engines.empty()); // left alone
    }
    settings.m_bAllHits = true; // the limit field does not count then
    ASSERT_TRUE(BuildSearchJob(settings, engines, job));
    EXPECT_EQ(EngineHitLimit(job.m_settings), 2048);
    EXPECT_EQ(job.m_settings, settings);
    EXPECT_EQ(job.m_strQueryTerm, "\"red+apple\"");
    EXPECT_EQ(job.m_engines.size(), 2u);
    settings.m_bAllHits = false;
    settings.m_nHitLimit = 7;
    EXPECT_EQ(EngineHitLimit(settings), 7);

    // Connect-method codes: 1 direct, 3 proxy, anything else the system's settings.
    for (const auto& [nCode, nExpected] : std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 0}, {3, 3}, {7, 0}}) {
        settings.m_nConnectMethod = nCode;
        EXPECT_EQ(BuildSessionOptions(settings).m_nConnectMethod, nExpected) << nCode;
    }
    settings.m_nConnectMethod = kConnectProxy;
    settings.m_strProxy = "proxy.example";
    settings.m_strPort = "3128";
    EXPECT_EQ(BuildSessionOptions(settings).m_strProxy, "proxy.example:3128");
    settings.m_strPort = "";
    EXPECT_EQ(BuildSessionOptions(settings).m_strProxy, "proxy.example");
    settings.m_nTimeoutSeconds = 5;
    EXPECT_EQ(BuildSessionOptions(settings).m_nStallTimeoutMs, 5000);
    EXPECT_EQ(BuildSessionOptions(settings).m_strAgent, "Internet Questrel/2.0a");
}

TEST(QueryComposer, NumberedPagesCountFromOneOrZero)
{
    CSearchEngine engine;
    engine.m_strUrl = "https://e.example/search";
    engine.m_strPrefix = "?q=";
    engine.m_strSuffix = "&source=web";
    engine.m_strNextPage = "?q=%s&page=%d&source=web";
    engine.m_nSearchType = PagesFromOne;
    EXPECT_EQ(BuildFirstPageAddress(engine, "a%25b", 20), "https://e.example/search?q=a%25b&source=web");
    EXPECT_EQ(BuildNextPageAddress(engine, "a%25b", 10, "e.example", 1), "https://e.example/search?q=a%25b&page=2&source=web");
    EXPECT_EQ(BuildNextPageAddress(engine, "a%25b", 20, "e.example", 2), "https://e.example/search?q=a%25b&page=3&source=web");
    engine.m_nSearchType = PagesFromZero;
    engine.m_strSuffix = "&p=%d";
    EXPECT_EQ(BuildFirstPageAddress(engine, "x", 20), "https://e.example/search?q=x&p=0");
    EXPECT_EQ(BuildNextPageAddress(engine, "x", 10, "e.example", 1), "https://e.example/search?q=x&page=1&source=web");
    EXPECT_TRUE(engine.HasNextPageLine());
}
