// SPDX-License-Identifier: MIT
// Refusals answered with status 200, told by generic signs, each on a small
// hand-written page; and pages that are none.

#include "search/PageRefusal.h"

#include <gtest/gtest.h>

TEST(PageRefusal, BotChecksByTheirWordsOrTheirForm)
{
    for (const char* pszPage : {
             "<html><body><p>Please complete the following challenge to confirm this search was made by a human.</p></body></html>",
             "<html><h1>Confirm you are human</h1><form action='/verify'><input name=a></form></html>",
             "<p>Our systems have detected UNUSUAL TRAFFIC from your computer network.</p>",
             "<h2>Sorry, your network appears to be sending automated queries.</h2>",
             "<div class=\"g-recaptcha\" data-sitekey=\"x\"></div>",
             "<form id=\"challenge-form\" method=\"POST\"><img src=q.png></form>",
             "<p>Are you a robot?</p>",
         })
        EXPECT_EQ(RefusalReason(pszPage), kRefusalBotCheck) << pszPage;
}

TEST(PageRefusal, PagesThatAskForJavaScript)
{
    for (const char* pszPage : {
             "<html><noscript>Please enable JavaScript to continue.</noscript><div id=app></div></html>",
             "<html><body>JavaScript is disabled in your browser.</body></html>",
             "<meta http-equiv=\"refresh\" content=\"0; url=/html/?enablejs=1\">",
             "<META HTTP-EQUIV='Refresh' CONTENT='0;URL=https://e.example/nojs'>",
             "<meta content=\"0;url=/httpservice/retry/enablejs?sei=x\" http-equiv=\"refresh\">", // content first
         })
        EXPECT_EQ(RefusalReason(pszPage), kRefusalJavaScript) << pszPage;
}

TEST(PageRefusal, OrdinaryPagesAreNoRefusal)
{
    for (const char* pszPage : {
             "",
             "<html><body><p>No results found for <b>robots in art</b>.</p></body></html>",
             "<html><script>var s='unusual traffic';</script><p>Nothing here</p></html>",
             "<meta http-equiv=\"refresh\" content=\"30\"><p>Results for red apple</p>",
             "<p>Learn JavaScript: a tutorial for humans</p>",
             // An empty answer whose login form loads a captcha is an answer.
             "<p>Your search did not match any documents.</p><form id=login><div class=g-recaptcha></div></form>",
         })
        EXPECT_EQ(RefusalReason(pszPage), "") << pszPage;
}

TEST(PageRefusal, PagesThatSayNothingMatched)
{
    for (const char* pszPage : {"<p>No results found for <b>x</b>.</p>", "<h2>0 results</h2>",
                                "<p>Your search - <b>x</b> - did not match any documents.</p>"}) {
        EXPECT_TRUE(SaysNothingMatched(pszPage)) << pszPage;
        EXPECT_NE(NothingMatchedAt(pszPage), std::string::npos) << pszPage;
    }
    for (const char* pszPage : {"<h2>10 results</h2>", "<p>Results for red apple</p>", ""}) {
        EXPECT_FALSE(SaysNothingMatched(pszPage)) << pszPage;
        EXPECT_EQ(NothingMatchedAt(pszPage), std::string::npos) << pszPage;
    }
}
