// SPDX-License-Identifier: MIT
// Pages whose results a script writes, loaded with the browser engine from a
// loopback server: the list the script wrote comes out; a script that never
// ends, the time-out and Stop leave no browser process and no profile behind.

#include "LoopbackServer.h"
#include "ScriptPages.h"
#include "TestFixtures.h"
#include "platform/BrowserEngine.h"
#include "platform/CancelSignal.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Whether a browser process of that load is left, or its profile.
bool LeftBehind(const CBrowserPage& page)
{
    return !page.m_strProfile.empty() && qtest::BrowserLeftBehind(page.m_strProfile, true);
}

struct CBrowserFixture : ::testing::Test
{
    qtest::CLoopbackServer server{[](const qtest::CRecordedRequest&) { return qtest::CReply::Ok(""); }};
    void SetUp() override
    {
        if (FindBrowserEngine().empty())
            GTEST_SKIP() << "no browser engine (scripts/setup installs chromium-headless-shell)";
        server.SetHandler(qtest::ScriptPage);
    }
    CBrowserLoad Load(const std::string& strPath, int nTimeout = 20)
    {
        CBrowserLoad load;
        load.m_strAddress = server.GetBaseUrl() + strPath;
        load.m_nTimeoutSeconds = nTimeout;
        return load;
    }
};

} // namespace

TEST_F(CBrowserFixture, TheListAScriptWroteComesOut)
{
    const struct
    {
        const char* pszPath;
        const char* pszLink;
    } pages[] = {{"/list", "<a href=\"https://r5.example/\">Red apple 5</a>"},
                 {"/fetched", "<a href=\"https://f2.example/\">Red apple fetched 2</a>"}};
    for (const auto& p : pages) {
        CBrowserPage page;
        ASSERT_TRUE(LoadInBrowserEngine(Load(p.pszPath), page));
        EXPECT_EQ(page.m_strError, "") << p.pszPath;
        EXPECT_NE(page.m_strText.find(p.pszLink), std::string::npos) << p.pszPath << "\n" << page.m_strText;
        EXPECT_FALSE(LeftBehind(page)) << page.m_strProfile;
    }
}

TEST_F(CBrowserFixture, AnEndlessScriptEndsAtTheTimeOutOrAtStop)
{
    CBrowserPage page;
    ASSERT_TRUE(LoadInBrowserEngine(Load("/endless", 1), page));
    EXPECT_EQ(page.m_strError, "the browser engine did not finish the page in time");
    EXPECT_FALSE(LeftBehind(page)) << page.m_strProfile;

    // Stop, once the browser asked for the page.
    CCancelSignal cancel;
    const size_t nBefore = server.GetRequestCount();
    std::thread stopper([&] {
        qtest::WaitFor([&] { return server.GetRequestCount() > nBefore; });
        cancel.Signal();
    });
    CBrowserLoad load = Load("/endless");
    load.m_pCancel = &cancel;
    EXPECT_FALSE(LoadInBrowserEngine(load, page));
    stopper.join();
    EXPECT_FALSE(LeftBehind(page)) << page.m_strProfile;
}

TEST(BrowserEngine, WithoutOneTheLoadSaysWhatToInstall)
{
    setenv("QUESTREL_BROWSER_ENGINE", "", 1);
    CBrowserLoad load;
    load.m_strAddress = "http://127.0.0.1:1/";
    CBrowserPage page;
    EXPECT_TRUE(LoadInBrowserEngine(load, page));
    EXPECT_EQ(page.m_strError, "no browser engine is installed (Debian: apt install chromium-headless-shell)");
    unsetenv("QUESTREL_BROWSER_ENGINE");
    if (!FindBrowserEngine().empty()) {
        load.m_strAddress = "file:///etc/passwd"; // never a local file
        EXPECT_TRUE(LoadInBrowserEngine(load, page));
        EXPECT_EQ(page.m_strError, "Invalid URL");
        EXPECT_EQ(page.m_strText, "");
    }
}
