// SPDX-License-Identifier: MIT
// questrel-cli end to end, against the sample engines on loopback.

#include "engines/EngineCatalogue.h"
#include "results/ResultsPage.h"
#include "platform/FileUtil.h"
#include "LoopbackServer.h"
#include "SampleEngines.h"
#include "ScriptPages.h"
#include "platform/BrowserEngine.h"
#include "TestFixtures.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// Ctrl+C must end the program at once: well within this, far below the 20 s
// time-out a stalled transfer would otherwise wait for, however slow the machine.
constexpr std::chrono::seconds kFarBelowTheTimeOut{5};

struct CProcessResult
{
    int m_nExitCode = -1;
    std::string m_strOut;
    std::string m_strErr;
    std::chrono::milliseconds m_elapsedAfterSignal{0};
};

// Runs questrel-cli with the arguments in a folder. With strSignalWhen, sends
// nSignal once stderr holds that text (and alsoWhen, if given, holds). With
// bHoldStdout, stdout is not read before the signal is sent (so the program
// may block writing it).
CProcessResult RunCli(const std::vector<std::string>& args, const std::string& strCwd,
                      const std::string& strSignalWhen = "",
                      const std::vector<std::string>& extraEnv = {}, int nSignal = SIGINT,
                      bool bHoldStdout = false, const std::function<bool()>& alsoWhen = nullptr)
{
    std::vector<std::string> envStrings(extraEnv);
    for (char** p = environ; *p; ++p)
        envStrings.emplace_back(*p);
    std::vector<char*> env;
    for (std::string& s : envStrings)
        env.push_back(s.data());
    env.push_back(nullptr);

    int outPipe[2], errPipe[2];
    EXPECT_EQ(::pipe(outPipe), 0);
    EXPECT_EQ(::pipe(errPipe), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    posix_spawn_file_actions_addchdir_np(&actions, strCwd.c_str());

    std::vector<std::string> argvStrings = {QUESTREL_CLI_PATH};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argvStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int nSpawn = posix_spawn(&pid, QUESTREL_CLI_PATH, &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    CProcessResult result;
    if (nSpawn != 0) {
        ADD_FAILURE() << "cannot start " << QUESTREL_CLI_PATH;
        return result;
    }

    bool bSignalled = false;
    std::chrono::steady_clock::time_point signalTime;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool bOutOpen = true, bErrOpen = true;
    while ((bOutOpen || bErrOpen) && std::chrono::steady_clock::now() < deadline) {
        const bool bReadOut = bOutOpen && (!bHoldStdout || bSignalled);
        pollfd fds[2] = {{outPipe[0], static_cast<short>(bReadOut ? POLLIN : 0), 0},
                         {errPipe[0], static_cast<short>(bErrOpen ? POLLIN : 0), 0}};
        ::poll(fds, 2, 100);
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0)
                (i == 0 ? bOutOpen : bErrOpen) = false;
            else
                (i == 0 ? result.m_strOut : result.m_strErr).append(buffer, static_cast<size_t>(n));
        }
        if (!strSignalWhen.empty() && !bSignalled &&
            result.m_strErr.find(strSignalWhen) != std::string::npos && (!alsoWhen || alsoWhen())) {
            if (bHoldStdout) // let the program reach its output and block there
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ::kill(pid, nSignal);
            bSignalled = true;
            signalTime = std::chrono::steady_clock::now();
        }
    }
    if (bOutOpen || bErrOpen)
        ::kill(pid, SIGKILL);
    int nStatus = 0;
    ::waitpid(pid, &nStatus, 0);
    if (bSignalled)
        result.m_elapsedAfterSignal = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - signalTime);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    result.m_nExitCode = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
    return result;
}

std::vector<std::string> Lines(const std::string& strText)
{
    std::vector<std::string> lines;
    size_t nPos = 0;
    while (nPos < strText.size()) {
        const size_t nEnd = strText.find('\n', nPos);
        lines.push_back(strText.substr(nPos, nEnd - nPos));
        if (nEnd == std::string::npos)
            break;
        nPos = nEnd + 1;
    }
    return lines;
}

struct CCliFixture : ::testing::Test
{
    qtest::CSampleEngineServer sample;
    qtest::CTempDir dir;
    std::string strCatalogue = dir.File("engines.dat");

    CCliFixture() { EXPECT_TRUE(SaveEngines(strCatalogue, sample.GetCatalogue())); }

    CProcessResult Cli(std::vector<std::string> args, const std::string& strSignalWhen = "")
    {
        args.insert(args.begin(), {"--engines", strCatalogue});
        return RunCli(args, dir.GetPath(), strSignalWhen);
    }
};

} // namespace

TEST_F(CCliFixture, EnginesListsTheCatalogueInOrder)
{
    const CProcessResult result = Cli({"engines"});
    EXPECT_EQ(result.m_nExitCode, 0);
    const std::string strBase = sample.GetBaseUrl();
    EXPECT_EQ(Lines(result.m_strOut),
              (std::vector<std::string>{"Sample Count\t1\t" + strBase, "Sample Multi\t0\t" + strBase,
                                        "Sample Single\t3\t" + strBase + "/single",
                                        "Sample Start\t2\t" + strBase}));
}

