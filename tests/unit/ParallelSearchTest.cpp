// SPDX-License-Identifier: MIT
// Engines searched side by side give exactly what a search one engine after
// another gives; a stalled engine holds back only the engines after it.

#include "LoopbackServer.h"
#include "SampleEngines.h"
#include "TestFixtures.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "results/ResultRows.h"
#include "search/EngineOutcome.h"
#include "search/QueryComposer.h"
#include "search/SearchJob.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <regex>

using qtest::CRecordedRequest;
using qtest::CReply;
using Strings = std::vector<std::string>;

namespace {

std::string Hit(const std::string& strUrl, const std::string& strTitle)
{
    return "<li><a href=\"" + strUrl + "\">" + strTitle + "</a></li>\n";
}

int IntParam(const CRecordedRequest& request, const char* pszName, int nDefault)
{
    const std::string strValue = request.Param(pszName);
    return strValue.empty() ? nDefault : std::atoi(strValue.c_str());
}

// Engines of every paging type whose hits overlap, so that the duplicate test
// and the hit limits decide how far each engine is paged.
CReply EngineReply(const CRecordedRequest& request)
{
    std::string page = "<html><ul>\n";
    const std::string& strPath = request.m_strPath;
    if (strPath == "/count") { // type 1: as many as asked for, at most 12
        for (int i = 1; i <= std::min(IntParam(request, "n", 0), 12); ++i)
            page += Hit("http://hits.example/" + std::to_string(i), "Shared " + std::to_string(i));
    } else if (strPath == "/multi") { // type 0: 8 a page after "after", all shared with /count at first
        const int nAfter = IntParam(request, "after", 0);
        for (int i = nAfter + 1; i <= std::min(nAfter + 8, 40); ++i)
            page += Hit("http://hits.example/" + std::to_string(i), "Multi " + std::to_string(i));
    } else if (strPath == "/start") { // type 2: 10 a page from "s"; the even ones up to 12 are shared
        const int nStart = IntParam(request, "s", 0);
        for (int i = nStart + 1; i <= std::min(nStart + 10, 40); ++i)
            page += Hit((i % 2 == 0 && i <= 12 ? "http://hits.example/" : "http://start.example/") +
                            std::to_string(i),
                        "Start " + std::to_string(i));
    } else if (strPath == "/overlap") { // type 2: 10 a page from "s"; every k-th is shared
        const int nStart = IntParam(request, "s", 0);
        const std::string strOwn = "http://only" + request.Param("k") + ".example/";
        for (int i = nStart + 1; i <= std::min(nStart + 10, 60); ++i)
            page += Hit((i % IntParam(request, "k", 1) == 0 ? "http://shared.example/" : strOwn) + std::to_string(i),
                        "Overlap " + std::to_string(i));
    } else if (strPath == "/single") { // type 3: 10 a page from "first" (1-based); the third is shared
        const int nFirst = IntParam(request, "first", 1);
        for (int i = nFirst; i <= std::min(nFirst + 9, 30); ++i)
            page += Hit(i == 3 ? "http://hits.example/3" : "http://single.example/" + std::to_string(i),
                        "Single " + std::to_string(i));
    } else if (strPath == "/refuse") {
        return CReply::Make(403, page + Hit("http://refused.example/", "Refusal") + "</ul></html>");
    } else if (strPath == "/reset") { // two hits, then the connection breaks
        CReply reply = CReply::Ok(page + Hit("http://reset.example/1", "R1") + Hit("http://reset.example/2", "R2") +
                                      std::string(4000, ' '),
                                  false);
        reply.m_nResetAfter = 200;
        return reply;
    }
    return CReply::Ok(page + "</ul></html>\n");
}

CSearchEngine Engine(const std::string& strName, int nType, const std::string& strUrl,
                     const std::string& strPrefix, const std::string& strSuffix = "",
                     const std::string& strNext = "")
{
    return qtest::TestEngine(strName, nType, strUrl, strPrefix, strSuffix, strNext, "<li><a href=\"");
}

// Everything a search shows the user.
struct CSearchSeen
{
    std::vector<CSearchHit> m_rows;
    Strings m_messages;
    Strings m_outcomes;
    std::string m_strResultsPage;
    int m_nSearchDone = 0;
};

CSearchSeen RunSearch(const std::vector<CSearchEngine>& engines, int nHitLimit, bool bRemoveDups,
                      bool bOneAtATime)
{
    qtest::CTempDir dir;
    qtest::CCurrentDirectory cwd(dir.GetPath());
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    const std::unique_ptr<CInternetSession> pSession = OpenInternetSession(options, nullptr);
    qtest::CRecordingHost host;
    CResultRows rows;
    CSearchJob job;
    job.m_engines = engines;
    job.m_pSession = pSession.get();
    job.m_pHost = &host;
    job.m_pResultList = &rows;
    job.m_strQueryTerm = ComposeQueryTerm("red apple", kOptionAllWords);
    job.m_settings.m_nHitLimit = nHitLimit;
    job.m_settings.m_bRemoveDups = bRemoveDups;
    job.m_settings.m_bShowResultsPage = true;
    job.m_bOpenResultsPage = false;
    job.m_settings.m_bOneAtATime = bOneAtATime;
    job.m_pCancel = std::make_shared<CCancelSignal>();
    job.m_pOutcomes = std::make_shared<CSearchOutcomes>();
    const auto pOutcomes = job.m_pOutcomes;
    SearchThreadProc(job);

    // The library's error texts say how long a connect took; that may differ.
    auto steady = [](std::string strText) {
        return std::regex_replace(strText, std::regex("after [0-9]+ ms"), "after N ms");
    };
    CSearchSeen seen;
    seen.m_rows = rows.GetRows();
    for (const std::string& strMessage : host.GetMessages())
        seen.m_messages.push_back(steady(strMessage));
    for (const CEngineOutcome& outcome : pOutcomes->Get())
        seen.m_outcomes.push_back(steady(outcome.m_strEngine + ": " + outcome.Describe()));
    seen.m_strResultsPage = qtest::ReadFile(dir.File("questrel.htm"));
    seen.m_nSearchDone = host.GetSearchDoneCount();
    return seen;
}

} // namespace

