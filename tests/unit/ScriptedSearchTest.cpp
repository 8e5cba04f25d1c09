// SPDX-License-Identifier: MIT
// Engines whose results a script writes: which pages go again to the browser
// engine, what the engine's outcome then says, and searches, the learner and
// the engine check over loopback pages of those shapes.

#include "ScriptPages.h"
#include "TestFixtures.h"
#include "platform/BrowserEngine.h"
#include "platform/InternetClient.h"
#include "results/ResultRows.h"
#include "search/BrowserPages.h"
#include "search/SearchJob.h"
#include "workbench/EngineCheck.h"
#include "workbench/EngineLearner.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <gtest/gtest.h>
#include <map>

namespace {

constexpr const char* kToken = "<li class=\"hit\"><a href=\"";

TEST(BrowserPages, WhichPagesGoToTheBrowserEngine)
{
    const std::string strWall = "<noscript><meta http-equiv=\"refresh\" content=\"0;url=/retry/enablejs\"></noscript>"
                                "Please click here if you are not redirected within a few seconds.";
    const std::string strShell = "<div id=\"app\"></div><SCRIPT src=\"/app.js\"></SCRIPT>";
    const struct
    {
        std::string m_strPage;
        BrowserRule m_nRule;
        bool m_bNeeds;
    } cases[] = {
        {strWall, BrowserRule::WallOnly, true},                  // a wall, whatever the rule
        {strShell, BrowserRule::WallOnly, false},                // next pages of an engine that needed none
        {strShell, BrowserRule::WallOrNoList, true},             // scripts, and the list is not there
        {strShell + kToken, BrowserRule::WallOrNoList, false},   // the list is there
        {strWall + kToken, BrowserRule::WallOnly, false},        // results that also ask for JavaScript
        {strWall, BrowserRule::Never, false},
        {"<div id=\"app\"></div>", BrowserRule::WallOrNoList, false}, // no script could write one
        {strShell + "<p>No results found for red apple.</p>", BrowserRule::WallOrNoList, false},
        {strShell + "<form action=\"/captcha\">Please confirm you are not a robot</form>", BrowserRule::WallOrNoList,
         false},                                                 // a bot check is no shell
        {"<p>plain</p>", BrowserRule::Always, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageNeedsBrowser(c.m_strPage, kToken, c.m_nRule), c.m_bNeeds) << c.m_strPage;
}

// A search over loopback engines of the script shapes, with the browser
// engine's profiles in a folder of the test's own.
struct CScriptedSearch : ::testing::Test
{
    qtest::CLoopbackServer server{qtest::ScriptPage};
    qtest::CTempDir tmp;
    std::string strOldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    std::unique_ptr<CInternetSession> pSession;
    qtest::CRecordingHost host;
    CResultRows rows;

    void SetUp() override
    {
        setenv("TMPDIR", tmp.GetPath().c_str(), 1);
        Connect(20);
    }
    void TearDown() override
    {
        EXPECT_FALSE(qtest::BrowserLeftBehind(tmp.GetPath())) << "a browser process or profile was left";
        if (strOldTmp.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", strOldTmp.c_str(), 1);
        unsetenv("QUESTREL_BROWSER_ENGINE");
    }
    void Connect(int nTimeoutSeconds, const std::string& strProxy = "")
    {
        CSessionOptions options;
        options.m_nConnectMethod = strProxy.empty() ? kConnectDirect : kConnectProxy;
        options.m_strProxy = strProxy;
        options.m_strAgent = "Questrel Test/1.0";
        options.m_bBrowserEngine = true;
        options.SetTimeoutSeconds(nTimeoutSeconds);
        pSession = OpenInternetSession(options, nullptr);
    }
    static void NeedBrowser()
    {
        if (FindBrowserEngine().empty())
            GTEST_SKIP() << "no browser engine (scripts/setup installs chromium-headless-shell)";
    }
    CSearchEngine Engine(const std::string& strName, const std::string& strPath) const
    {
        return qtest::TestEngine(strName, ResultCount, server.GetBaseUrl() + strPath, "?n=%d&q=", "", "", kToken);
    }
    CSearchJob Job(std::vector<CSearchEngine> engines)
    {
        CSearchJob job = qtest::SearchJobFor(std::move(engines), pSession.get(), &host, &rows);
        job.m_settings.m_bRemoveDups = false;
        job.m_strResultsPagePath = tmp.File("questrel.htm");
        return job;
    }
    // Each engine's outcome as the pane shows it, and its hits' addresses.
    std::map<std::string, std::string> Search(std::vector<CSearchEngine> engines, bool bOneAtATime = false,
                                              bool bBrowser = true)
    {
        rows.DeleteAllRows();
        CSearchJob job = Job(std::move(engines));
        job.m_settings.m_bOneAtATime = bOneAtATime;
        job.m_settings.m_bBrowserEngine = bBrowser;
        job.m_pOutcomes = std::make_shared<CSearchOutcomes>();
        SearchThreadProc(job);
        std::map<std::string, std::string> seen;
        for (const CEngineOutcome& outcome : job.m_pOutcomes->Get())
            seen[outcome.m_strEngine] = outcome.Describe();
        for (const CSearchHit& hit : rows.GetRows())
            seen[hit.m_strEngine] += " " + hit.m_strUrl;
        return seen;
    }
};

const std::string kFive = " https://r1.example/ https://r2.example/ https://r3.example/ https://r4.example/ "
                          "https://r5.example/";

TEST_F(CScriptedSearch, HitsComeOutAsTheBrowserShowsThem)
{
    NeedBrowser();
    const std::map<std::string, std::string> expected = {
        {"List", "5 hits, loaded with a browser engine" + kFive},
        {"Wall", "5 hits, loaded with a browser engine" + kFive},
        {"Fetched", "2 hits, loaded with a browser engine https://f1.example/ https://f2.example/"},
        {"Plain", "5 hits" + kFive},
        {"Stuck", "refused: the page asks for JavaScript, loaded with a browser engine"},
    };
    for (const bool bOneAtATime : {false, true}) {
        EXPECT_EQ(Search({Engine("List", "/list"), Engine("Wall", "/wall"), Engine("Fetched", "/fetched"),
                          Engine("Plain", "/plain"), Engine("Stuck", "/stuck")},
                         bOneAtATime),
                  expected)
            << (bOneAtATime ? "one at a time" : "side by side");
    }
}

TEST_F(CScriptedSearch, TheBrowserEngineGoesThroughTheSearchsProxyWithItsUserAgent)
{
    NeedBrowser();
    Connect(20, "127.0.0.1:" + std::to_string(server.GetPort())); // the loopback server is the proxy
    CSearchEngine engine = Engine("Fetched", "/fetched");
    engine.m_strUrl = "http://engine.example/fetched"; // a name only the proxy knows
    EXPECT_EQ(Search({engine})["Fetched"],
              "2 hits, loaded with a browser engine https://f1.example/ https://f2.example/");
    const auto requests = server.GetRequests();
    const auto scripts = std::find_if(requests.begin(), requests.end(), [](const qtest::CRecordedRequest& r) {
        return r.m_strTarget == "http://engine.example/hits"; // what the page's script fetched
    });
    ASSERT_NE(scripts, requests.end());
    EXPECT_EQ(scripts->Header("User-Agent"), "Questrel Test/1.0");
}

TEST_F(CScriptedSearch, WithoutTheBrowserEngineTheRefusalIsNamed)
{
    setenv("QUESTREL_BROWSER_ENGINE", "", 1); // none installed
    std::map<std::string, std::string> expected = {
        {"Wall", "refused: the page asks for JavaScript; no browser engine is installed (Debian: apt install "
                 "chromium-headless-shell)"},
        {"List", "no results on its page; no browser engine is installed (Debian: apt install "
                 "chromium-headless-shell)"},
    };
    EXPECT_EQ(Search({Engine("Wall", "/wall"), Engine("List", "/list")}), expected);
    unsetenv("QUESTREL_BROWSER_ENGINE");
    expected = {{"Wall", "refused: the page asks for JavaScript"}, {"List", "no results on its page"}};
    EXPECT_EQ(Search({Engine("Wall", "/wall"), Engine("List", "/list")}, false, false), expected); // turned off
}

TEST_F(CScriptedSearch, EndlessScriptsEndAtTheTimeOutAtMostTwoAtOnce)
{
    NeedBrowser();
    Connect(1);
    std::atomic<bool> bDone{false};
    std::atomic<size_t> nMost{0};
    std::thread watcher([&] {
        while (!bDone) {
            size_t nProfiles = 0;
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator(tmp.GetPath(), ec))
                nProfiles += entry.path().filename().string().rfind("questrel-browser-", 0) == 0;
            nMost = std::max<size_t>(nMost, nProfiles);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    const std::map<std::string, std::string> seen =
        Search({Engine("E1", "/endless"), Engine("E2", "/endless"), Engine("E3", "/endless")});
    bDone = true;
    watcher.join();
    EXPECT_EQ(seen.size(), 3u);
    for (const auto& [strEngine, strOutcome] : seen)
        EXPECT_EQ(strOutcome, "no results on its page; the browser engine did not finish the page in time") << strEngine;
    EXPECT_LE(nMost.load(), 2u);
    EXPECT_GE(nMost.load(), 1u);
}

TEST_F(CScriptedSearch, ALearnedDefinitionWorksThroughTheBrowserEngineAndPassesTheCheck)
{
    NeedBrowser();
    CLearnRequest request;
    request.m_strName = "Learned";
    request.m_strQuery = "red apple";
    request.m_strAddress = server.GetBaseUrl() + "/list?q=red+apple";
    const CLearnResult learned =
        LearnEngine(request, [this](const CPageRequest& page) { return FetchAnswer(*pSession, page); });
    ASSERT_EQ(learned.m_nVerdict, LearnVerdict::Learned) << learned.m_strReason;
    EXPECT_TRUE(learned.m_answer.m_bByBrowser);
    EXPECT_EQ(learned.m_hits.size(), 5u);

    EXPECT_EQ(Search({learned.m_engine})["Learned"], "5 hits, loaded with a browser engine" + kFive);
    const std::vector<CEngineCheck> checks = CheckEngines(*pSession, {learned.m_engine}, "red apple", nullptr);
    EXPECT_EQ(VerdictName(checks[0].m_nVerdict), std::string("ok"));
    EXPECT_EQ(checks[0].m_strDetail, "5 hits, loaded with a browser engine");

    // A wall the browser gets no further on stays the refusal it is.
    request.m_strAddress = server.GetBaseUrl() + "/stuck?q=red+apple";
    const CLearnResult stuck =
        LearnEngine(request, [this](const CPageRequest& page) { return FetchAnswer(*pSession, page); });
    EXPECT_EQ(stuck.m_nVerdict, LearnVerdict::Refused);
    EXPECT_EQ(stuck.m_strReason, "the page asks for JavaScript");

    // Without a browser engine the learner says what the page may need.
    request.m_strAddress = server.GetBaseUrl() + "/list?q=red+apple";
    setenv("QUESTREL_BROWSER_ENGINE", "", 1);
    const CLearnResult none =
        LearnEngine(request, [this](const CPageRequest& page) { return FetchAnswer(*pSession, page); });
    EXPECT_EQ(none.m_nVerdict, LearnVerdict::NoList);
    EXPECT_NE(none.m_strReason.find("its scripts may write one, but no browser engine is installed"),
              std::string::npos)
        << none.m_strReason;
}

} // namespace