TEST(Cli, EngineNamesAndAddressesReachTheTerminalEscaped)
{
    qtest::CTempDir dir;
    CSearchEngine engine = qtest::TestEngine("Evil\x1b]0;title\x07\tName", ResultCount, "http://e.example/\x1b[2J", "?n=%d");
    ASSERT_TRUE(SaveEngines(dir.File("engines.dat"), {engine}));
    const CProcessResult result = RunCli({"--engines", dir.File("engines.dat"), "engines"}, dir.GetPath());
    EXPECT_EQ(result.m_nExitCode, 0);
    EXPECT_EQ(result.m_strOut, "Evil\\x1b]0;title\\x07\\tName\t1\thttp://e.example/\\x1b[2J\n");
}

TEST_F(CCliFixture, WithoutEnginesOptionTheUsersCatalogueIsUsed)
{
    // Nothing beside the program in the build tree, so the XDG data folder counts.
    ASSERT_TRUE(SaveEngines(dir.File("data/questrel/engines.dat"), {sample.GetCatalogue()[1]}));
    const CProcessResult result =
        RunCli({"engines"}, dir.GetPath(), "", {"XDG_DATA_HOME=" + dir.File("data")});
    EXPECT_EQ(result.m_nExitCode, 0);
    EXPECT_EQ(result.m_strOut, "Sample Multi\t0\t" + sample.GetBaseUrl() + "\n");
}