TEST(SideBySide, GivesExactlyWhatOneAfterAnotherGives)
{
    qtest::CLoopbackServer server(EngineReply);
    uint16_t nClosedPort = 0;
    {
        qtest::CLoopbackServer closed(nullptr);
        nClosedPort = closed.GetPort();
    }
    const std::string strBase = server.GetBaseUrl();
    const std::vector<CSearchEngine> engines = {
        Engine("Count", ResultCount, strBase, "/count?n=%d&q="),
        // Every hit of its first page is one of Count's: the paging ends there.
        Engine("Multi", MultiplePages, strBase, "/multi?p=%d&q=", "", "/multi?q=%s&after=%d"),
        Engine("Refused", ResultCount, strBase, "/refuse?n=%d&q="),
        // Half its first page are duplicates, so its second page starts elsewhere
        // than its own look-ahead asked for.
        Engine("Start", StartNumber, strBase, "/start?q=", "&s=%d"),
        Engine("Closed", ResultCount, "http://127.0.0.1:" + std::to_string(nClosedPort), "/x?n=%d"),
        Engine("Single", SinglePage, strBase + "/single", "?q=", "", "?q=%s&first=%d"),
        Engine("No host", ResultCount, "http:///nohost", "?n=%d"),
        Engine("Reset", ResultCount, strBase, "/reset?n=%d"),
    };
    struct CCase
    {
        int m_nHitLimit;
        bool m_bRemoveDups;
    };
    for (const CCase c : {CCase{20, true}, CCase{7, true}, CCase{7, false}, CCase{2048, true}}) {
        SCOPED_TRACE("hit limit " + std::to_string(c.m_nHitLimit) + (c.m_bRemoveDups ? ", dups removed" : ""));
        const size_t nBefore = server.GetRequestCount();
        const CSearchSeen sequential = RunSearch(engines, c.m_nHitLimit, c.m_bRemoveDups, true);
        const size_t nSequential = server.GetRequestCount() - nBefore;
        const CSearchSeen sideBySide = RunSearch(engines, c.m_nHitLimit, c.m_bRemoveDups, false);
        // The same pages asked, none thrown away (see below).
        EXPECT_EQ(server.GetRequestCount() - nBefore - nSequential, nSequential);
        EXPECT_EQ(sideBySide.m_rows, sequential.m_rows);
        EXPECT_EQ(sideBySide.m_messages, sequential.m_messages);
        EXPECT_EQ(sideBySide.m_outcomes, sequential.m_outcomes);
        EXPECT_EQ(sideBySide.m_strResultsPage, sequential.m_strResultsPage);
        EXPECT_EQ(sideBySide.m_nSearchDone, 1);
        // The search did what the cases are for.
        EXPECT_GT(sequential.m_rows.size(), 20u);
        EXPECT_EQ(sequential.m_messages.size(), 3u); // Closed, No host, Reset
    }
    const CSearchSeen seen = RunSearch(engines, 20, true, false);
    EXPECT_EQ(seen.m_outcomes,
              (Strings{"Count: 12 hits", "Multi: 0 hits (all duplicates)", "Refused: HTTP 403 Forbidden",
                       "Start: 21 hits", seen.m_outcomes[4], "Single: 27 hits", "No host: Invalid URL",
                       "Reset: 2 hits"}));
}

