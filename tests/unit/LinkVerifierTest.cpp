// SPDX-License-Identifier: MIT
#include "FetchContext.h"
#include "LoopbackServer.h"
#include "TestFixtures.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "search/LinkVerifier.h"
#include "results/ResultRows.h"
#include "search/FetchState.h"
#include "search/SearchJob.h"
#include "search/SearchTexts.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using qtest::CRecordedRequest;
using qtest::CReply;
using Strings = std::vector<std::string>;

TEST(UrlExists, StatusDecides)
{
    auto answered = [](long nStatus) {
        CHttpCheckResult result;
        result.m_bAnswered = true;
        result.m_nStatus = nStatus;
        return UrlExists(result);
    };
    for (long n : {200L, 204L, 301L, 304L, 399L, 401L, 403L, 405L, 429L})
        EXPECT_TRUE(answered(n)) << n;
    for (long n : {400L, 404L, 410L, 418L, 500L, 503L})
        EXPECT_FALSE(answered(n)) << n;
    EXPECT_FALSE(UrlExists(CHttpCheckResult{}));
}

namespace {

// Answers /<status>[/anything] with that status; /moved/<status> redirects there.
CReply StatusReply(const CRecordedRequest& request, const std::string& strBase)
{
    const std::string strPath = request.m_strPath;
    if (strPath.rfind("/moved/", 0) == 0)
        return CReply::Redirect(302, strBase + "/" + strPath.substr(7));
    const int nStatus = std::atoi(strPath.c_str() + 1);
    CReply reply = CReply::Make(nStatus > 0 ? nStatus : 200, "<html>page</html>");
    if (strPath.find("/lm") != std::string::npos)
        reply.m_strHead.insert(reply.m_strHead.size() - 2, "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n");
    return reply;
}

struct CVerifyFixture : ::testing::Test, qtest::CFetchContext
{
    qtest::CLoopbackServer server{nullptr};
    CResultRows rows;

    CVerifyFixture()
    {
        const std::string strBase = server.GetBaseUrl();
        server.SetHandler([strBase](const CRecordedRequest& r) { return StatusReply(r, strBase); });
    }

    std::string Url(const std::string& strPath) const { return server.GetBaseUrl() + strPath; }

    void List(const Strings& urls)
    {
        for (const std::string& strUrl : urls)
            rows.AppendHit({"desc", strUrl, "E"});
    }

    Strings Remaining() const
    {
        Strings urls;
        for (const CSearchHit& hit : rows.GetRows())
            urls.push_back(hit.m_strUrl);
        return urls;
    }
};

} // namespace

TEST_F(CVerifyFixture, LiveAndDeadByTheFinalAnswer)
{
    const std::string strPort = std::to_string(server.GetPort());
    const Strings live = {Url("/200"), Url("/200/no-last-modified"), Url("/moved/204"), Url("/401"),
                          Url("/403"), Url("/405"), Url("/429"), "127.0.0.1:" + strPort + "/200/no-scheme",
                          "ftp://files.example/x", "gopher://g.example/", "mailto:someone@example.org"};
    const Strings dead = {Url("/404/lm"), Url("/410"), Url("/500"), Url("/503"), Url("/moved/404"),
                          "https://127.0.0.1:" + strPort + "/200/not-tls"};
    Strings all;
    for (size_t i = 0; i < std::max(live.size(), dead.size()); ++i) {
        if (i < live.size())
            all.push_back(live[i]);
        if (i < dead.size())
            all.push_back(dead[i]);
    }
    List(all);
    VerifyLinks(fs, rows);
    EXPECT_EQ(Remaining(), live);
    EXPECT_TRUE(host.GetMessages().empty());
    // The https URL was really requested (and its handshake failed on this plain server).
    const size_t nHttpRequests = server.GetRequestCount();
    EXPECT_GE(nHttpRequests, 13u);
}

TEST_F(CVerifyFixture, LinksThatCannotBeCheckedAreSaidOncePerPass)
{
    // Three hundred addresses that do not parse: one notice with their number
    // and the first of them, not three hundred boxes; the rows stay.
    Strings urls = {Url("/404/gone")};
    for (int i = 0; i < 300; ++i)
        urls.push_back("http://[bad" + std::to_string(i) + "/x");
    List(urls);
    VerifyLinks(fs, rows);
    EXPECT_EQ(host.GetMessages(),
              Strings{"Invalid URL: 300 links could not be checked (the first: http://[bad0/x); they stay in the list."});
    EXPECT_EQ(rows.GetRowCount(), 300);
}