TEST_F(CCliFixture, SearchPrintsRowsInListOrderAndStatusTextsOnStderr)
{
    const CProcessResult result = Cli({"search", "--direct", "--max-hits", "5", "red apple",
                                       "Sample Start", "Sample Count"});
    EXPECT_EQ(result.m_nExitCode, 0) << result.m_strErr;
    const std::vector<std::string> lines = Lines(result.m_strOut);
    // Count first (catalogue order), 5 hits; then Start: one page of 10, less the
    // shared link that Count listed already.
    ASSERT_EQ(lines.size(), 14u) << result.m_strOut;
    EXPECT_EQ(lines[0], "Result 1 about red apple\t" + sample.GetBaseUrl() +
                            "/page/count/red-apple/1\tSample Count");
    EXPECT_NE(lines[5].find("\tSample Start"), std::string::npos);
    EXPECT_NE(result.m_strErr.find("Create HTTP connection\nConnected to 127.0.0.1\n"), std::string::npos);
    EXPECT_NE(result.m_strErr.find("Find complete.\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("questrel.htm")));
}

TEST_F(CCliFixture, OrderByRankPutsWhatEnginesAgreeOnFirstAndSavesTheEngineOrder)
{
    const std::string strSaved = dir.File("ranked.qrl");
    const std::vector<std::string> args = {"search", "--direct", "-q", "--max-hits", "8", "red apple",
                                           "Sample Count", "Sample Multi"};
    std::vector<std::string> ranked = args;
    ranked.insert(ranked.begin() + 1, {"--order", "rank", "--save", strSaved});
    const CProcessResult byEngine = Cli(args);
    const CProcessResult byRank = Cli(ranked);
    ASSERT_EQ(byRank.m_nExitCode, 0) << byRank.m_strErr;
    const std::vector<std::string> engineLines = Lines(byEngine.m_strOut);
    const std::vector<std::string> rankLines = Lines(byRank.m_strOut);
    ASSERT_GE(rankLines.size(), 3u);
    // The same rows; the page both engines listed fourth ties with each engine's
    // first (2 x (1/4 + 1/4) = 1) and keeps its place in engine order between them.
    EXPECT_EQ(std::multiset<std::string>(rankLines.begin(), rankLines.end()),
              std::multiset<std::string>(engineLines.begin(), engineLines.end()));
    const std::string strBase = sample.GetBaseUrl();
    EXPECT_NE(rankLines[0].find("\t" + strBase + "/page/count/red-apple/1\t"), std::string::npos) << rankLines[0];
    EXPECT_NE(rankLines[1].find("\t" + strBase + "/page/shared/red-apple/4\t"), std::string::npos) << rankLines[1];
    EXPECT_NE(rankLines[2].find("\t" + strBase + "/page/multi/red-apple/1\t"), std::string::npos) << rankLines[2];
    // The document keeps the engines' order.
    const CProcessResult shown = RunCli({"show", strSaved}, dir.GetPath());
    EXPECT_NE(shown.m_strOut.find(engineLines[1]), std::string::npos);
    EXPECT_LT(shown.m_strOut.find(engineLines[1]), shown.m_strOut.find(engineLines[2]));

    EXPECT_EQ(Cli({"search", "--order", "score", "x"}).m_nExitCode, 2);
}

TEST_F(CCliFixture, JsonQuietAndResultsPage)
{
    const CProcessResult result = Cli({"search", "--direct", "--json", "-q", "--results-page",
                                       "--option", "phrase", "red apple", "Sample Count"});
    EXPECT_EQ(result.m_nExitCode, 0);
    EXPECT_EQ(result.m_strErr, "");
    EXPECT_EQ(result.m_strOut.substr(0, 17), "[\n {\"description\"");
    // The keys of the first release, then the engines that listed the hit.
    EXPECT_NE(result.m_strOut.find("\"engine\":\"Sample Count\",\"found_by\":[{\"engine\":\"Sample Count\",\"position\":1}]}"),
              std::string::npos);
    const std::string strPage = qtest::ReadFile(dir.File("questrel.htm"));
    EXPECT_EQ(strPage.substr(0, std::string(kResultsPageHead).size() + 64), kResultsPageHead + std::string(63, '-') + "\n");
    EXPECT_NE(strPage.find("Results for red apple"), std::string::npos);
}

TEST_F(CCliFixture, UsageErrorsAndEmptyCatalogue)
{
    const CProcessResult unknown = Cli({"search", "q", "sample cont"});
    EXPECT_EQ(unknown.m_nExitCode, 2);
    EXPECT_EQ(unknown.m_strErr,
              "questrel-cli: unknown engine 'sample cont'; did you mean Sample Count?\nTry 'questrel-cli --help'.\n");
    const CProcessResult help = Cli({"--help"});
    EXPECT_EQ(help.m_nExitCode, 0);
    EXPECT_EQ(help.m_strOut.rfind("usage: questrel-cli", 0), 0u);
    const CProcessResult version = Cli({"--version"});
    EXPECT_EQ(version.m_nExitCode, 0);
    EXPECT_EQ(version.m_strOut.rfind("questrel-cli 2.", 0), 0u);
    // A name that differs only in case is the engine.
    EXPECT_EQ(Cli({"search", "--direct", "-q", "--max-hits=3", "red", "sample count"}).m_nExitCode, 0);
    EXPECT_EQ(Cli({"search", "--max-hits", "0", "q"}).m_nExitCode, 2);
    EXPECT_EQ(Cli({"bogus"}).m_nExitCode, 2);
    EXPECT_EQ(Cli({"search", "--browser-engine", "always", "q"}).m_strErr,
              "questrel-cli: unknown browser engine use 'always' (auto or never)\nTry 'questrel-cli --help'.\n");

    qtest::WriteFile(strCatalogue, "");
    const CProcessResult empty = Cli({"search", "--direct", "q"});
    EXPECT_EQ(empty.m_nExitCode, 1);
    EXPECT_EQ(empty.m_strErr, "questrel: no engine to search: the catalogue " + strCatalogue +
                                  " holds none (name one with --engines FILE)\n");
}

TEST_F(CCliFixture, AFailedEngineSaysWhyAndTheOthersStillCount)
{
    std::vector<CSearchEngine> engines = sample.GetCatalogue();
    engines[0].m_strUrl = "ftp://nowhere.example";
    ASSERT_TRUE(SaveEngines(strCatalogue, engines));
    const CProcessResult result = Cli({"search", "--direct", "-q", "x", "Sample Count", "Sample Start"});
    EXPECT_EQ(result.m_nExitCode, 0);
    EXPECT_EQ(result.m_strErr, "questrel: Invalid URL\nquestrel: Sample Count: Invalid URL\n");
    EXPECT_EQ(Lines(result.m_strOut).size(), 20u); // two pages of Sample Start
}

TEST(Cli, CtrlCCancelsAStalledSearchAndPrintsTheRowsFound)
{
    qtest::CLoopbackServer server([](const qtest::CRecordedRequest& request) {
        std::string page;
        for (int i = 1; i <= 3; ++i)
            page += "<li><a href=\"http://x.example/" + request.m_strPath.substr(1) + std::to_string(i) +
                    "\">hit</a></li>";
        if (request.m_strPath == "/fast")
            return qtest::CReply::Ok(page);
        qtest::CReply stall = qtest::CReply::Ok(page + std::string(5000, ' '), false);
        stall.m_nStallAfter = 10;
        return stall;
    });
    qtest::CTempDir dir;
    std::vector<CSearchEngine> engines(2);
    for (int i = 0; i < 2; ++i) {
        engines[i].m_strName = i == 0 ? "A fast" : "B stall";
        engines[i].m_strUrl = server.GetBaseUrl() + (i == 0 ? "/fast" : "/stall");
        engines[i].m_strPrefix = "?n=%d";
        engines[i].m_nSearchType = ResultCount;
        engines[i].m_strStartToken = "<li><a href=\"http";
        engines[i].m_strEndToken = "</a>";
    }
    ASSERT_TRUE(SaveEngines(dir.File("engines.dat"), engines));
    const CProcessResult result =
        RunCli({"--engines", dir.File("engines.dat"), "search", "--direct", "--one-at-a-time", "q"}, dir.GetPath(),
               "Retrieving results from " + server.GetBaseUrl() + "/stall");
    EXPECT_EQ(result.m_nExitCode, 130) << result.m_strErr;
    EXPECT_LT(result.m_elapsedAfterSignal, kFarBelowTheTimeOut);
    EXPECT_NE(result.m_strErr.find("Find cancelled.\n"), std::string::npos);
    EXPECT_EQ(Lines(result.m_strOut).size(), 3u) << result.m_strOut;
}

TEST(Cli, CtrlCEndsABrowserLoadAndLeavesNothingBehind)
{
    if (FindBrowserEngine().empty())
        GTEST_SKIP() << "no browser engine (scripts/setup installs chromium-headless-shell)";
    qtest::CLoopbackServer server(qtest::ScriptPage);
    qtest::CTempDir dir, tmp;
    const std::string strEndless = server.GetBaseUrl() + "/endless";
    ASSERT_TRUE(SaveEngines(dir.File("engines.dat"),
                            {qtest::TestEngine("Endless", ResultCount, strEndless, "?q=", "", "", qtest::kScriptHitToken)}));
    const std::vector<std::string> env = {"TMPDIR=" + tmp.GetPath()};
    // The search, then the learner, each stopped while the browser engine runs the page
    // (its profile is there).
    const std::vector<std::vector<std::string>> commands = {
        {"--engines", dir.File("engines.dat"), "search", "--direct", "red apple"},
        {"--engines", dir.File("engines.dat"), "learn-engine", "--direct", "E", "red apple", strEndless + "?q=red+apple"},
    };
    for (const auto& args : commands) {
        const CProcessResult result = RunCli(args, dir.GetPath(), " in a browser engine", env, SIGINT, false,
                                             [&tmp] { return qtest::BrowserLeftBehind(tmp.GetPath()); });
        EXPECT_EQ(result.m_nExitCode, 130) << result.m_strErr;
        EXPECT_FALSE(qtest::BrowserLeftBehind(tmp.GetPath())) << args[2];
    }
}

TEST_F(CCliFixture, VerifyLinksDeletesTheDeadHits)
{
    const CProcessResult result = Cli({"search", "--direct", "--verify-links", "--max-hits", "10",
                                       "red apple", "Sample Count"});
    EXPECT_EQ(result.m_nExitCode, 0);
    const std::vector<std::string> lines = Lines(result.m_strOut);
    EXPECT_EQ(lines.size(), 9u); // hit 7 links to a page that answers 404
    EXPECT_EQ(result.m_strOut.find("/gone/"), std::string::npos);
    EXPECT_NE(result.m_strErr.find("Verifying URLs exist\n"), std::string::npos);
    EXPECT_NE(result.m_strErr.find("/gone/count/red-apple/7 does not exist.  Deleting it from the list.\n"),
              std::string::npos);
}

TEST_F(CCliFixture, SavedSearchShowsAsStored)
{
    const std::string strFile = dir.File("saved.qrl");
    const CProcessResult search = Cli({"search", "--direct", "-q", "--max-hits", "3", "--option", "any",
                                       "--save", strFile, "red\tapple", "Sample Count", "Sample Start"});
    ASSERT_EQ(search.m_nExitCode, 0) << search.m_strErr;

    const CProcessResult show = RunCli({"show", strFile}, dir.GetPath());
    EXPECT_EQ(show.m_nExitCode, 0);
    const std::vector<std::string> lines = Lines(show.m_strOut);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Max Hits\t3");
    EXPECT_EQ(lines[1], "Search Option\t1");
    EXPECT_EQ(lines[2], "Criteria\tred\\tapple");
    EXPECT_EQ(lines[3], "Engines\tSample Count\tSample Start");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()), Lines(search.m_strOut));

    const CProcessResult json = RunCli({"show", "--json", strFile}, dir.GetPath());
    EXPECT_EQ(json.m_nExitCode, 0);
    const std::string strHead = "{\"maxHits\":3,\"searchOption\":1,\"criteria\":\"red\\tapple\","
                                "\"engines\":[\"Sample Count\",\"Sample Start\"],\n \"hits\":[";
    EXPECT_EQ(json.m_strOut.substr(0, strHead.size()), strHead);
    EXPECT_EQ(json.m_strOut.substr(json.m_strOut.size() - 3), "]}\n");
}

