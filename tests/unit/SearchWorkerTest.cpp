// SPDX-License-Identifier: MIT
#include "LoopbackServer.h"
#include "SampleEngines.h"
#include "TestFixtures.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "platform/ShellOpen.h"
#include "platform/WorkerThreads.h"
#include "results/ResultRows.h"
#include "results/ResultsPage.h"
#include "search/EngineOutcome.h"
#include "search/SearchJob.h"
#include "search/SearchTexts.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using qtest::CRecordedRequest;
using qtest::CReply;
using Strings = std::vector<std::string>;

namespace {

std::string HitsPage(const std::string& strTag, int nFirst, int nCount)
{
    std::string page = "<html><ul>\n";
    for (int i = nFirst; i < nFirst + nCount; ++i)
        page += "<li><a href=\"http://hits.example/" + strTag + "/" + std::to_string(i) + "\">" +
                strTag + " hit " + std::to_string(i) + "</a></li>\n";
    return page + "</ul></html>\n";
}

CSearchEngine Engine(const std::string& strName, int nType, const std::string& strUrl,
                     const std::string& strPrefix, const std::string& strSuffix = "",
                     const std::string& strNext = "")
{
    return qtest::TestEngine(strName, nType, strUrl, strPrefix, strSuffix, strNext);
}

struct CWorkerFixture : ::testing::Test
{
    qtest::CLoopbackServer server{nullptr};
    std::unique_ptr<CInternetSession> pSession;
    qtest::CRecordingHost host;
    CResultRows rows;
    qtest::CTempDir dir;
    qtest::CCurrentDirectory cwd{dir.GetPath()};
    std::vector<std::string> opened;

    CWorkerFixture()
    {
        CSessionOptions options;
        options.m_nConnectMethod = kConnectDirect;
        pSession = OpenInternetSession(options, nullptr);
        SetShellOpenHandler([this](const std::string& strTarget) {
            opened.push_back(strTarget);
            return kShellOpenOk;
        });
    }
    ~CWorkerFixture() override { SetShellOpenHandler(nullptr); }

    std::string Base() const { return server.GetBaseUrl(); }

    CSearchJob MakeJob(std::vector<CSearchEngine> engines, int nHitLimit = 20)
    {
        CSearchJob job = qtest::SearchJobFor(std::move(engines), pSession.get(), &host, &rows);
        job.m_settings.m_nHitLimit = nHitLimit;
        return job;
    }

    void Run(CSearchJob job)
    {
        SearchThreadProc(job);
    }

    int RowsOf(const std::string& strEngine) const
    {
        int n = 0;
        for (const CSearchHit& hit : rows.GetRows())
            n += hit.m_strEngine == strEngine;
        return n;
    }
};

} // namespace

TEST_F(CWorkerFixture, HitLimitIsPerEngineAndAppliedBetweenPages)
{
    // 8 hits a page: a limit of 10 takes two pages (16 rows); the next engine starts from 0.
    server.SetHandler([](const CRecordedRequest& request) {
        if (request.m_strPath == "/multi")
            return CReply::Ok(HitsPage("m" + request.Param("after"), 1, 8));
        return CReply::Ok(HitsPage("c", 1, 12));
    });
    CSearchJob job = MakeJob({Engine("Multi", MultiplePages, Base(), "/multi?p=%d&q=", "", "/multi?q=%s&after=%d"),
                              Engine("Count", ResultCount, Base(), "/count?n=%d&q=")},
                             10);
    job.m_settings.m_bOneAtATime = true; // request for request in engine order
    Run(std::move(job));
    EXPECT_EQ(RowsOf("Multi"), 16);
    EXPECT_EQ(RowsOf("Count"), 12); // one page, whatever it holds
    EXPECT_EQ(server.GetRequestLines(),
              (Strings{"GET /multi?p=1&q=red+apple HTTP/1.0", "GET /multi?q=red+apple&after=8 HTTP/1.0",
                       "GET /count?n=10&q=red+apple HTTP/1.0"}));
    EXPECT_EQ(host.GetSearchDoneCount(), 1);
    EXPECT_TRUE(host.GetMessages().empty());
}

TEST_F(CWorkerFixture, ResultCountEngineIsAskedOnceWithTheAllHitsLimit)
{
    server.SetHandler([](const CRecordedRequest&) { return CReply::Ok(HitsPage("c", 1, 30)); });
    Run(MakeJob({Engine("Count", ResultCount, Base(), "/count?n=%d&q=")}, kMaxHitLimit));
    EXPECT_EQ(server.GetRequestLines(), Strings{"GET /count?n=2048&q=red+apple HTTP/1.0"});
    EXPECT_EQ(rows.GetRowCount(), 30);
}

