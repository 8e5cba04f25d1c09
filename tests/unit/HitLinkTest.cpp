// SPDX-License-Identifier: MIT
// From a link as a page writes it to the address the browser should open.

#include "platform/TextUtil.h"
#include "search/extract/HitLink.h"

#include <gtest/gtest.h>

namespace {

struct CLinkCase
{
    const char* m_pszName;
    const char* m_pszPageUrl;
    const char* m_pszEngineUrl;
    const char* m_pszLink;
    const char* m_pszExpected;
};

} // namespace

TEST(CleanLink, TableOfLinks)
{
    const char* const ddg = "https://lite.duckduckgo.com/lite/?q=godot";
    const char* const ddgEngine = "https://lite.duckduckgo.com/lite/";
    const std::vector<CLinkCase> cases = {
        // Decoding and trimming
        {"01 references decoded", ddg, ddgEngine, "https://a.example/?x=1&amp;y=2&#38;z=&#x33;",
         "https://a.example/?x=1&y=2&z=3"},
        {"02 blanks around and line breaks inside", ddg, ddgEngine, " \thttps://a.example/\nb\r\n ",
         "https://a.example/b"},
        {"03 empty stays empty", ddg, ddgEngine, "  ", ""},
        // Resolution against the page's address
        {"04 protocol-relative", ddg, ddgEngine, "//cdn.example/x", "https://cdn.example/x"},
        {"05 root-relative", "http://www.example.com/search?q=1", "http://www.example.com/search",
         "/about?x=1", "http://www.example.com/about?x=1"},
        {"06 path-relative", "http://h.example/dir/index?q=1", "http://h.example/dir/", "page2.html",
         "http://h.example/dir/page2.html"},
        {"07 query only", "http://h.example/dir/index?q=1", "http://h.example/", "?q=2",
         "http://h.example/dir/index?q=2"},
        {"08 other schemes are left alone", ddg, ddgEngine, "mailto:someone@example.org",
         "mailto:someone@example.org"},
        // The engine's own redirects are replaced by their targets
        {"09 uddg redirect, protocol-relative, on a sibling host", ddg, ddgEngine,
         "//duckduckgo.com/l/?uddg=https%3A%2F%2Fgodot.example%2Freleases%2F4.5%2F&amp;rut=1bd",
         "https://godot.example/releases/4.5/"},
        {"10 a relative redirect is the engine's own", "https://www.search.example/web?q=x",
         "https://www.search.example/web", "/url?q=https://target.example/a%20b&amp;sa=U",
         "https://target.example/a b"},
        {"11 base64url target (u=a1...)", "https://www.bing.com/search?q=x", "https://www.bing.com/search",
         "https://www.bing.com/ck/a?!&amp;&amp;p=2ebc&amp;u=a1aHR0cHM6Ly93d3cuZXhhbXBsZS5vcmcvcGFnZT9hPTEmYj0y&amp;ntb=1",
         "https://www.example.org/page?a=1&b=2"},
        {"12 target in a path segment, on a sibling host", "https://search.yahoo.com/search?p=x",
         "https://search.yahoo.com/search",
         "https://r.search.yahoo.com/_ylt=AwrE;_ylu=Y29s/RV=2/RE=17/RO=10/RU=https%3a%2f%2fwww.example.com%2fjs%2f/RK=2/RS=Zx-",
         "https://www.example.com/js/"},
        {"13 the engine's own page without a target stays", ddg, ddgEngine,
         "https://lite.duckduckgo.com/lite/?q=more&amp;s=10", "https://lite.duckduckgo.com/lite/?q=more&s=10"},
        {"14 a parameter that is no web address is no target", ddg, ddgEngine,
         "//duckduckgo.com/l/?uddg=ftp%3A%2F%2Fx.example%2F", "https://duckduckgo.com/l/?uddg=ftp%3A%2F%2Fx.example%2F"},
        {"15 an a1 value that decodes to no address", "https://www.bing.com/", "https://www.bing.com/",
         "https://www.bing.com/ck/a?u=a1bm90IGFuIGFkZHJlc3M", "https://www.bing.com/ck/a?u=a1bm90IGFuIGFkZHJlc3M"},
        // Any other site is never rewritten, whatever its query holds
        {"16 another site with an address in its query", ddg, ddgEngine,
         "https://archive.example/save?url=https%3A%2F%2Fx.example%2F",
         "https://archive.example/save?url=https%3A%2F%2Fx.example%2F"},
        {"17 a look-alike domain is another site", ddg, ddgEngine,
         "https://duckduckgo.com.evil.example/l/?uddg=https%3A%2F%2Fx.example%2F",
         "https://duckduckgo.com.evil.example/l/?uddg=https%3A%2F%2Fx.example%2F"},
        {"18 a protocol-relative link to another site", ddg, ddgEngine,
         "//cdn.other.example/l/?uddg=https%3A%2F%2Fx.example%2F",
         "https://cdn.other.example/l/?uddg=https%3A%2F%2Fx.example%2F"},
        {"19 same host on loopback", "http://127.0.0.1:8080/s?q=1", "http://127.0.0.1:8080/s",
         "http://127.0.0.1:8080/r?to=http%3A%2F%2Fhits.example%2F1", "http://hits.example/1"},
        {"20 another address is another site", "http://127.0.0.1:8080/s?q=1", "http://127.0.0.1:8080/s",
         "http://10.0.0.1/r?to=http%3A%2F%2Fhits.example%2F1", "http://10.0.0.1/r?to=http%3A%2F%2Fhits.example%2F1"},
    };
    for (const CLinkCase& c : cases) {
        SCOPED_TRACE(c.m_pszName);
        const CLinkCleaner cleaner(c.m_pszPageUrl, c.m_pszEngineUrl);
        EXPECT_EQ(cleaner.Clean(c.m_pszLink), c.m_pszExpected);
    }
}

