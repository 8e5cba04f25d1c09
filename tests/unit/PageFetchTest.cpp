// SPDX-License-Identifier: MIT
#include "Compression.h"
#include "FetchContext.h"
#include "engines/SearchEngine.h"
#include "LoopbackServer.h"
#include "platform/CancelSignal.h"
#include "platform/Clock.h"
#include "platform/InternetClient.h"
#include "results/ResultsPage.h"
#include "platform/TextUtil.h"
#include "search/PageCharset.h"
#include "search/PageFetch.h"
#include "search/QueryComposer.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"
#include "TestFixtures.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

using qtest::CReply;

namespace {

using Strings = std::vector<std::string>;

struct CFetchFixture : ::testing::Test, qtest::CFetchContext
{
    qtest::CLoopbackServer server{nullptr};
    CSearchEngine engine;

    CFetchFixture() { engine.m_strUrl = "ENGINE"; }

    // A session whose time-outs (20 s) are measured by the clock.
    void UseClock(const IClock& clock)
    {
        CSessionOptions options;
        options.m_nConnectMethod = kConnectDirect;
        options.SetTimeoutSeconds(20);
        options.m_pClock = &clock;
        pSession = OpenInternetSession(options, nullptr);
        fs.m_pSession = pSession.get();
    }

    void Serve(const CReply& reply)
    {
        server.SetHandler([reply](const qtest::CRecordedRequest&) { return reply; });
    }

    bool Fetch(const std::string& strPath)
    {
        EXPECT_TRUE(ParseRequestTarget(fs, server.GetBaseUrl() + strPath));
        EXPECT_TRUE(ConnectToServer(fs, fs.m_strServer));
        return FetchPage(fs, engine);
    }

    // A fetch during which the clock runs past the time-out again and again,
    // once the server has fallen silent: whatever came before the silence is
    // read first, however slowly, and then the transfer times out.
    bool FetchUntilTimedOut(const std::string& strPath)
    {
        const size_t nSilences = server.GetSilencesBegun();
        std::atomic<bool> bDone{false};
        std::thread mover([&] {
            qtest::WaitFor([&] { return server.GetSilencesBegun() > nSilences; }, std::chrono::seconds(60));
            while (!bDone) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                clock.Advance(std::chrono::seconds(21));
            }
        });
        const bool bResult = Fetch(strPath);
        bDone = true;
        mover.join();
        return bResult;
    }

    // The status texts after the connection texts.
    Strings FetchTexts() const
    {
        Strings texts = host.GetStatusTexts();
        EXPECT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[0], "Create HTTP connection");
        EXPECT_EQ(texts[1], "Connected to 127.0.0.1");
        return Strings(texts.begin() + 2, texts.end());
    }
};

} // namespace

TEST_F(CFetchFixture, BlockReadsReportProgressAfterEveryRead)
{
    CReply reply = CReply::Ok(std::string(2500, 'a'), false);
    reply.m_nChunkSize = 700; // however the bytes arrive, reads are 1024, 1024, 452, 0
    reply.m_nChunkDelayMs = 5;
    Serve(reply);
    EXPECT_TRUE(Fetch("/page"));
    EXPECT_EQ(fs.m_answer.m_strText, std::string(2500, 'a'));
    EXPECT_EQ(FetchTexts(), (Strings{"Sending request to ENGINE", "Retrieving results from ENGINE",
                                     "1K read from ENGINE", "2K read from ENGINE",
                                     "2K read from ENGINE", "2K read from ENGINE", "Find complete."}));
}

TEST_F(CFetchFixture, AnnouncedLengthIsReadInOneGoWithoutProgress)
{
    Serve(CReply::Ok("<html>hello</html>"));
    EXPECT_TRUE(Fetch("/page"));
    EXPECT_EQ(fs.m_answer.m_strText, "<html>hello</html>");
    EXPECT_EQ(FetchTexts(), (Strings{"Sending request to ENGINE", "Retrieving results from ENGINE",
                                     "Find complete."}));

    Serve(CReply::Ok(""));
    EXPECT_TRUE(Fetch("/empty"));
    EXPECT_EQ(fs.m_answer.m_strText, "");
}