TEST_F(CWorkerFixture, StartNumberPagesCarryTheRunningCount)
{
    server.SetHandler([](const CRecordedRequest& request) {
        const int nStart = std::stoi(request.Param("start"));
        return CReply::Ok(HitsPage("s", nStart + 1, nStart < 20 ? 10 : 0));
    });
    Run(MakeJob({Engine("Start", StartNumber, Base(), "/s?q=", "&start=%d")}, 100));
    EXPECT_EQ(server.GetRequestLines(),
              (Strings{"GET /s?q=red+apple&start=0 HTTP/1.0", "GET /s?q=red+apple&start=10 HTTP/1.0",
                       "GET /s?q=red+apple&start=20 HTTP/1.0"}));
    EXPECT_EQ(rows.GetRowCount(), 20);
}

TEST_F(CWorkerFixture, PageOfOnlyDuplicatesEndsPaging)
{
    // The single-page engine sends the same hits whatever is asked: the second
    // page adds nothing (all duplicates) and paging ends there.
    server.SetHandler([](const CRecordedRequest&) { return CReply::Ok(HitsPage("same", 1, 5)); });
    CSearchJob job = MakeJob({Engine("Single", SinglePage, Base() + "/single", "?q=", "", "?q=%s&from=%d")}, 50);
    Run(std::move(job));
    EXPECT_EQ(server.GetRequestLines(),
              (Strings{"GET /single?q=red+apple HTTP/1.0", "GET /single?q=red+apple&from=6 HTTP/1.0"}));
    EXPECT_EQ(rows.GetRowCount(), 5);
}

TEST_F(CWorkerFixture, UnusableAddressesArePassedOverBetweenGoodEngines)
{
    server.SetHandler([](const CRecordedRequest& request) {
        return CReply::Ok(HitsPage(request.m_strPath.substr(1), 1, 3));
    });
    CSearchEngine ftp = Engine("B ftp", ResultCount, "ftp://files.example", "/x?n=%d");
    CSearchEngine broken = Engine("C broken", ResultCount, "[", "x");
    Run(MakeJob({Engine("A good", ResultCount, Base(), "/first?n=%d&q="), ftp, broken,
                 Engine("D good", ResultCount, Base(), "/last?n=%d&q=")}));
    // Side by side, the requests of the two engines may come in either order.
    Strings requests = server.GetRequestLines();
    std::sort(requests.begin(), requests.end());
    EXPECT_EQ(requests, (Strings{"GET /first?n=20&q=red+apple HTTP/1.0", "GET /last?n=20&q=red+apple HTTP/1.0"}));
    // Refused once for the ftp address; twice for the one that cannot be parsed at all.
    EXPECT_EQ(host.GetMessages(), (Strings{kMsgInvalidUrl, kMsgInvalidUrl, kMsgInvalidUrl}));
    EXPECT_EQ(RowsOf("A good"), 3);
    EXPECT_EQ(RowsOf("D good"), 3);
}

TEST_F(CWorkerFixture, InvalidEngineIsSkippedSilently)
{
    server.SetHandler([](const CRecordedRequest&) { return CReply::Ok(HitsPage("x", 1, 2)); });
    CSearchEngine invalid = Engine("Invalid", ResultCount, Base(), "/x?n=%d");
    invalid.m_bValid = false;
    Run(MakeJob({invalid}));
    EXPECT_EQ(server.GetRequestCount(), 0u);
    EXPECT_TRUE(host.GetMessages().empty());
    EXPECT_EQ(host.GetSearchDoneCount(), 1);
}