TEST_F(CCliFixture, DamagedDocumentIsRefused)
{
    qtest::WriteFile(dir.File("bad.qrl"), std::string("\x14\0\0\0\0\0\0\0\xff\xff\xff\x7f", 12));
    for (const std::string& strFile : {dir.File("bad.qrl"), dir.File("missing.qrl"), std::string("/dev/zero")}) {
        const CProcessResult result = RunCli({"show", strFile}, dir.GetPath());
        EXPECT_EQ(result.m_nExitCode, 1);
        EXPECT_EQ(result.m_strErr, "questrel: Failed to open document.\n");
        EXPECT_EQ(result.m_strOut, "");
    }
    const CProcessResult unsaved =
        Cli({"search", "--direct", "-q", "--save", dir.File("no/such/dir/x.qrl"), "q", "Sample Count"});
    EXPECT_EQ(unsaved.m_nExitCode, 1);
    EXPECT_EQ(unsaved.m_strErr, "questrel: Failed to save document.\n");
}

TEST_F(CCliFixture, EveryEngineFailedExitsThreeAndSaysWhy)
{
    qtest::CLoopbackServer refusing([](const qtest::CRecordedRequest& request) {
        if (request.m_strPath.rfind("/bot", 0) == 0)
            return qtest::CReply::Ok("<html>Are you a robot?</html>");
        if (request.m_strPath.rfind("/empty", 0) == 0)
            return qtest::CReply::Ok("<html>Nothing was found.</html>");
        return qtest::CReply::Make(403, "<html>automated queries</html>");
    });
    std::vector<CSearchEngine> engines = sample.GetCatalogue();
    engines[0].m_strUrl = refusing.GetBaseUrl() + "/refuse"; // Sample Count
    engines[1].m_strUrl = refusing.GetBaseUrl() + "/bot";    // Sample Multi
    engines[2].m_strUrl = refusing.GetBaseUrl() + "/empty";  // Sample Single
    ASSERT_TRUE(SaveEngines(strCatalogue, engines));

    // Refused with a status, or with a bot check answered 200: every engine failed.
    const CProcessResult failed = Cli({"search", "--direct", "-q", "x", "Sample Count", "Sample Multi"});
    EXPECT_EQ(failed.m_nExitCode, 3);
    EXPECT_EQ(failed.m_strOut, "");
    EXPECT_EQ(failed.m_strErr,
              "questrel: Sample Count: HTTP 403 Forbidden\nquestrel: Sample Multi: refused: the page is a bot check\n");

    // An engine with no results on its page has answered: not a failure.
    const CProcessResult answered = Cli({"search", "--direct", "-q", "x", "Sample Count", "Sample Single"});
    EXPECT_EQ(answered.m_nExitCode, 0);
    EXPECT_EQ(answered.m_strErr,
              "questrel: Sample Count: HTTP 403 Forbidden\nquestrel: Sample Single: no results on its page\n");
}