TEST(CleanLink, WithoutAPageLinksAreOnlyDecoded)
{
    const CLinkCleaner cleaner;
    EXPECT_EQ(cleaner.Clean(" /url?q=https%3A%2F%2Fx.example&amp;y "), "/url?q=https%3A%2F%2Fx.example&y");
    // A page address that cannot be parsed leaves links as they are too.
    const CLinkCleaner broken("not an address", "");
    EXPECT_EQ(broken.Clean("//x.example/a"), "//x.example/a");
}

TEST(CleanLink, Helpers)
{
    EXPECT_EQ(RegistrableDomain("lite.duckduckgo.com"), "duckduckgo.com");
    EXPECT_EQ(RegistrableDomain("R.Search.Yahoo.COM"), "yahoo.com");
    EXPECT_EQ(RegistrableDomain("www.example.co.uk"), "example.co.uk");
    EXPECT_EQ(RegistrableDomain("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(RegistrableDomain("10.0.0.1"), "10.0.0.1");
    EXPECT_EQ(RegistrableDomain("[::1]"), "[::1]");
    EXPECT_EQ(RegistrableDomain("localhost"), "localhost");

    EXPECT_EQ(HostOfUrl("https://user:pw@Host.Example:8080/p?q"), "host.example");
    EXPECT_EQ(HostOfUrl("http://[::1]:80/"), "[::1]");
    EXPECT_EQ(HostOfUrl("/relative"), "");

    EXPECT_EQ(UrlScheme("mailto:x@y"), "mailto");
    EXPECT_EQ(UrlScheme("HTTP://x"), "HTTP");
    EXPECT_EQ(UrlScheme("localhost:8080/x"), "");
    EXPECT_EQ(UrlScheme("//x/y"), "");

    EXPECT_EQ(PercentDecode("a%20b%2fc%zz%4"), "a b/c%zz%4");
    std::string strOut;
    EXPECT_TRUE(Base64UrlDecode("aHR0cDovL3gv", &strOut));
    EXPECT_EQ(strOut, "http://x/");
    EXPECT_TRUE(Base64UrlDecode("-_8=", &strOut));
    EXPECT_EQ(strOut, "\xfb\xff");
    EXPECT_FALSE(Base64UrlDecode("a b", &strOut));

    EXPECT_EQ(RedirectTarget("https://e.example/r?a=1&u=https%3A%2F%2Fx.example%2F#frag"), "https://x.example/");
    EXPECT_EQ(RedirectTarget("https://e.example/r?u=https%3A%2F%2F%2Fpath"), ""); // no host
    EXPECT_EQ(RedirectTarget("https://e.example/r?u=https%3A%2F%2Fx.example%2F%0a"), ""); // a control byte
    // The target written whole after a star in the path, its own query kept.
    EXPECT_EQ(RedirectTarget("http://r.e.example/_ylt=A0g;_ylu=X3/SIG=12/EXP=1201/**http%3a//x.example/a?b=1"),
              "http://x.example/a?b=1");
    EXPECT_EQ(RedirectTarget("http://r.e.example/a*-https%3A//x.example/"), "https://x.example/");
    EXPECT_EQ(RedirectTarget("http://e.example/glob*/page"), ""); // a star, but no address after it
}