TEST_F(CWorkerFixture, ResultsPageCollectsEveryFetchedPageInOrderAndIsOpened)
{
    server.SetHandler([](const CRecordedRequest& request) {
        if (request.m_strPath == "/multi")
            return CReply::Ok(request.Param("after").empty() ? HitsPage("page1", 1, 2)
                                                             : HitsPage("page2", 1, 0));
        return CReply::Ok(HitsPage("other", 1, 1));
    });
    qtest::WriteFile(dir.File("questrel.htm"), "old search");
    CSearchJob job = MakeJob({Engine("Multi", MultiplePages, Base(), "/multi?p=%d&q=", "", "/multi?q=%s&after=%d"),
                              Engine("Other", ResultCount, Base(), "/other?n=%d")});
    job.m_settings.m_bShowResultsPage = true;
    Run(std::move(job));
    const std::string strSeparator = std::string(63, '-') + "\n";
    EXPECT_EQ(qtest::ReadFile(dir.File("questrel.htm")),
              kResultsPageHead + strSeparator + HitsPage("page1", 1, 2) + "\n" + strSeparator + HitsPage("page2", 1, 0) +
                  "\n" + strSeparator + HitsPage("other", 1, 1) + "\n");
    EXPECT_EQ(opened, Strings{dir.File("questrel.htm")});
}

TEST_F(CWorkerFixture, ResultsPageOfTheLastSearchIsDeletedWithTheOptionOff)
{
    server.SetHandler([](const CRecordedRequest&) { return CReply::Ok(HitsPage("x", 1, 1)); });
    qtest::WriteFile(dir.File("questrel.htm"), "old search");
    Run(MakeJob({Engine("E", ResultCount, Base(), "/x?n=%d")}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("questrel.htm")));
    EXPECT_TRUE(opened.empty());
}

TEST_F(CWorkerFixture, StopMidTransferKeepsRowsAndEndsAtOnce)
{
    server.SetHandler([](const CRecordedRequest& request) {
        if (request.m_strPath == "/first/")
            return CReply::Ok(HitsPage("first", 1, 4));
        CReply stall = CReply::Ok(HitsPage("second", 1, 50), false);
        stall.m_nStallAfter = 200; // a few hits arrive, then the server stalls
        return stall;
    });
    CSearchJob job = MakeJob({Engine("First", ResultCount, Base() + "/first", "/?n=%d"),
                              Engine("Second", ResultCount, Base() + "/second", "/?n=%d"),
                              Engine("Third", ResultCount, Base() + "/third", "/?n=%d")});
    job.m_settings.m_bShowResultsPage = true;
    job.m_settings.m_bVerifyLinks = true;
    job.m_settings.m_bOneAtATime = true; // the third engine is never asked
    CSearchRun run;
    run.Start(std::move(job));
    ASSERT_TRUE(qtest::WaitFor([this] {
        const Strings texts = host.GetStatusTexts();
        return !texts.empty() && texts.back() == "Retrieving results from " + Base() + "/second";
    }));
    const auto start = std::chrono::steady_clock::now();
    run.Cancel();
    run.Join();
    // At once: far below the 20 s time-out the stalled transfer would wait for.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    EXPECT_EQ(RowsOf("First"), 4);
    EXPECT_EQ(RowsOf("Second"), 0);
    EXPECT_EQ(host.GetStatusTexts().back(), "Find cancelled.");
    EXPECT_EQ(host.GetSearchDoneCount(), 0);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(server.GetRequestCount(), 2u);
    // Only the first engine's page reached the results page.
    EXPECT_EQ(qtest::ReadFile(dir.File("questrel.htm")),
              kResultsPageHead + std::string(63, '-') + "\n" + HitsPage("first", 1, 4) + "\n");
}

TEST_F(CWorkerFixture, StatusTextsOfAWholeSearchComeInOrder)
{
    server.SetHandler([](const CRecordedRequest&) { return CReply::Ok(HitsPage("x", 1, 2)); });
    Run(MakeJob({Engine("E", ResultCount, Base() + "/path", "?n=%d")}));
    EXPECT_EQ(host.GetStatusTexts(),
              (Strings{"Create HTTP connection", "Connected to 127.0.0.1",
                       "Sending request to " + Base() + "/path",
                       "Retrieving results from " + Base() + "/path", "Find complete."}));
}

TEST_F(CWorkerFixture, SampleEnginesGiveHitsOfEveryType)
{
    qtest::CSampleEngineServer sample;
    Run(MakeJob(sample.GetCatalogue(), 20));
    for (const char* pszName : {"Sample Count", "Sample Multi", "Sample Single", "Sample Start"})
        EXPECT_GT(RowsOf(pszName), 0) << pszName;
    std::set<std::string> urls;
    for (const CSearchHit& hit : rows.GetRows()) {
        EXPECT_TRUE(urls.insert(hit.m_strUrl).second) << "duplicate " << hit.m_strUrl;
        EXPECT_NE(hit.m_strDescription.find("red apple"), std::string::npos);
    }
    EXPECT_TRUE(host.GetMessages().empty());
}