TEST_F(CVerifyFixture, ALinkThatRedirectsForeverIsDead)
{
    server.SetHandler([this](const CRecordedRequest& request) {
        if (request.m_strPath == "/loop")
            return CReply::Redirect(302, server.GetBaseUrl() + "/loop");
        if (request.m_strPath == "/hops/3")
            return CReply::Make(200, "arrived");
        return CReply::Redirect(302, server.GetBaseUrl() + "/hops/" + std::to_string(std::atoi(request.m_strPath.c_str() + 6) + 1));
    });
    List({Url("/loop"), Url("/hops/0")});
    VerifyLinks(fs, rows);
    EXPECT_EQ(Remaining(), Strings{Url("/hops/0")}); // three hops arrive; the loop does not
    EXPECT_TRUE(host.GetMessages().empty());
}

TEST_F(CVerifyFixture, StatusTextsAndAdjacentDeadRows)
{
    List({Url("/404/a"), Url("/404/b"), Url("/200/c"), "[x"});
    VerifyLinks(fs, rows);
    EXPECT_EQ(Remaining(), (Strings{Url("/200/c"), "[x"}));
    EXPECT_EQ(host.GetMessages(), Strings{"Invalid URL: [x"}); // said after the pass, with the address
    Strings wanted;
    for (const char* pszPath : {"/404/a", "/404/b", "/200/c"}) {
        wanted.push_back("Verifying " + Url(pszPath));
        wanted.push_back("Create HTTP connection");
        wanted.push_back("Connected to 127.0.0.1");
    }
    wanted.push_back("Verifying [x");
    wanted.push_back(Url("/404/a") + " does not exist.  Deleting it from the list.");
    wanted.push_back(Url("/404/b") + " does not exist.  Deleting it from the list.");
    wanted.push_back("");
    EXPECT_EQ(host.GetStatusTexts(), wanted);
}

TEST_F(CVerifyFixture, ParallelChecksDeleteTheSameRowsAsOneAtATime)
{
    Strings urls;
    for (int i = 0; i < 40; ++i)
        urls.push_back(Url((i % 3 == 0 || i % 7 == 0) ? "/404/" + std::to_string(i) : "/200/" + std::to_string(i)));

    List(urls);
    VerifyLinks(fs, rows, 1);
    const Strings oneAtATime = Remaining();
    Strings deletionsInOrder;
    for (const std::string& strText : host.GetStatusTexts())
        if (strText.find("does not exist") != std::string::npos)
            deletionsInOrder.push_back(strText);

    qtest::CRecordingHost parallelHost;
    CSearchHostBridge parallelBridge(&parallelHost, cancel);
    fs.m_pHost = &parallelBridge;
    rows.DeleteAllRows();
    List(urls);
    VerifyLinks(fs, rows, 8);
    EXPECT_EQ(Remaining(), oneAtATime);
    Strings parallelDeletions;
    for (const std::string& strText : parallelHost.GetStatusTexts())
        if (strText.find("does not exist") != std::string::npos)
            parallelDeletions.push_back(strText);
    EXPECT_EQ(parallelDeletions, deletionsInOrder);
    EXPECT_EQ(oneAtATime.size(), 22u); // 18 of the 40 answer 404
}

