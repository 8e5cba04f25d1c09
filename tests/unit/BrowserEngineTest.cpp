// SPDX-License-Identifier: MIT
// The browser engine's runner on its own: what it says without one, and the
// addresses it refuses. (Loads themselves are tested through the search, in
// ScriptedSearchTest.cpp.)

#include "platform/BrowserEngine.h"

#include <cstdlib>
#include <gtest/gtest.h>

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