// An error of the transfer after the status line (a redirect without end, a
// connection reset in the body) fails the engine every time, said once, in
// the search, check-engines and learn-engine alike.
// Messages in the user's language; what machines read (the JSON hits, the
// exit codes) the same in every one.
TEST_F(CCliFixture, SpeaksTheUsersLanguageAndWritesTheSameJson)
{
    auto run = [this](const char* pszLocale, std::vector<std::string> args) {
        args.insert(args.begin(), {"--engines", strCatalogue});
        return RunCli(args, dir.GetPath(), "", {std::string("LC_ALL=") + pszLocale, "LANGUAGE="});
    };
    const std::vector<std::string> search = {"search", "--direct", "-q", "--json", "red apple", "Sample Multi"};
    const CProcessResult english = run("C", search);
    ASSERT_EQ(english.m_nExitCode, 0) << english.m_strErr;
    const struct
    {
        const char* pszLocale;
        const char* pszUsage;
        const char* pszError;
    } languages[] = {
        {"de_DE.UTF-8", "Aufruf: questrel-cli",
         "questrel-cli: search braucht eine SUCHANFRAGE\nMehr dazu mit \u201equestrel-cli --help\u201c.\n"},
        {"fr_FR.UTF-8", "utilisation\u00a0: questrel-cli",
         "questrel-cli: search attend une REQU\u00caTE\nEssayez \u00ab\u00a0questrel-cli --help\u00a0\u00bb.\n"},
    };
    for (const auto& language : languages) {
        const CProcessResult help = run(language.pszLocale, {"--help"});
        EXPECT_EQ(help.m_strOut.rfind(language.pszUsage, 0), 0u) << help.m_strOut.substr(0, 80);
        const CProcessResult error = run(language.pszLocale, {"search"});
        EXPECT_EQ(error.m_nExitCode, 2);
        EXPECT_EQ(error.m_strErr, language.pszError);
        const CProcessResult json = run(language.pszLocale, search);
        EXPECT_EQ(json.m_nExitCode, 0) << json.m_strErr;
        EXPECT_EQ(json.m_strOut, english.m_strOut) << language.pszLocale;
    }
}

TEST_F(CCliFixture, ATransferErrorAfterTheStatusLineIsAFailureEveryTime)
{
    qtest::CLoopbackServer server([](const qtest::CRecordedRequest& request) {
        if (request.m_strPath.rfind("/loop", 0) == 0)
            return qtest::CReply::Redirect(302, "/loop?again=" + std::to_string(request.m_strTarget.size()));
        qtest::CReply reply = qtest::CReply::Ok("<li><a href=\"http://a.example/\">A result</a></li>" + std::string(4000, ' '));
        reply.m_nResetAfter = 60;
        return reply;
    });
    std::vector<CSearchEngine> engines = sample.GetCatalogue();
    engines[0].m_strUrl = server.GetBaseUrl() + "/loop"; // Sample Count
    engines[1].m_strUrl = server.GetBaseUrl() + "/reset"; // Sample Multi
    ASSERT_TRUE(SaveEngines(strCatalogue, engines));
    for (int nRun = 0; nRun < 4; ++nRun) {
        const CProcessResult loop = Cli({"search", "--direct", "-q", "x", "Sample Count"});
        EXPECT_EQ(loop.m_nExitCode, 3) << loop.m_strErr;
        EXPECT_EQ(loop.m_strErr, "questrel: Sample Count: Maximum (10) redirects followed\n");
    }
    const CProcessResult checked = Cli({"check-engines", "--direct", "Sample Count", "Sample Multi"});
    const std::vector<std::string> lines = Lines(checked.m_strOut);
    ASSERT_EQ(lines.size(), 2u) << checked.m_strOut;
    EXPECT_EQ(lines[0], "Sample Count\tfailed\tMaximum (10) redirects followed");
    EXPECT_EQ(lines[1].rfind("Sample Multi\tfailed\t", 0), 0u) << lines[1];
    const CProcessResult learned =
        Cli({"learn-engine", "--direct", "Loop", "red apple", server.GetBaseUrl() + "/loop?q=red+apple"});
    EXPECT_EQ(learned.m_nExitCode, 1);
    EXPECT_EQ(learned.m_strErr, "questrel: Loop: Maximum (10) redirects followed\n");
}