TEST_F(CWorkerFixture, CancelBelongsToOneSearchOnly)
{
    server.SetHandler([](const CRecordedRequest& request) {
        CReply reply = CReply::Ok(HitsPage(request.m_strPath.substr(1), 1, 3));
        reply.m_nHeadDelayMs = request.m_strPath == "/slow" ? 300 : 0;
        return reply;
    });
    CResultRows otherRows;
    qtest::CRecordingHost otherHost;
    CSearchJob other = MakeJob({Engine("Other", ResultCount, Base(), "/slow?n=%d")});
    other.m_pResultList = &otherRows;
    other.m_pHost = &otherHost;
    other.m_bResetResultsPage = false;

    CSearchRun first, second;
    first.Start(MakeJob({Engine("First", ResultCount, Base(), "/slow?n=%d")}));
    second.Start(std::move(other));
    first.Cancel();
    first.Join();
    second.Join();
    EXPECT_EQ(rows.GetRowCount(), 0);
    EXPECT_EQ(otherRows.GetRowCount(), 3);
    EXPECT_EQ(otherHost.GetSearchDoneCount(), 1);
    EXPECT_EQ(otherHost.GetStatusTexts().back(), "Find complete.");
}

TEST_F(CWorkerFixture, FaultyEnginesDoNotStopTheSearchNorLoseRows)
{
    // The time-outs run on a clock the test moves: it moves once, when every
    // engine but the stalled one has been committed, so only the stalled
    // transfer can time out, however slowly the machine runs.
    qtest::CManualClock clock;
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    options.m_nStallTimeoutMs = 300;
    options.m_pClock = &clock;
    pSession = OpenInternetSession(options, nullptr);
    server.SetHandler([this, &clock](const CRecordedRequest& request) {
        const std::string strTag = request.m_strPath.substr(1);
        const std::string strHits = HitsPage(strTag, 1, 3);
        if (strTag == "reset") {
            CReply reply = CReply::Ok(strHits + std::string(5000, ' '), false);
            reply.m_nResetAfter = strHits.size() + 100;
            return reply;
        }
        if (strTag == "stall") {
            qtest::WaitFor([this] { return RowsOf("after") == 3 && host.GetMessages().size() == 2; },
                           std::chrono::seconds(120));
            clock.Advance(std::chrono::hours(1));
            CReply reply = CReply::Ok(strHits);
            reply.m_nHeadDelayMs = 600000; // silent until the server stops
            return reply;
        }
        if (strTag == "huge")
            return CReply::Ok(strHits + std::string(10 * 1024 * 1024, 'x'), false);
        if (strTag == "short") {
            CReply reply = CReply::Make(200, "", false, "Content-Length: 100000\r\n");
            reply.m_strBody = strHits;
            return reply;
        }
        if (strTag == "garbage")
            return CReply::Raw("\x16\x03\x01 definitely not HTTP\r\n\r\n");
        return CReply::Ok(strHits);
    });
    std::vector<CSearchEngine> engines;
    for (const char* pszTag : {"first", "reset", "huge", "short", "garbage", "after", "stall"})
        engines.push_back(Engine(pszTag, ResultCount, Base() + "/" + pszTag, "?n=%d"));
    Run(MakeJob(engines));

    for (const char* pszTag : {"first", "reset", "huge", "short", "after"})
        EXPECT_EQ(RowsOf(pszTag), 3) << pszTag;
    EXPECT_EQ(RowsOf("stall"), 0);
    EXPECT_EQ(RowsOf("garbage"), 0);
    // The reset after the body began, the garbage and the stall are Internet
    // errors, each named after its engine; the rows read before the reset stay.
    const Strings messages = host.GetMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].rfind("reset: ", 0), 0u) << messages[0];
    EXPECT_EQ(messages[1].rfind("garbage: ", 0), 0u) << messages[1];
    EXPECT_EQ(messages[2].rfind("stall: ", 0), 0u) << messages[2];
    EXPECT_NE(messages[2].find("Timeout was reached"), std::string::npos) << messages[2];
    EXPECT_EQ(host.GetSearchDoneCount(), 1);
    EXPECT_EQ(server.GetRequestCount(), 7u);
}