TEST_F(CFetchFixture, NulBytesAreRemovedAndTheTextAroundThemJoined)
{
    const std::string strBody("ab\0\0cd\0e", 8);
    Serve(CReply::Ok(strBody, true));
    EXPECT_TRUE(Fetch("/cl"));
    EXPECT_EQ(fs.m_answer.m_strText, "abcde");
    Serve(CReply::Ok(strBody, false));
    EXPECT_TRUE(Fetch("/blocks"));
    EXPECT_EQ(fs.m_answer.m_strText, "abcde");

    // A whole block of NUL bytes does not end the page early.
    Serve(CReply::Ok(std::string(2048, '\0') + "after", false));
    EXPECT_TRUE(Fetch("/nuls"));
    EXPECT_EQ(fs.m_answer.m_strText, "after");
}

TEST(PageCharset, EveryPageIsReadAsUtf8)
{
    const struct
    {
        const char* m_pszContentType;
        std::string m_strPage;
        std::string m_strText;
    } cases[] = {
        {"text/html; charset=ISO-8859-1", "caf\xe9 \x93quoted\x94", "caf\u00e9 \u201cquoted\u201d"}, // as windows-1252
        {"text/html; charset=\"windows-1251\"", "\xea\xf0\xe0\xf1\xed\xee\xe5", "\u043a\u0440\u0430\u0441\u043d\u043e\u0435"},
        {"text/html", "<meta charset=Shift_JIS><p>\x90\xd4", "<meta charset=Shift_JIS><p>\u8d64"},
        {"", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=euc-kr\">\xbb\xa1",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=euc-kr\">\ube68"},
        {"text/html; charset=iso-8859-1", "caf\u00e9", "caf\u00e9"},                  // UTF-8 mislabelled: kept
        {"text/html; charset=utf-8", "caf\xe9", "caf\u00e9"},                         // not UTF-8 after all
        {"text/html; charset=x-unknown", "caf\xe9", "caf\u00e9"},
        {"text/html; charset=windows-1251", "plain ASCII", "plain ASCII"},
        {"text/html; charset=utf-8", "\xf0\x9f\x8d\x8e\xf0\x9f\x8d\x8f cut \xf0\x9f",
         "\U0001f34e\U0001f34f cut \u00f0\u009f"}, // mostly UTF-8: the cut character alone is read as Latin-1
    };
    for (const auto& c : cases) {
        std::string strPage = c.m_strPage;
        MakePageUtf8(strPage, c.m_pszContentType);
        EXPECT_EQ(strPage, c.m_strText) << c.m_pszContentType << " " << c.m_strPage;
    }
    EXPECT_EQ(Utf8Prefix("\u043a\u0440", 3), "\u043a"); // a preview never ends inside a character
}

TEST_F(CFetchFixture, ErrorPageBecomesThePageText)
{
    Serve(CReply::Make(404, "<html>Not here</html>"));
    EXPECT_TRUE(Fetch("/missing"));
    EXPECT_EQ(fs.m_answer.m_strText, "<html>Not here</html>");
    EXPECT_TRUE(host.GetMessages().empty());
}