TEST(SideBySide, AsksExactlyThePagesOneAfterAnotherAsks)
{
    // With duplicates removed an engine's next page depends on the hits of the
    // engines before it: three start-number engines that share every 2nd, 3rd
    // and 5th hit, and the sample engines of every paging type.
    qtest::CLoopbackServer server(EngineReply);
    qtest::CSampleEngineServer sample;
    std::vector<CSearchEngine> overlapping;
    for (const std::string strK : {"2", "3", "5"})
        overlapping.push_back(Engine("Every " + strK, StartNumber, server.GetBaseUrl(), "/overlap?k=" + strK + "&q=", "&s=%d"));
    for (const auto& [engines, pServer] : {std::pair{overlapping, &server}, {sample.GetCatalogue(), &sample.GetServer()}}) {
        for (const int nHitLimit : {20, 45, 2048}) {
            SCOPED_TRACE(engines[0].m_strName + ", hit limit " + std::to_string(nHitLimit));
            size_t nAsked[2] = {};
            std::vector<CSearchHit> rows[2];
            for (const bool bOneAtATime : {true, false}) {
                const size_t nBefore = pServer->GetRequestCount();
                rows[bOneAtATime] = RunSearch(engines, nHitLimit, true, bOneAtATime).m_rows;
                nAsked[bOneAtATime] = pServer->GetRequestCount() - nBefore;
            }
            EXPECT_EQ(nAsked[0], nAsked[1]);
            EXPECT_EQ(rows[0], rows[1]);
            EXPECT_GT(nAsked[1], engines.size()); // the engines were paged
        }
    }
}