TEST_F(CWorkerFixture, EachEngineEndsWithAnOutcomeAndNoneFailsSilently)
{
    uint16_t nClosedPort = 0;
    {
        qtest::CLoopbackServer closed(nullptr);
        nClosedPort = closed.GetPort();
    }
    server.SetHandler([](const CRecordedRequest& request) {
        if (request.m_strPath == "/refused") // a refusal that still carries links
            return CReply::Make(403, HitsPage("refused", 1, 3));
        if (request.m_strPath == "/botcheck")
            return CReply::Ok("<html><form>Please confirm that you are a human.</form></html>");
        if (request.m_strPath == "/paged" && request.Param("s") != "0")
            return CReply::Make(429, HitsPage("late", 1, 3));
        return CReply::Ok(HitsPage(request.m_strPath.substr(1), 1, 3));
    });
    const std::string strClosed = "http://127.0.0.1:" + std::to_string(nClosedPort);
    CSearchJob job = MakeJob({Engine("hits", ResultCount, Base(), "/hits?n=%d"),
                              Engine("refused", ResultCount, Base(), "/refused?n=%d"),
                              Engine("botcheck", ResultCount, Base(), "/botcheck?n=%d"),
                              Engine("paged", StartNumber, Base(), "/paged?q=", "&s=%d"),
                              Engine("closed", ResultCount, strClosed, "/x?n=%d"),
                              Engine("nohost", ResultCount, "http:///nohost", "?n=%d")});
    const auto pOutcomes = std::make_shared<CSearchOutcomes>();
    job.m_pOutcomes = pOutcomes;
    Run(std::move(job));

    std::vector<std::string> described;
    for (const CEngineOutcome& outcome : pOutcomes->Get())
        described.push_back(outcome.m_strEngine + ": " + outcome.Describe());
    ASSERT_EQ(described.size(), 6u);
    EXPECT_EQ(described[0], "hits: 3 hits");
    EXPECT_EQ(described[1], "refused: HTTP 403 Forbidden");
    EXPECT_EQ(described[2], "botcheck: refused: the page is a bot check");
    EXPECT_EQ(described[3], "paged: 3 hits"); // its second page answered 429: paging ended
    EXPECT_EQ(described[4].rfind("closed: ", 0), 0u);
    EXPECT_TRUE(pOutcomes->Get()[4].IsFailure());
    EXPECT_EQ(described[5], "nohost: Invalid URL");

    // Pages of status 400 and above are not scanned; nothing was asked of the
    // address without a host; only the Internet errors raised a box.
    EXPECT_EQ(RowsOf("hits"), 3);
    EXPECT_EQ(RowsOf("paged"), 3);
    EXPECT_EQ(rows.GetRowCount(), 6);
    const Strings messages = host.GetMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], described[4]);
    EXPECT_EQ(messages[1], kMsgInvalidUrl);
    std::multiset<std::string> paths;
    for (const CRecordedRequest& request : server.GetRequests())
        paths.insert(request.m_strPath);
    EXPECT_EQ(paths, (std::multiset<std::string>{"/hits", "/refused", "/botcheck", "/paged", "/paged"}));
    EXPECT_EQ(host.GetSearchDoneCount(), 1);
}

TEST_F(CWorkerFixture, AProxysRefusalIsAnHttpErrorNotAHit)
{
    qtest::CLoopbackServer proxy([](const CRecordedRequest&) {
        // A status line without a reason phrase: the usual phrase is shown.
        CReply reply = CReply::Make(407, "<li><a href=\"http://proxy.example/login\">Log in</a></li>");
        reply.m_strHead.replace(0, reply.m_strHead.find('\r'), "HTTP/1.0 407");
        return reply;
    });
    CSessionOptions options;
    options.m_nConnectMethod = kConnectProxy;
    options.m_strProxy = "127.0.0.1:" + std::to_string(proxy.GetPort());
    pSession = OpenInternetSession(options, nullptr);
    CSearchJob job = MakeJob({Engine("behind", ResultCount, "http://engine.example", "/s?n=%d")});
    const auto pOutcomes = std::make_shared<CSearchOutcomes>();
    job.m_pOutcomes = pOutcomes;
    Run(std::move(job));
    EXPECT_EQ(rows.GetRowCount(), 0);
    EXPECT_EQ(pOutcomes->Get().at(0).Describe(), "HTTP 407 Proxy Authentication Required");
    // The proxy the user named is used whatever the environment's no_proxy says.
    EXPECT_EQ(proxy.GetRequestCount(), 1u);
    EXPECT_TRUE(host.GetMessages().empty());
}