TEST_F(CCliFixture, UserAgentIsSentWithEveryRequest)
{
    const CProcessResult result = Cli({"search", "--direct", "-q", "--user-agent", "Probe/1.0 (test)",
                                       "--max-hits", "12", "x", "Sample Multi"});
    EXPECT_EQ(result.m_nExitCode, 0) << result.m_strErr;
    const std::vector<qtest::CRecordedRequest> requests = sample.GetServer().GetRequests();
    ASSERT_EQ(requests.size(), 2u);
    for (const qtest::CRecordedRequest& request : requests)
        EXPECT_EQ(request.Header("User-Agent"), "Probe/1.0 (test)");

    Cli({"search", "--direct", "-q", "x", "Sample Count"});
    EXPECT_EQ(sample.GetServer().GetRequests().back().Header("User-Agent"), "Internet Questrel/2.0a");
    EXPECT_EQ(Cli({"search", "--user-agent", "a\r\nX-Injected: 1", "x"}).m_nExitCode, 2);
}

TEST_F(CCliFixture, CatalogueFallsBackOnTheShippedOneAndAnUnreadableOneIsAnError)
{
    // No catalogue of the user's: the one shipped beside the program (the build
    // tree's share/questrel/) is used.
    const CProcessResult shipped =
        RunCli({"engines"}, dir.GetPath(), "", {"XDG_DATA_HOME=" + dir.File("nothing-here")});
    EXPECT_EQ(shipped.m_nExitCode, 0);
    EXPECT_NE(shipped.m_strOut.find("DuckDuckGo Lite\t2\thttps://lite.duckduckgo.com/lite/\n"), std::string::npos)
        << shipped.m_strOut;

    const std::string strMissing = dir.File("missing.dat");
    EXPECT_EQ(RunCli({"--engines", strMissing, "search", "--direct", "x"}, dir.GetPath()).m_nExitCode, 1);
    const CProcessResult unreadable = RunCli({"--engines", strMissing, "engines"}, dir.GetPath());
    EXPECT_EQ(unreadable.m_nExitCode, 1);
    EXPECT_EQ(unreadable.m_strErr, "questrel: cannot read the engine catalogue " + strMissing + "\n");
    const CProcessResult endless = RunCli({"--engines", "/dev/zero", "engines"}, dir.GetPath());
    EXPECT_EQ(endless.m_nExitCode, 1);
    EXPECT_EQ(endless.m_strErr, "questrel: cannot read the engine catalogue /dev/zero\n");
}

