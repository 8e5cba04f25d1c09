// SPDX-License-Identifier: MIT
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

namespace {

struct CParseFixture : ::testing::Test
{
    qtest::CRecordingHost host;
    CCancelSignal cancel;
    CSearchHostBridge bridge{&host, cancel};
    CFetchState fs;
    CParseFixture() { fs.m_pHost = &bridge; }
};

} // namespace

TEST_F(CParseFixture, SplitsHostPortAndObject)
{
    InternetScheme nScheme = kSchemeUnknown;
    ASSERT_TRUE(ParseRequestTarget(fs, "http://Search.Example:8080/a b/../c?q=a b&x=%41#top", &nScheme));
    EXPECT_EQ(nScheme, kSchemeHttp);
    EXPECT_EQ(fs.m_strServer, "Search.Example");
    EXPECT_EQ(fs.m_nPort, 8080);
    EXPECT_EQ(fs.m_strObject, "/c?q=a b&x=%41");
    EXPECT_TRUE(IsRequestableTarget(fs));
    EXPECT_TRUE(host.GetMessages().empty());

    ASSERT_TRUE(ParseRequestTarget(fs, "http://h"));
    EXPECT_EQ(fs.m_strObject, "/");
    EXPECT_EQ(fs.m_nPort, 80);
}

TEST_F(CParseFixture, AddressWithoutSchemeParsesOnTheRetry)
{
    ASSERT_TRUE(ParseRequestTarget(fs, "h.example/next?q=x&after=8"));
    EXPECT_EQ(fs.m_nScheme, kSchemeHttp);
    EXPECT_EQ(fs.m_strServer, "h.example");
    EXPECT_EQ(fs.m_strObject, "/next?q=x&after=8");
    ASSERT_TRUE(ParseRequestTarget(fs, "127.0.0.1:8080/x"));
    EXPECT_EQ(fs.m_nPort, 8080);
    EXPECT_TRUE(host.GetMessages().empty());
}

TEST_F(CParseFixture, HttpsIsRequestableOtherSchemesAreNot)
{
    ASSERT_TRUE(ParseRequestTarget(fs, "https://secure.example/s?q=1"));
    EXPECT_EQ(fs.m_nScheme, kSchemeHttps);
    EXPECT_EQ(fs.m_nPort, 443);
    EXPECT_TRUE(IsRequestableTarget(fs));

    InternetScheme nScheme = kSchemeUnknown;
    ASSERT_TRUE(ParseRequestTarget(fs, "ftp://files.example/x", &nScheme));
    EXPECT_EQ(nScheme, kSchemeFtp);
    EXPECT_FALSE(IsRequestableTarget(fs));
    ASSERT_TRUE(ParseRequestTarget(fs, "gopher://g.example/x", &nScheme));
    EXPECT_EQ(nScheme, kSchemeOther);
    // Schemes without a host are no host names to try as http.
    for (const char* pszAddress : {"mailto:someone@example.org", "news:comp.lang", "javascript:go(1)"}) {
        ASSERT_TRUE(ParseRequestTarget(fs, pszAddress, &nScheme)) << pszAddress;
        EXPECT_EQ(nScheme, kSchemeOther);
        EXPECT_FALSE(IsRequestableTarget(fs));
    }
    // A broken http address is not retried as a host called "http".
    EXPECT_FALSE(ParseRequestTarget(fs, "http://", &nScheme));
    EXPECT_EQ(host.GetMessages(), std::vector<std::string>{kMsgInvalidUrl});
}

TEST_F(CParseFixture, UnparsableAddressShowsInvalidUrlAndKeepsTheOldTarget)
{
    ASSERT_TRUE(ParseRequestTarget(fs, "http://kept/old"));
    InternetScheme nScheme = kSchemeHttp;
    EXPECT_FALSE(ParseRequestTarget(fs, "[x", &nScheme));
    EXPECT_EQ(nScheme, kSchemeUnknown);
    EXPECT_EQ(host.GetMessages(), std::vector<std::string>{kMsgInvalidUrl});
    EXPECT_EQ(fs.m_strServer, "kept");
    EXPECT_EQ(fs.m_strObject, "/old");
}

TEST_F(CParseFixture, ControlBytesSurviveAsPercentEncoding)
{
    ASSERT_TRUE(ParseRequestTarget(fs, "http://h/s?q=a\tb"));
    EXPECT_EQ(fs.m_strObject, "/s?q=a%09b");
}

TEST(EncodeRequestTarget, MakesEveryTargetValidHttp)
{
    EXPECT_EQ(EncodeRequestTarget("/s?q=red apple"), "/s?q=red%20apple");
    EXPECT_EQ(EncodeRequestTarget("/s?q=\"red+apple\""), "/s?q=%22red+apple%22");
    EXPECT_EQ(EncodeRequestTarget("/caf\xc3\xa9?x=<>\\^`{|}\x7f"),
              "/caf%C3%A9?x=%3C%3E%5C%5E%60%7B%7C%7D%7F");
    // Existing escapes and reserved characters are left alone.
    EXPECT_EQ(EncodeRequestTarget("/a%20b?c=d&e=f+g#"), "/a%20b?c=d&e=f+g#");
    EXPECT_EQ(EncodeRequestTarget(""), "/");
    // A '%' that starts no escape (a template's "%%", an unformatted "%d") is sent as %25.
    EXPECT_EQ(EncodeRequestTarget("/s?q=100%%&n=%d&x=%4&y=%"), "/s?q=100%25%25&n=%25d&x=%254&y=%25");
}

TEST_F(CParseFixture, AnAddressWithoutAHostParsesWithAnEmptyHost)
{
    // Neither the path nor a retry with "http://" in front makes up a host.
    for (const char* pszAddress : {"http:///path/x?q=1", "/x/y", "https:///"}) {
        SCOPED_TRACE(pszAddress);
        fs.m_strServer = "old.example";
        ASSERT_TRUE(ParseRequestTarget(fs, pszAddress));
        EXPECT_EQ(fs.m_strServer, "");
        EXPECT_FALSE(IsRequestableTarget(fs));
    }
    EXPECT_EQ(fs.m_strObject, "/");
    ParseRequestTarget(fs, "http:///path/x?q=1");
    EXPECT_EQ(fs.m_strObject, "/path/x?q=1");
    EXPECT_TRUE(host.GetMessages().empty());
}