TEST(SideBySide, AStalledEngineHoldsBackOnlyTheEnginesAfterIt)
{
    qtest::CLoopbackServer server([](const CRecordedRequest& request) {
        const std::string strTag = request.m_strPath.substr(1);
        CReply reply = CReply::Ok("<ul>" + Hit("http://" + strTag + ".example/1", strTag) + "</ul>");
        if (strTag == "stall")
            reply.m_nHeadDelayMs = 600000; // nothing at all until the time-out
        return reply;
    });
    // The time-out runs on a clock the test moves, once every other engine's
    // answer is on its way: no other transfer can then time out.
    qtest::CManualClock clock;
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    options.m_nStallTimeoutMs = 1500;
    options.m_pClock = &clock;
    const std::unique_ptr<CInternetSession> pSession = OpenInternetSession(options, nullptr);
    qtest::CRecordingHost host;
    CResultRows rows;
    auto rowsOf = [&rows](const std::string& strEngine) {
        int n = 0;
        for (const CSearchHit& hit : rows.GetRows())
            n += hit.m_strEngine == strEngine;
        return n;
    };
    auto makeJob = [&] {
        CSearchJob job;
        for (const char* pszTag : {"first", "second", "stall", "fourth", "fifth"})
            job.m_engines.push_back(Engine(pszTag, ResultCount, server.GetBaseUrl(), std::string("/") + pszTag + "?n=%d"));
        job.m_pSession = pSession.get();
        job.m_pHost = &host;
        job.m_pResultList = &rows;
        job.m_strQueryTerm = "q";
        return job;
    };
    const auto longWait = std::chrono::seconds(60);

    // The engines before the stalled one appear at once, those after it when it
    // has timed out, and the whole search takes one time-out, not three: the
    // clock moves by one time-out only.
    CSearchRun run;
    run.Start(makeJob());
    ASSERT_TRUE(qtest::WaitFor([&] { return rowsOf("second") == 1 && server.GetClosedCount() == 4; }, longWait));
    EXPECT_EQ(rowsOf("first"), 1);
    EXPECT_EQ(rowsOf("fourth") + rowsOf("fifth"), 0);
    clock.Advance(std::chrono::milliseconds(1501));
    ASSERT_TRUE(qtest::WaitFor([&] { return host.GetSearchDoneCount() == 1; }, longWait));
    run.Join();
    EXPECT_EQ(rowsOf("fourth") + rowsOf("fifth"), 2);
    ASSERT_EQ(host.GetMessages().size(), 1u);
    EXPECT_EQ(host.GetMessages()[0].rfind("stall: ", 0), 0u);

    // Stop while it stalls: every engine ends at once (long before the stalled
    // server would answer); what was committed stays, and nothing that was not
    // is added.
    rows.DeleteAllRows();
    CSearchRun stopped;
    stopped.Start(makeJob());
    ASSERT_TRUE(qtest::WaitFor([&] { return rowsOf("second") == 1; }, longWait));
    const auto stop = std::chrono::steady_clock::now();
    stopped.Cancel();
    stopped.Join();
    EXPECT_LT(std::chrono::steady_clock::now() - stop, std::chrono::seconds(30));
    EXPECT_EQ(rows.GetRowCount(), 2);
    EXPECT_EQ(host.GetStatusTexts().back(), "Find cancelled.");
    EXPECT_EQ(host.GetSearchDoneCount(), 1); // only the first search's
}

TEST(SideBySide, TheLookAheadsKeepPagesWithinTheirBudget)
{
    // Sixteen engines with a 12 MiB page each (192 MiB, three times the
    // budget): every engine's hits are listed as one after another would list
    // them, the engines whose look-ahead ran out of budget are fetched again at
    // commit, and the memory of the search stays far below sixteen pages.
    std::string strPage = "<ul>";
    for (int i = 1; i <= 3; ++i)
        strPage += Hit("http://big.example/" + std::to_string(i), "big hit " + std::to_string(i));
    strPage += "</ul>" + std::string(12u << 20, ' ');
    const auto pPage = std::make_shared<const std::string>(std::move(strPage));
    qtest::CLoopbackServer server([pPage](const CRecordedRequest&) {
        CReply reply = CReply::Ok("", false);
        reply.m_pSharedBody = pPage;
        return reply;
    });
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    const std::unique_ptr<CInternetSession> pSession = OpenInternetSession(options, nullptr);
    qtest::CRecordingHost host;
    CResultRows rows;
    CSearchJob job;
    for (int i = 0; i < 16; ++i)
        job.m_engines.push_back(Engine("E" + std::to_string(i), ResultCount, server.GetBaseUrl(),
                                       "/" + std::to_string(i) + "?n=%d"));
    job.m_pSession = pSession.get();
    job.m_pHost = &host;
    job.m_pResultList = &rows;
    job.m_strQueryTerm = "q";
    job.m_settings.m_bRemoveDups = false;
    job.m_pCancel = std::make_shared<CCancelSignal>();
    SearchThreadProc(job);

    ASSERT_EQ(rows.GetRowCount(), 48);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(rows.GetCell(3 * i, 2), "E" + std::to_string(i));
    EXPECT_GT(server.GetRequestCount(), 16u);
    EXPECT_TRUE(host.GetMessages().empty());
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    // About 140 MiB here; without the budget 290 MiB, and 450 MiB more with the
    // allocator's default thresholds.
    EXPECT_LT(usage.ru_maxrss, 220L * 1024) << "peak KiB";
#endif
}