TEST_F(CFetchFixture, RequestIsHttp10GetWithAgentAndValidTarget)
{
    Serve(CReply::Ok("x"));
    EXPECT_TRUE(Fetch("/s?q=" + ComposeQueryTerm("red apple", kOptionAnyWord)));
    EXPECT_TRUE(Fetch("/s?q=" + ComposeQueryTerm("red apple", kOptionPhrase)));
    EXPECT_TRUE(Fetch("/s?q=" + ComposeQueryTerm("C++ & caf\xc3\xa9", kOptionAllWords)));
    const std::vector<qtest::CRecordedRequest> requests = server.GetRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].m_strRequestLine, "GET /s?q=red%20apple HTTP/1.0");
    EXPECT_EQ(requests[1].m_strRequestLine, "GET /s?q=%22red+apple%22 HTTP/1.0");
    EXPECT_EQ(requests[2].m_strRequestLine, "GET /s?q=C%2B%2B+%26+caf%C3%A9 HTTP/1.0");
    EXPECT_EQ(requests[0].Header("User-Agent"), "Internet Questrel/2.0a");
    EXPECT_EQ(requests[0].Header("Host"), "127.0.0.1:" + std::to_string(server.GetPort()));
}

TEST_F(CFetchFixture, RedirectsAreFollowedAndTheFinalPageCounts)
{
    server.SetHandler([this](const qtest::CRecordedRequest& request) {
        if (request.m_strPath == "/old")
            return CReply::Redirect(302, server.GetBaseUrl() + "/new");
        return CReply::Ok("<html>new place</html>");
    });
    EXPECT_TRUE(Fetch("/old"));
    EXPECT_EQ(fs.m_answer.m_strText, "<html>new place</html>");
    EXPECT_EQ(server.GetRequestLines(), (Strings{"GET /old HTTP/1.0", "GET /new HTTP/1.0"}));
}

TEST_F(CFetchFixture, UntrustedContentLengthFallsBackToBlocks)
{
    for (const char* pszLength : {"-5", "abc", "12abc", "99999999999999999999"}) {
        SCOPED_TRACE(pszLength);
        CReply reply = CReply::Make(200, "", false, std::string("Content-Length: ") + pszLength + "\r\n");
        reply.m_strBody = "<html>body read to its end</html>";
        Serve(reply);
        EXPECT_TRUE(Fetch("/bad"));
        EXPECT_EQ(fs.m_answer.m_strText, "<html>body read to its end</html>");
        EXPECT_TRUE(host.GetMessages().empty());
    }
}

TEST_F(CFetchFixture, ContentLengthLargerThanTheBodyGivesTheBody)
{
    CReply reply = CReply::Make(200, "", false, "Content-Length: 5000\r\n");
    reply.m_strBody = "short body";
    Serve(reply);
    EXPECT_TRUE(Fetch("/short"));
    EXPECT_EQ(fs.m_answer.m_strText, "short body");
}

TEST_F(CFetchFixture, PagesAreCappedAndTheRestDropped)
{
    fs.m_nMaxPageBytes = 10000;
    Serve(CReply::Ok(std::string(50000, 'z'), false));
    EXPECT_TRUE(Fetch("/big"));
    EXPECT_EQ(fs.m_answer.m_strText.size(), 10000u);
    // An announced length above the cap is not trusted either.
    Serve(CReply::Ok(std::string(20000, 'y'), true));
    EXPECT_TRUE(Fetch("/big-cl"));
    EXPECT_EQ(fs.m_answer.m_strText, std::string(10000, 'y'));
    // A Latin-1 page within the cap grows as UTF-8: the cap still holds, between characters.
    Serve(CReply::Ok(std::string(9999, '\xe9'), true));
    EXPECT_TRUE(Fetch("/latin1"));
    EXPECT_EQ(fs.m_answer.m_strText.size(), 10000u);
    EXPECT_TRUE(fs.m_answer.m_bTooLong);
}

TEST_F(CFetchFixture, RefusedConnectionIsAnInternetErrorAndTheFetchGoesOn)
{
    const std::string strUrl = server.GetBaseUrl();
    server.Stop();
    fs.m_bCollectPages = true;
    qtest::CTempDir dir;
    fs.m_strResultsPagePath = dir.File("questrel.htm");
    EXPECT_TRUE(ParseRequestTarget(fs, strUrl + "/x"));
    EXPECT_TRUE(ConnectToServer(fs, fs.m_strServer)); // the host is not contacted yet
    EXPECT_TRUE(FetchPage(fs, engine));
    EXPECT_EQ(fs.m_answer.m_strText, "");
    const Strings messages = host.GetMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("onnect"), std::string::npos) << messages[0];
    EXPECT_EQ(host.GetStatusTexts().back(), "Find complete.");
    // The failed fetch still adds its (empty) block to the results page.
    EXPECT_EQ(qtest::ReadFile(fs.m_strResultsPagePath), kResultsPageHead + std::string(63, '-') + "\n\n");
}