TEST_F(CWorkerFixture, RelativeLinksResolveAgainstThePageAfterRedirects)
{
    server.SetHandler([](const CRecordedRequest& request) {
        if (request.m_strPath == "/moved")
            return CReply::Redirect(302, "/final/list?q=1");
        return CReply::Ok("<li><a href=\"item.html\">Relative</a></li>"
                          "<li><a href=\"/r?to=http%3A%2F%2Fhits.example%2F2\">Redirect</a></li>");
    });
    CSearchEngine engine = Engine("moved", ResultCount, Base(), "/moved?n=%d");
    engine.m_strStartToken = "<li><a href=\"";
    Run(MakeJob({engine}));
    ASSERT_EQ(rows.GetRowCount(), 2);
    EXPECT_EQ(rows.GetCell(0, 1), Base() + "/final/item.html");
    EXPECT_EQ(rows.GetCell(1, 1), "http://hits.example/2");
}

TEST_F(CWorkerFixture, APageOfAMillionHitsAddsAtMostItsShare)
{
    std::string strPage;
    strPage.reserve(32u << 20);
    for (int i = 0; i < 1000000; ++i)
        strPage += "<li><a href=\"http://h/" + std::to_string(i) + "\">x</a>";
    server.SetHandler([&strPage](const CRecordedRequest&) { return CReply::Ok(strPage); });
    CSearchJob job = MakeJob({Engine("Flood", ResultCount, Base(), "/flood?n=%d")}, 20);
    const auto pOutcomes = std::make_shared<CSearchOutcomes>();
    job.m_pOutcomes = pOutcomes;
    const auto start = std::chrono::steady_clock::now();
    Run(std::move(job));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)); // about 0.3 s; minutes row by row
    EXPECT_EQ(rows.GetRowCount(), 2048);
    // The page (35 MB) is longer than a page may be, too.
    EXPECT_EQ(pOutcomes->Get().at(0).Describe(),
              "2048 hits (a page held more hits than it may add; the rest was dropped) "
              "(a page was longer than 32 MiB; the rest was dropped)");
}

TEST_F(CWorkerFixture, AResultsPageThatCannotBeWrittenIsSaidAndNotOpened)
{
    server.SetHandler([](const CRecordedRequest&) { return CReply::Ok(HitsPage("x", 1, 2)); });
    std::filesystem::create_directories(dir.File("folder-in-the-way"));
    CSearchJob job = MakeJob({Engine("E", ResultCount, Base(), "/x?n=%d")});
    job.m_settings.m_bShowResultsPage = true;
    job.m_bResetResultsPage = false;
    job.m_strResultsPagePath = dir.File("folder-in-the-way");
    Run(std::move(job));
    const Strings texts = host.GetStatusTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        "The results page could not be written to " + dir.File("folder-in-the-way") + "."),
              texts.end());
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(rows.GetRowCount(), 2);
}

// The owner every worker runs under: Stop reaches only the threads still
// running, Wait joins them all, and ended threads are joined when more starts.
TEST(WorkerThreads, StopsRunningThreadsAndWaitsForAll)
{
    auto waitForStop = [](const std::shared_ptr<CCancelSignal>& pCancel) {
        return [pCancel] {
            while (!pCancel->IsSignalled())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
    };
    auto pDone = std::make_shared<CCancelSignal>(); // of work that ends on its own
    auto pPool = std::make_shared<CCancelSignal>();
    std::atomic<int> nPoolEnded{0};
    CWorkerThreads workers;
    EXPECT_FALSE(workers.IsBusy());
    workers.Start([] {}, pDone);
    ASSERT_TRUE(qtest::WaitFor([&workers] { return !workers.IsBusy(); }));
    workers.Start([&nPoolEnded, wait = waitForStop(pPool)] { wait(); ++nPoolEnded; }, pPool, 3);
    EXPECT_TRUE(workers.IsBusy());
    workers.Stop();
    workers.Wait();
    EXPECT_FALSE(workers.IsBusy());
    EXPECT_EQ(nPoolEnded, 3);
    EXPECT_FALSE(pDone->IsSignalled()); // it had ended: nothing of it was stopped

    // The destructor stops and waits for what still runs.
    auto pLeft = std::make_shared<CCancelSignal>();
    {
        CWorkerThreads owner;
        owner.Start(waitForStop(pLeft), pLeft);
    }
    EXPECT_TRUE(pLeft->IsSignalled());
}