TEST_F(CVerifyFixture, AtMostFourChecksToOneHostAndSixteenInAll)
{
    // Each answer waits until as many checks are in flight as the limit allows
    // (or a long while), so the count reached does not depend on the machine's speed.
    std::atomic<int> nInFlight{0}, nMaxInFlight{0}, nTarget{16};
    auto slowOk = [&](const CRecordedRequest&) {
        const int n = ++nInFlight;
        int nMax = nMaxInFlight;
        while (n > nMax && !nMaxInFlight.compare_exchange_weak(nMax, n)) {
        }
        qtest::WaitFor([&] { return nMaxInFlight >= nTarget; }, std::chrono::seconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        --nInFlight;
        return CReply::Ok("x");
    };
    std::vector<std::unique_ptr<qtest::CLoopbackServer>> hosts;
    for (int i = 0; i < 6; ++i)
        hosts.push_back(std::make_unique<qtest::CLoopbackServer>(slowOk));
    Strings urls;
    for (int i = 0; i < 48; ++i)
        urls.push_back(hosts[i % 6]->GetBaseUrl() + "/200/" + std::to_string(i));
    List(urls);
    VerifyLinks(fs, rows);
    EXPECT_EQ(nMaxInFlight.load(), 16);
    EXPECT_EQ(rows.GetRowCount(), 48);
    for (const auto& pHost : hosts)
        EXPECT_EQ(pHost->GetRequestCount(), 8u);

    // One host alone gets four at a time.
    nMaxInFlight = 0;
    nTarget = 4;
    rows.DeleteAllRows();
    urls.clear();
    for (int i = 0; i < 12; ++i)
        urls.push_back(hosts[0]->GetBaseUrl() + "/200/" + std::to_string(i));
    List(urls);
    VerifyLinks(fs, rows);
    EXPECT_EQ(nMaxInFlight.load(), 4);
}

TEST_F(CVerifyFixture, SlowLinksDoNotHoldUpTheOthers)
{
    // Four slow links spread through the list, on a host of their own: the
    // others are checked while they wait. The slow host answers only once all
    // the others have been asked (or after a long while, which fails the test).
    std::atomic<int> nAnsweredLate{0};
    qtest::CLoopbackServer slow([&](const CRecordedRequest&) {
        if (qtest::WaitFor([&] { return server.GetRequestCount() == 36; }, std::chrono::seconds(30)))
            ++nAnsweredLate;
        return CReply::Make(404, "gone");
    });
    Strings urls, expected;
    for (int i = 0; i < 40; ++i) {
        const bool bSlow = i % 10 == 0;
        urls.push_back(bSlow ? slow.GetBaseUrl() + "/404/" + std::to_string(i)
                             : Url((i % 3 == 0 ? "/404/" : "/200/") + std::to_string(i)));
        if (!bSlow && i % 3 != 0)
            expected.push_back(urls.back());
    }
    List(urls);
    VerifyLinks(fs, rows);
    EXPECT_EQ(nAnsweredLate.load(), 4);
    EXPECT_EQ(Remaining(), expected);
    // The deletions were reported in list order.
    Strings deletions;
    for (const std::string& strText : host.GetStatusTexts())
        if (strText.find(" does not exist.") != std::string::npos)
            deletions.push_back(strText.substr(0, strText.find(" does not exist.")));
    Strings deadInOrder;
    for (const std::string& strUrl : urls)
        if (std::find(expected.begin(), expected.end(), strUrl) == expected.end())
            deadInOrder.push_back(strUrl);
    EXPECT_EQ(deletions, deadInOrder);
}

// A host that does not answer twice is not asked for its other links: they
// take the same verdict (dead), said once, and the pass ends without waiting
// for each of them.
TEST_F(CVerifyFixture, AHostSilentTwiceIsNotAskedAgain)
{
    qtest::CLoopbackServer silent([](const CRecordedRequest&) { return CReply::Raw(""); });
    Strings urls, expected;
    for (int i = 0; i < 30; ++i) {
        urls.push_back(i % 3 == 0 ? Url("/200/" + std::to_string(i)) : silent.GetBaseUrl() + "/x" + std::to_string(i));
        if (i % 3 == 0)
            expected.push_back(urls.back());
    }
    List(urls);
    VerifyLinks(fs, rows);
    EXPECT_EQ(Remaining(), expected);
    EXPECT_LE(silent.GetRequestCount(), 5u); // two that failed, and those already under way (at most four a host)
    const Strings messages = host.GetMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(" links were not asked: their host (the first: 127.0.0.1) did not answer twice"),
              std::string::npos)
        << messages[0];
}

TEST_F(CVerifyFixture, StopEndsThePassWhereItIs)
{
    server.SetHandler([](const CRecordedRequest&) {
        CReply reply = CReply::Make(404, "gone");
        reply.m_nHeadDelayMs = 600000;
        return reply;
    });
    List({Url("/404/1"), Url("/404/2"), Url("/404/3")});
    std::thread stopper([this] {
        qtest::WaitFor([this] { return server.GetRequestCount() >= 3; });
        cancel.Signal();
    });
    const auto start = std::chrono::steady_clock::now();
    VerifyLinks(fs, rows);
    stopper.join();
    // Nothing times out on the test's clock and the server is silent for ten
    // minutes: only the stop can end the pass.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(rows.GetRowCount(), 3);
    EXPECT_NE(host.GetStatusTexts().back(), "");
}

TEST_F(CVerifyFixture, WorkerVerifiesAfterTheLastEngineAndBeforeDone)
{
    CSearchEngine engine;
    engine.m_strName = "E";
    engine.m_nSearchType = ResultCount;
    engine.m_strUrl = Url("/results");
    engine.m_strPrefix = "?n=%d";
    engine.m_strStartToken = "<a href=\"http";
    engine.m_strEndToken = "</a>";
    const std::string strBase = server.GetBaseUrl();
    server.SetHandler([strBase](const CRecordedRequest& request) {
        if (request.m_strPath == "/results")
            return CReply::Ok("<a href=\"" + strBase + "/200/a\">A</a><a href=\"" + strBase +
                              "/404/b\">B</a>");
        return StatusReply(request, strBase);
    });
    CSearchJob job;
    job.m_engines = {engine};
    job.m_pSession = pSession.get();
    job.m_pHost = &host;
    job.m_pResultList = &rows;
    job.m_settings.m_bVerifyLinks = true;
    job.m_bResetResultsPage = false;
    job.m_pCancel = std::make_shared<CCancelSignal>();
    SearchThreadProc(job);
    EXPECT_EQ(Remaining(), Strings{Url("/200/a")});
    const Strings texts = host.GetStatusTexts();
    const auto it = std::find(texts.begin(), texts.end(), "Verifying URLs exist");
    ASSERT_NE(it, texts.end());
    EXPECT_EQ(*(it - 1), "Find complete.");
    EXPECT_EQ(texts.back(), "");
    EXPECT_EQ(host.GetSearchDoneCount(), 1);
}