TEST_F(CFetchFixture, GarbageInsteadOfHttpIsAnInternetError)
{
    Serve(CReply::Raw("SSH-2.0-OpenSSH_9.2\r\nthis is not http\r\n"));
    EXPECT_TRUE(Fetch("/garbage"));
    EXPECT_EQ(host.GetMessages().size(), 1u);
    EXPECT_EQ(fs.m_answer.m_strText, "");
}

TEST_F(CFetchFixture, CancelBeforeSendingEndsTheFetch)
{
    Serve(CReply::Ok("x"));
    cancel.Signal();
    EXPECT_FALSE(Fetch("/x"));
    EXPECT_EQ(server.GetRequestCount(), 0u);
    EXPECT_EQ(host.GetStatusTexts().back(), "Find cancelled.");
}

TEST_F(CFetchFixture, CancelReachesIntoAStalledTransfer)
{
    qtest::CTempDir dir;
    fs.m_bCollectPages = true;
    fs.m_strResultsPagePath = dir.File("questrel.htm");
    for (bool bContentLength : {false, true}) {
        SCOPED_TRACE(bContentLength);
        CReply reply = CReply::Ok(std::string(5000, 'a'), bContentLength);
        reply.m_nStallAfter = 100;
        Serve(reply);
        CCancelSignal stop;
        fs.m_pCancel = &stop;
        CSearchHostBridge stopBridge(&host, stop);
        fs.m_pHost = &stopBridge;
        const size_t nSilences = server.GetSilencesBegun();
        std::thread stopper([&] {
            qtest::WaitFor([&] { return server.GetSilencesBegun() > nSilences; }, std::chrono::seconds(60));
            stop.Signal();
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(Fetch("/stall"));
        const auto elapsed = std::chrono::steady_clock::now() - start;
        stopper.join();
        // Nothing times out on the test's clock: only the cancel can end it.
        EXPECT_LT(elapsed, std::chrono::seconds(30));
        EXPECT_EQ(host.GetStatusTexts().back(), "Find cancelled.");
    }
    EXPECT_FALSE(std::filesystem::exists(fs.m_strResultsPagePath));
}

TEST_F(CFetchFixture, StallTimeOutsSurfaceAsTheLibrarysError)
{
    // Stall before any header: the send fails with the time-out.
    CReply silent = CReply::Ok("late");
    silent.m_nHeadDelayMs = 600000;
    Serve(silent);
    EXPECT_TRUE(FetchUntilTimedOut("/silent"));
    ASSERT_EQ(host.GetMessages().size(), 1u);
    EXPECT_NE(host.GetMessages()[0].find("Timeout was reached"), std::string::npos) << host.GetMessages()[0];

    // Stall in the body: the page keeps what came before the stall.
    CReply partial = CReply::Ok(std::string(3000, 'p'), false);
    partial.m_nStallAfter = 1500;
    Serve(partial);
    EXPECT_TRUE(FetchUntilTimedOut("/partial"));
    EXPECT_EQ(fs.m_answer.m_strText, std::string(1500, 'p'));
}

TEST_F(CFetchFixture, ConnectionIsKeptForTheSameServerOnly)
{
    ASSERT_TRUE(ParseRequestTarget(fs, server.GetBaseUrl() + "/a"));
    ASSERT_TRUE(ConnectToServer(fs, fs.m_strServer));
    const CHttpConnection* pFirst = fs.m_pConnection.get();
    ASSERT_TRUE(ConnectToServer(fs, fs.m_strServer));
    EXPECT_EQ(fs.m_pConnection.get(), pFirst);
    ASSERT_TRUE(ParseRequestTarget(fs, "http://localhost:" + std::to_string(server.GetPort()) + "/a"));
    ASSERT_TRUE(ConnectToServer(fs, fs.m_strServer));
    EXPECT_EQ(fs.m_pConnection->GetServerName(), "localhost");
}

TEST(RemoveNulBytes, RemovesEveryNulAndTerminates)
{
    char block[8] = {'a', '\0', 'b', '\0', '\0', 'c', 'x', 'y'};
    EXPECT_EQ(RemoveNulBytes(block, 6), 3u);
    EXPECT_STREQ(block, "abc");
    char empty[1] = {'\0'};
    EXPECT_EQ(RemoveNulBytes(empty, 1), 0u);
}

TEST(ParseContentLength, TrustsOnlyPlainNumbersWithinTheCap)
{
    size_t n = 0;
    EXPECT_TRUE(ParseContentLength(" 1234 ", 10000, &n));
    EXPECT_EQ(n, 1234u);
    EXPECT_TRUE(ParseContentLength("0", 10, &n));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(ParseContentLength("10001", 10000, &n));
    EXPECT_FALSE(ParseContentLength("-1", 10000, &n));
    EXPECT_FALSE(ParseContentLength("", 10000, &n));
    EXPECT_FALSE(ParseContentLength("1 2", 10000, &n));
}

TEST_F(CFetchFixture, CompressedAnswersAreAskedForAndDecoded)
{
    // 40 hits gzip-compressed to 285 bytes, with the compressed length announced.
    static const char kGzip[] =
        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\x8d\xd6\x4b\x4a\xc4\x40\x00\x84\xe1\xab\x0c\x73\x00\x7b"
        "\xaa\x2a\xf3\x92\x36\x07\x71\x17\x30\x92\x81\x0c\x04\x89\x20\x9e\x5e\xc7\x45\x57\x56\x52\x8b\xec"
        "\xf2\xaf\xea\x4b\xba\xeb\xb4\xde\xe7\xbe\x7e\xfe\x3e\xf3\xad\xaf\xc3\x6e\xfa\x18\xdf\x5f\xf6\xd3"
        "\xba\x2e\xcf\xa5\x7c\x3f\x8d\x5f\xc3\x7d\x99\xc7\x82\x7d\xff\x7a\x5b\x96\xf1\x6d\x87\x5a\x86\xbe"
        "\x96\xc7\xdb\xff\x16\x6c\x05\xc3\x42\xad\x50\x58\x74\xad\xe8\xc2\xe2\xd8\x8a\x63\x58\x9c\x5a\x71"
        "\x0a\x8b\x73\x2b\xce\x61\x71\x69\xc5\x25\x2c\xae\xad\xb8\x86\x05\x0e\x9e\xf0\x90\x36\x9b\xd9\xd3"
        "\xdd\xe1\xe1\x91\x2e\x0f\x4f\x8f\x74\x7b\x78\x7c\xa4\xeb\xc3\xf3\x23\xdd\x1f\x06\x80\x54\x00\x4c"
        "\x00\xa9\x01\x18\x01\x52\x05\x30\x03\xa4\x0e\x68\x07\x4c\x1d\xd0\x0e\x18\x7f\xff\x9b\x1f\x40\xea"
        "\x80\x76\xc0\xd4\x01\xed\x80\xa9\x03\xda\x01\x53\x07\xb4\x03\xa6\x0e\x68\x07\x4c\x1d\xd0\x0e\x98"
        "\x3a\xa0\x1d\x30\x75\x20\x3b\x50\xea\x40\x76\xa0\xd4\x81\xec\x40\xf1\x49\xb0\x39\x0a\x52\x07\xb2"
        "\x03\xa5\x0e\x64\x07\x4a\x1d\xc8\x0e\x94\x3a\x90\x1d\x28\x75\x20\x3b\x50\xea\x40\x76\xa0\xd4\x41"
        "\x67\x07\xdd\xc6\x41\x79\x5c\x09\xca\xdf\xed\xe0\x07\x92\xe3\x6a\x27\x24\x08\x00\x00";
    const std::string strBody(kGzip, sizeof kGzip - 1);
    CReply reply = CReply::Make(200, strBody, true, "Content-Encoding: gzip\r\n");
    Serve(reply);
    ASSERT_TRUE(Fetch("/zipped"));
    EXPECT_EQ(fs.m_answer.m_strText.size(), 2084u);
    EXPECT_EQ(fs.m_answer.m_strText.substr(0, 14), "<html><ul><li>");
    EXPECT_EQ(fs.m_answer.m_strText.substr(fs.m_answer.m_strText.size() - 12), "</ul></html>");
    EXPECT_NE(server.GetRequests().at(0).Header("Accept-Encoding").find("gzip"), std::string::npos);
    EXPECT_TRUE(host.GetMessages().empty());
}

TEST_F(CFetchFixture, CompressedBombsAreCutAtThePageCapAsTheyInflate)
{
    // 64 MiB of text in a few dozen kilobytes: the page keeps the cap, the
    // outcome can say the page was cut, and decoding stops there (the request
    // takes no more than the cap and a block).
    fs.m_nMaxPageBytes = 1u << 20;
    for (const char* pszEncoding : {"gzip", "deflate", "zstd"}) {
        SCOPED_TRACE(pszEncoding);
        const std::string strBomb = qtest::CompressedRepeat(pszEncoding, 'a', 64u << 20);
        ASSERT_LT(strBomb.size(), 1u << 20);
        for (const bool bLength : {false, true}) {
            CReply reply = CReply::Make(200, "", false,
                                        std::string("Content-Encoding: ") + pszEncoding + "\r\n" +
                                            (bLength ? "Content-Length: " + std::to_string(strBomb.size()) + "\r\n" : ""));
            reply.m_strBody = strBomb;
            Serve(reply);
            ASSERT_TRUE(Fetch("/bomb"));
            EXPECT_EQ(fs.m_answer.m_strText, std::string(1u << 20, 'a'));
            EXPECT_TRUE(fs.m_answer.m_bTooLong);
            EXPECT_TRUE(host.GetMessages().empty()) << host.GetMessages().front();
        }
    }
    // A page within the cap is not said to be cut.
    Serve(CReply::Ok(std::string(1u << 20, 'b'), false));
    ASSERT_TRUE(Fetch("/whole"));
    EXPECT_EQ(fs.m_answer.m_strText.size(), 1u << 20);
    EXPECT_FALSE(fs.m_answer.m_bTooLong);

    // The request itself stops at the cap it is given.
    const std::string strBomb = qtest::CompressedRepeat("gzip", 'c', 16u << 20);
    CReply reply = CReply::Make(200, "", false, "Content-Encoding: gzip\r\n");
    reply.m_strBody = strBomb;
    Serve(reply);
    CHttpConnection connection(*pSession, "127.0.0.1", server.GetPort(), false);
    const std::unique_ptr<CHttpRequest> pRequest = connection.OpenRequest("/bomb", nullptr);
    pRequest->SetMaxBodyBytes(12345);
    CInternetError error;
    ASSERT_TRUE(pRequest->Send(&error)) << error.m_strText;
    std::string body(1u << 16, '\0');
    size_t nTotal = 0, nRead = 0;
    while (pRequest->Read(body.data(), body.size(), &nRead, &error) && nRead > 0)
        nTotal += nRead;
    EXPECT_TRUE(error.m_strText.empty()) << error.m_strText;
    EXPECT_EQ(nTotal, 12345u);
}

TEST_F(CFetchFixture, TheStallTimeOutFollowsTheSessionsClock)
{
    // A server that never answers; the clock is moved past the time-out by hand,
    // so the test does not wait for it.
    qtest::CManualClock clock;
    UseClock(clock);
    CReply silent = CReply::Ok("never");
    silent.m_nHeadDelayMs = 60000;
    Serve(silent);
    std::thread mover([&] {
        qtest::WaitFor([&] { return server.GetRequestCount() == 1; });
        clock.Set(std::chrono::milliseconds(19000));
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        clock.Set(std::chrono::milliseconds(20001));
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Fetch("/silent"));
    mover.join();
    // Far below the 20 s the steady clock would have taken.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ASSERT_EQ(host.GetMessages().size(), 1u);
    EXPECT_NE(host.GetMessages()[0].find("no data received for 20000 ms"), std::string::npos);
}

TEST_F(CFetchFixture, AnAnswerThatDribblesMeetsItsDeadline)
{
    // A header line every 20 ms keeps the stall watch content for ever; the
    // answer's deadline (120 s) ends it. The clock is moved by hand, 10 s at a
    // time; the stall time-out (600 s) lies far beyond the deadline, so however
    // few lines the client reads between two moves, the deadline comes first.
    qtest::CManualClock clock;
    UseClock(clock);
    {
        CSessionOptions options = pSession->GetOptions();
        options.m_nStallTimeoutMs = 600000;
        options.m_nDeadlineMs = 120000;
        pSession = OpenInternetSession(options, nullptr);
        fs.m_pSession = pSession.get();
    }
    std::string strHead = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; i < 2000; ++i)
        strHead += "X-Dribble: " + std::to_string(100000 + i) + "\r\n";
    CReply dribble = CReply::Raw(strHead);
    dribble.m_nChunkSize = 19; // one header line a chunk
    dribble.m_nChunkDelayMs = 20;
    Serve(dribble);
    std::atomic<bool> bDone{false};
    std::thread mover([&] {
        qtest::WaitFor([&] { return server.GetRequestCount() == 1; });
        while (!bDone) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            clock.Advance(std::chrono::milliseconds(10000));
        }
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Fetch("/dribble"));
    bDone = true;
    mover.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)); // the dribble lasts 40 s
    ASSERT_EQ(host.GetMessages().size(), 1u);
    EXPECT_NE(host.GetMessages()[0].find("the answer took longer than 120 s"), std::string::npos)
        << host.GetMessages()[0];
}