TEST(Cli, CtrlCDuringAStalledNameLookUpEndsAtOnce)
{
    qtest::CTempDir dir;
    const CSearchEngine engine = qtest::TestEngine("Stalled", ResultCount, "http://engine.stall.test/search", "?n=%d");
    ASSERT_TRUE(SaveEngines(dir.File("engines.dat"), {engine}));
    const CProcessResult result =
        RunCli({"--engines", dir.File("engines.dat"), "search", "--direct", "q"}, dir.GetPath(),
               "Sending request to http://engine.stall.test/search",
               {std::string("LD_PRELOAD=") + QUESTREL_STALL_RESOLVER_PATH, "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
    EXPECT_EQ(result.m_nExitCode, 130) << result.m_strErr;
    EXPECT_LT(result.m_elapsedAfterSignal, kFarBelowTheTimeOut);
    EXPECT_NE(result.m_strErr.find("Find cancelled.\n"), std::string::npos);
}

TEST(Cli, ASignalWhileTheRowsAreWrittenEndsTheProgram)
{
    // 2048 long rows: more than a pipe holds, so the program blocks writing them
    // while nobody reads; the signal must end it there.
    qtest::CLoopbackServer server([](const qtest::CRecordedRequest&) {
        std::string page;
        for (int i = 0; i < 2048; ++i)
            page += "<li><a href=\"http://x.example/" + std::to_string(i) + "\">" + std::string(300, 'd') + "</a></li>";
        return qtest::CReply::Ok(page);
    });
    qtest::CTempDir dir;
    const CSearchEngine engine = qtest::TestEngine("Many", ResultCount, server.GetBaseUrl() + "/many", "?n=%d");
    ASSERT_TRUE(SaveEngines(dir.File("engines.dat"), {engine}));
    for (const int nSignal : {SIGINT, SIGTERM}) {
        const CProcessResult result = RunCli({"--engines", dir.File("engines.dat"), "search", "--direct", "--all-hits", "q"},
                                             dir.GetPath(), "Find complete.", {}, nSignal, true);
        EXPECT_EQ(result.m_nExitCode, 128 + nSignal);
        EXPECT_LT(result.m_elapsedAfterSignal, kFarBelowTheTimeOut);
    }
}

TEST(Cli, TheSystemsSettingsMeanTheDesktopsProxyAndTheEnvironments)
{
    // A proxy on loopback answers every request with one hit.
    qtest::CLoopbackServer proxy([](const qtest::CRecordedRequest&) {
        return qtest::CReply::Ok("<li><a href=\"http://via.proxy.example/\">Through the proxy</a></li>");
    });
    qtest::CTempDir dir;
    const CSearchEngine engine = qtest::TestEngine("Far", ResultCount, "http://engine.example/search", "?n=%d");
    ASSERT_TRUE(SaveEngines(dir.File("engines.dat"), {engine}));
    const std::string strProxy = "127.0.0.1:" + std::to_string(proxy.GetPort());
    auto search = [&](std::vector<std::string> env) {
        // No proxy of the machine running the tests takes part.
        for (const char* pszName : {"no_proxy=", "NO_PROXY=", "http_proxy=", "https_proxy=", "HTTPS_PROXY=",
                                    "all_proxy=", "ALL_PROXY=", "HTTP_PROXY=", "XDG_CURRENT_DESKTOP=",
                                    "GSETTINGS_BACKEND=memory"})
            env.push_back(pszName);
        return RunCli({"--engines", dir.File("engines.dat"), "search", "-q", "--timeout", "2", "x"}, dir.GetPath(),
                      "", env);
    };

    // GNOME's settings (org.gnome.system.proxy), read through GIO.
    ASSERT_TRUE(WriteFileAtomically(dir.File("config/glib-2.0/settings/keyfile"),
                                    "[system/proxy]\nmode='manual'\n\n[system/proxy/http]\nhost='127.0.0.1'\nport=" +
                                        std::to_string(proxy.GetPort()) + "\n",
                                    true));
    const CProcessResult gnome = search({"XDG_CURRENT_DESKTOP=GNOME", "GSETTINGS_BACKEND=keyfile",
                                         "XDG_CONFIG_HOME=" + dir.File("config")});
    EXPECT_EQ(gnome.m_nExitCode, 0) << gnome.m_strErr;
    EXPECT_EQ(gnome.m_strOut, "Through the proxy\thttp://via.proxy.example/\tFar\n");
    ASSERT_EQ(proxy.GetRequestCount(), 1u);
    EXPECT_EQ(proxy.GetRequests()[0].m_strRequestLine, "GET http://engine.example/search?n=20x HTTP/1.0");

    // The environment's http_proxy.
    const CProcessResult environment = search({"http_proxy=http://" + strProxy});
    EXPECT_EQ(environment.m_nExitCode, 0) << environment.m_strErr;
    EXPECT_EQ(proxy.GetRequestCount(), 2u);

    // Upper-case HTTP_PROXY stays ignored: the engine (on loopback, so nothing is
    // looked up) is asked directly.
    qtest::CLoopbackServer direct([](const qtest::CRecordedRequest&) {
        return qtest::CReply::Ok("<li><a href=\"http://direct.example/\">Directly</a></li>");
    });
    ASSERT_TRUE(SaveEngines(dir.File("engines.dat"),
                            {qtest::TestEngine("Far", ResultCount, direct.GetBaseUrl() + "/search", "?n=%d")}));
    const CProcessResult ignored = search({"HTTP_PROXY=http://" + strProxy});
    EXPECT_EQ(ignored.m_nExitCode, 0) << ignored.m_strErr;
    EXPECT_EQ(ignored.m_strOut, "Directly\thttp://direct.example/\tFar\n");
    EXPECT_EQ(proxy.GetRequestCount(), 2u);
}

TEST(Cli, LearnEngineWritesARecordThatSearchesThePage)
{
    std::string strResults;
    for (int i = 0; i < 5; ++i)
        strResults += "<div class=\"r\"><h3><a href=\"https://site" + std::to_string(i) + ".example/\">Red apple " +
                      std::to_string(i) + "</a></h3><p>About red apples.</p></div>";
    const std::string strPage = "<html><a href=\"/settings\">Settings</a>" + strResults +
                                "<a href=\"/search?q=red+apple&amp;s=5\">Next</a></html>";
    qtest::CLoopbackServer server([&strPage](const qtest::CRecordedRequest& request) {
        if (request.m_strPath == "/bot")
            return qtest::CReply::Ok("<html><p>Please confirm you are human.</p><form id='challenge-form'></form></html>");
        if (request.m_strPath == "/gone")
            return qtest::CReply::Make(403, "refused");
        if (request.m_strPath == "/plain")
            return qtest::CReply::Ok("<html><p>Hello</p></html>");
        if (request.m_strQuery.find("s=5") != std::string::npos) // the next page, asked once to check the paging
            return qtest::CReply::Ok("<div class=\"r\"><h3><a href=\"https://site9.example/\">Red apple 9</a></h3></div>");
        return qtest::CReply::Ok(strPage);
    });
    qtest::CTempDir dir;
    const std::string strAddress = server.GetBaseUrl() + "/search?q=red+apple";
    const CProcessResult learned =
        RunCli({"--engines", dir.File("engines.dat"), "learn-engine", "--direct", "--add", "Apples", "red apple", strAddress},
               dir.GetPath());
    ASSERT_EQ(learned.m_nExitCode, 0) << learned.m_strErr;
    const std::vector<CSearchEngine> record = ParseEngines(learned.m_strOut);
    ASSERT_EQ(record.size(), 1u) << learned.m_strOut;
    EXPECT_EQ(record[0].m_strName, "Apples");
    EXPECT_EQ(record[0].m_nSearchType, StartNumber);
    EXPECT_NE(learned.m_strErr.find("Apples: 5 hits on the page"), std::string::npos) << learned.m_strErr;
    // Added to the catalogue; a second --add of the name is refused.
    std::vector<CSearchEngine> catalogue;
    ASSERT_TRUE(LoadEngines(dir.File("engines.dat"), catalogue));
    ASSERT_EQ(catalogue.size(), 1u);
    EXPECT_EQ(RunCli({"--engines", dir.File("engines.dat"), "learn-engine", "--direct", "--add", "Apples", "red apple",
                      strAddress},
                     dir.GetPath())
                  .m_nExitCode,
              1);

    // The record searches the page as learned.
    const CProcessResult searched =
        RunCli({"--engines", dir.File("engines.dat"), "search", "--direct", "-q", "red apple", "Apples"}, dir.GetPath());
    EXPECT_EQ(searched.m_nExitCode, 0) << searched.m_strErr;
    EXPECT_EQ(Lines(searched.m_strOut).size(), 6u) << searched.m_strOut; // and the one of its next page

    // Refusals: exit 3, a reason, no record; nothing like results: exit 1.
    for (const char* pszPath : {"/bot", "/gone"}) {
        const CProcessResult refused =
            RunCli({"learn-engine", "--direct", "Apples", "red apple", server.GetBaseUrl() + pszPath + "?q=red+apple"},
                   dir.GetPath());
        EXPECT_EQ(refused.m_nExitCode, 3) << pszPath;
        EXPECT_EQ(refused.m_strOut, "");
        EXPECT_EQ(refused.m_strErr.rfind("questrel: Apples: ", 0), 0u) << refused.m_strErr;
    }
    EXPECT_EQ(RunCli({"learn-engine", "--direct", "Apples", "red apple", server.GetBaseUrl() + "/plain?q=red+apple"},
                     dir.GetPath())
                  .m_nExitCode,
              1);
    EXPECT_EQ(RunCli({"learn-engine", "--direct", "Apples", "red apple", server.GetBaseUrl() + "/search?q=pears"},
                     dir.GetPath())
                  .m_nExitCode,
              2);
}

TEST_F(CCliFixture, CheckEnginesSaysWhichEnginesWorkAndWhyNot)
{
    std::vector<CSearchEngine> engines = sample.GetCatalogue();
    engines[1].m_strStartToken = "<li><a class=\"gone\" href=\""; // Sample Multi: markup changed
    ASSERT_TRUE(SaveEngines(strCatalogue, engines));
    const CProcessResult result = Cli({"check-engines", "--direct", "Sample Count", "Sample Multi"});
    EXPECT_EQ(result.m_nExitCode, 4) << result.m_strErr;
    EXPECT_EQ(Lines(result.m_strOut),
              (std::vector<std::string>{"Sample Count\tok\t20 hits", "Sample Multi\tno-hits\tstart token not on the page"}));
    const CProcessResult ok = Cli({"check-engines", "--direct", "--json", "-v", "Sample Count"});
    EXPECT_EQ(ok.m_nExitCode, 0);
    EXPECT_NE(ok.m_strOut.find("\"verdict\":\"ok\""), std::string::npos) << ok.m_strOut;
    EXPECT_NE(ok.m_strOut.find("\"startTokens\":"), std::string::npos);

    // --mend learns the broken one anew and shows old and new; --apply writes
    // it (the engine that works is not touched), after which it works again.
    const CProcessResult shown = Cli({"check-engines", "--direct", "--mend", "Sample Multi"});
    EXPECT_NE(shown.m_strOut.find("Sample Multi: mend\n  old: start <li><a class=\"gone\" href=\""), std::string::npos)
        << shown.m_strOut;
    EXPECT_NE(shown.m_strOut.find("  new: start "), std::string::npos) << shown.m_strOut;
    std::vector<CSearchEngine> unchanged;
    ASSERT_TRUE(LoadEngines(strCatalogue, unchanged));
    EXPECT_EQ(unchanged, engines);
    const CProcessResult applied = Cli({"check-engines", "--direct", "--mend", "--apply", "Sample Multi", "Sample Count"});
    EXPECT_NE(applied.m_strErr.find("1 engine mended in "), std::string::npos) << applied.m_strErr;
    std::vector<CSearchEngine> mended;
    ASSERT_TRUE(LoadEngines(strCatalogue, mended));
    ASSERT_EQ(mended.size(), engines.size());
    for (size_t i = 0; i < engines.size(); ++i) {
        if (engines[i].m_strName != "Sample Multi") {
            EXPECT_EQ(mended[i], engines[i]) << engines[i].m_strName;
        }
    }
    EXPECT_EQ(Cli({"check-engines", "--direct", "Sample Multi"}).m_strOut.rfind("Sample Multi\tok\t", 0), 0u);
    EXPECT_EQ(Cli({"check-engines", "--direct", "--apply"}).m_nExitCode, 2); // --apply alone is a usage error
}