TEST_F(CFetchFixture, LengthsThatContradictEachOtherFollowHttpsRules)
{
    const std::string strBody = "<html>" + std::string(3000, 'x') + "</html>";
    // Chunked transfer coding wins over a Content-Length.
    CReply chunked = CReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                 [&] {
                                     char szSize[16];
                                     std::snprintf(szSize, sizeof szSize, "%zx", strBody.size());
                                     return std::string(szSize) + "\r\n" + strBody + "\r\n0\r\n\r\n";
                                 }());
    Serve(chunked);
    ASSERT_TRUE(Fetch("/chunked"));
    EXPECT_EQ(fs.m_answer.m_strText, strBody);
    EXPECT_TRUE(host.GetMessages().empty());

    // Two lengths that differ: an Internet error, not an empty page passed off as the answer.
    Serve(CReply::Raw("HTTP/1.0 200 OK\r\nContent-Length: 0\r\nContent-Length: " + std::to_string(strBody.size()) +
                      "\r\n\r\n" + strBody));
    ASSERT_TRUE(Fetch("/conflict"));
    ASSERT_EQ(host.GetMessages().size(), 1u);
    EXPECT_FALSE(fs.m_answer.m_strError.empty());

    // The same length twice is one length.
    Serve(CReply::Raw("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(strBody.size()) +
                      "\r\nContent-Length: " + std::to_string(strBody.size()) + "\r\n\r\n" + strBody));
    ASSERT_TRUE(Fetch("/same"));
    EXPECT_EQ(fs.m_answer.m_strText, strBody);
    EXPECT_EQ(host.GetMessages().size(), 1u);
}
