// SPDX-License-Identifier: MIT
#include "engines/SearchEngine.h"
#include "platform/CancelSignal.h"
#include "results/ResultRows.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/extract/HtmlText.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <gtest/gtest.h>

namespace {

constexpr const char* kStart = "<a href=\"http";
constexpr const char* kEnd = "</a>";

struct CExtractCase
{
    const char* m_pszName;
    std::string m_strPage;
    std::vector<CSearchHit> m_expected;
    const char* m_pszStart = kStart;
    const char* m_pszEnd = kEnd;
};

std::vector<CSearchHit> Extract(const std::string& strPage, const char* pszStart = kStart,
                                const char* pszEnd = kEnd)
{
    CResultRows rows;
    const int nCount = ExtractPageHits(strPage, rows, pszStart, pszEnd, "E", false).m_nAdded;
    EXPECT_EQ(nCount, rows.GetRowCount());
    return rows.GetRows();
}

CSearchHit Hit(std::string strDesc, std::string strUrl)
{
    return {std::move(strDesc), std::move(strUrl), "E"};
}

} // namespace

// Each case: a page and the rows it must give.
TEST(ExtractHits, TableOfPages)
{
    const std::string strLong(400, 'x');
    const std::vector<CExtractCase> cases = {
        {"01 absolute link and title",
         "<p><a href=\"http://a.example/1\">First title</a></p>",
         {Hit("First title", "http://a.example/1")}},
        {"02 two hits in a row",
         "<a href=\"http://a/1\">One</a><a href=\"http://a/2\">Two</a>",
         {Hit("One", "http://a/1"), Hit("Two", "http://a/2")}},
        // Line breaks separate words; a line break tag does too.
        {"03 nested markup and line feeds",
         "<a href=\"http://a/1\"><b>Bold</b> <font size=2>small</font>\nword<br>\r\nnext</a>",
         {Hit("Bold small word next", "http://a/1")}},
        // References are decoded, in the description and in the link alike.
        {"04 character references",
         "<a href=\"http://a/?x=1&amp;y=2\">Tom&nbsp;&amp;&quot;Jerry&quot;</a>",
         {Hit("Tom &\"Jerry\"", "http://a/?x=1&y=2")}},
        // The last hit, whose end token never comes, runs to the end of the page.
        {"05 start token without end token",
         "<a href=\"http://a/1\">no end here", {Hit("no end here", "http://a/1")}},
        {"06 quote as second character after the token ends the page",
         "<a href=\"http:\"x\">stop</a><a href=\"http://a/2\">never</a>", {}},
        // The description starts after the ">" that closes the link's tag.
        {"07 empty URL when the token's fourth-last character is a quote",
         "<a href=\"abc\">t</a>", {Hit("t", "")}, "<a href=\"abc", kEnd},
        {"08 no closing quote for the URL", "<a href=\"http://a/1 broken", {}},
        {"09 unclosed tag in a description stays",
         "<a href=\"http://a/1\">a < b</a>", {Hit("a < b", "http://a/1")}},
        {"10 page without the start token", "<html>nothing</html>", {}},
        // A token that ends with "=": the link is unquoted, up to a blank or the tag's end.
        {"11 unquoted links", "<a class=t href=http://a/1 rel=x>One</a><a class=t href=http://a/2>Two</a>",
         {Hit("One", "http://a/1"), Hit("Two", "http://a/2")}, "<a class=t href=", kEnd},
    };
    for (const CExtractCase& c : cases) {
        SCOPED_TRACE(c.m_pszName);
        EXPECT_EQ(Extract(c.m_strPage, c.m_pszStart, c.m_pszEnd), c.m_expected);
    }
}

TEST(ExtractHits, DescriptionIsCutAt350AfterCleaning)
{
    // References and white space are settled first, so nothing is left half.
    const std::string strPage =
        "<a href=\"http://a/1\">" + std::string(345, 'x') + "&nbsp;&nbsp;\n<b>tail</b> and more</a>";
    const std::vector<CSearchHit> hits = Extract(strPage);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].m_strDescription, std::string(345, 'x') + " tail");

    // A cut that ends on a blank does not keep it.
    const std::string strBlank = "<a href=\"http://a/1\">" + std::string(349, 'y') + " zzz</a>";
    EXPECT_EQ(Extract(strBlank)[0].m_strDescription, std::string(349, 'y'));
}

TEST(ExtractHits, CutNeverSplitsAUtf8Character)
{
    const std::string strPage = "<a href=\"http://a/1\">" + std::string(349, 'x') + "\xc3\xa9zz</a>";
    EXPECT_EQ(Extract(strPage)[0].m_strDescription, std::string(349, 'x'));
}

TEST(ExtractHits, ShortStartTokenNeverStartsTheUrlBeforeThePage)
{
    const std::vector<CSearchHit> hits = Extract("<a\"x\">title</a>", "<a", kEnd);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].m_strUrl, "<a");
    EXPECT_EQ(hits[0].m_strDescription, "title");
}

TEST(ExtractHits, DegenerateTokensEndTheScan)
{
    // A one-character token starts its link (and so its description) before
    // itself, and an empty end token never ends a hit: the scan still moves on
    // (a page the fuzzer found looped for ever).
    EXPECT_LE(Extract("twOn\">e<Ao&amp;<b>two<'b></a href=\"h<//../h2><p>&tt\"1<p>", "e", "").size(), 3u);
    // Empty tokens (an engine added without them) must not loop forever.
    const std::string strPage = "ab\"cd\"ef\"gh\"";
    EXPECT_LE(Extract(strPage, "", "").size(), strPage.size());
    EXPECT_LE(Extract(strPage, "x", "").size(), strPage.size());
    EXPECT_LE(Extract(strPage, "", "\"").size(), strPage.size());
}

TEST(ExtractHits, DuplicatesAcrossEnginesAndPages)
{
    const std::string strPage = "<a href=\"http://a/1\">One</a><a href=\"http://a/2\">Two</a>"
                                "<a href=\"http://a/1\">One again</a>";
    CResultRows rows;
    EXPECT_EQ(ExtractPageHits(strPage, rows, kStart, kEnd, "First", true).m_nAdded, 2);
    EXPECT_EQ(ExtractPageHits(strPage, rows, kStart, kEnd, "Second", true).m_nAdded, 0); // all duplicates
    EXPECT_EQ(rows.GetRowCount(), 2);
    EXPECT_EQ(rows.GetCell(0, 2), "First");

    CResultRows keepAll;
    EXPECT_EQ(ExtractPageHits(strPage, keepAll, kStart, kEnd, "First", false).m_nAdded, 3);
    EXPECT_EQ(ExtractPageHits(strPage, keepAll, kStart, kEnd, "Second", false).m_nAdded, 3);
    EXPECT_EQ(keepAll.GetRowCount(), 6);
    // Only the URL decides: the same URL with other case is no duplicate.
    EXPECT_EQ(ExtractPageHits("<a href=\"http://A/1\">x</a>", rows, kStart, kEnd, "Third", true).m_nAdded, 1);
}

TEST(ExtractHits, NoRowIsAddedAfterCancel)
{
    CCancelSignal cancel;
    cancel.Signal();
    CResultRows rows;
    EXPECT_EQ(ExtractPageHits("<a href=\"http://a/1\">x</a>", rows, kStart, kEnd, "E", false, &cancel).m_nAdded, 0);
    EXPECT_EQ(rows.GetRowCount(), 0);
}

TEST(CleaningSteps, StripDecodeAndCollapse)
{
    EXPECT_EQ(HtmlToText("a<b>b</b>c<d"), "abc<d");
    EXPECT_EQ(HtmlToText("<<x>>y"), ">y");
    EXPECT_EQ(HtmlToText("one<br>two<p>three</P>four<li>five"), "one two three four five");
    EXPECT_EQ(HtmlToText("a<!-- x > y -->b"), "ab");
    EXPECT_EQ(HtmlToText("a<script>if (a<b) x='</b>';</script>b"), "ab");
    EXPECT_EQ(HtmlToText("a<STYLE type=text/css>.x{}</style >b"), "ab");
    EXPECT_EQ(HtmlToText("a<style>never closed"), "a");
    EXPECT_EQ(HtmlToText("a<scripts>b</scripts>c"), "abc"); // only the script element itself

    EXPECT_EQ(DecodeCharacterReferences("&amp;&lt;&gt;&quot;&apos;&#39;&#x27;&#X41;&eacute;"),
              "&<>\"'''A\xc3\xa9");
    EXPECT_EQ(DecodeCharacterReferences("&nbsp;"), "\xc2\xa0");
    EXPECT_EQ(DecodeCharacterReferences("a&nbsp;b&#160;c", true), "a b c");
    EXPECT_EQ(DecodeCharacterReferences("&#8212;&#x1F600;"), "\xe2\x80\x94\xf0\x9f\x98\x80");
    // Not references: the '&' stands for itself.
    EXPECT_EQ(DecodeCharacterReferences("a & b &unknown; &amp &#; &#x;"), "a & b &unknown; &amp &#; &#x;");
    // Code points that cannot be encoded become U+FFFD.
    EXPECT_EQ(DecodeCharacterReferences("&#0;&#xD800;&#99999999999;"),
              "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(DecodeCharacterReferences("&#39x"), "'x"); // the ';' of a numeric one is optional

    EXPECT_EQ(HtmlToText("  a \t\r\n b\f\vc  "), "a b c");
    EXPECT_EQ(HtmlToText(" \n <br> &nbsp;"), "");
    EXPECT_EQ(HtmlToText("<p>one</p><p>two</p>&amp;<b>th</b>ree &lt;b&gt;"), "one two &three <b>");
    EXPECT_EQ(HtmlToText("abcdefgh", 3), "abcd"); // stops once past the limit

    // A comment without its end runs to the end of the text, as in a browser.
    EXPECT_EQ(HtmlToText("a<!--b>c<i>d"), "a");
    EXPECT_EQ(HtmlToText("a <!--b> c"), "a");
}

TEST(CleaningSteps, HostileMarkupIsReadInOnePass)
{
    // Comment openers without an end, or "<" without ">", by the megabyte: each
    // used to send a search to the end of the text, so the cleaning took the
    // square of the length (minutes for these); it now reads the text once.
    const auto start = std::chrono::steady_clock::now();
    std::string strComments, strOpeners, strScripts;
    for (int i = 0; i < 300000; ++i) {
        strComments += "<!--a>";
        strOpeners += "<x";
        strScripts += "<style>";
    }
    EXPECT_EQ(HtmlToText("words " + strComments), "words");
    EXPECT_EQ(CleanDescription("words " + strComments), "words");
    EXPECT_EQ(HtmlToText("w" + strComments), "w");
    EXPECT_EQ(HtmlToText("w " + strOpeners, 8), "w <x<x<x<"); // one past the limit
    EXPECT_EQ(HtmlToText("w" + strOpeners), "w" + strOpeners);
    EXPECT_EQ(HtmlToText("w" + strScripts), "w");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)); // about 20 ms
}

// The shapes of today's result pages, each as a small hand-written page: the
// token, the page and the rows it must give, with links resolved against
// https://www.engine.example/search?q=x.
TEST(ExtractHits, ShapesOfResultPages)
{
    struct CShapeCase
    {
        const char* m_pszName;
        const char* m_pszStart;
        const char* m_pszEnd;
        std::string m_strPage;
        std::vector<CSearchHit> m_expected;
    };
    const std::vector<CShapeCase> cases = {
        {"01 an attribute before href (the value starts after the token's quote)",
         "<a class=\"title\" title=\"", "</li>",
         "<li><a class=\"title\" title=\"https://a.example/\" href=\"https://a.example/\">A title</a>"
         "<p class=\"s\">its snippet</p></li>",
         {Hit("A title its snippet", "https://a.example/")}},
        {"02 attributes after href do not reach the description", "<a rel=\"nofollow\" href=\"", "</td>",
         "<td><a rel=\"nofollow\" href=\"https://a.example/1\" class='result-link' target=_blank>Title one</a></td>",
         {Hit("Title one", "https://a.example/1")}},
        {"03 single quotes: the link ends at the quote that opened it", "<a href='", "</a>",
         "<a href='https://a.example/?q=\"x\"'>Quoted</a>", {Hit("Quoted", "https://a.example/?q=\"x\"")}},
        {"04 a protocol-relative link", "<a class=\"r\" href=\"", "</a>",
         "<a class=\"r\" href=\"//cdn.example/page\">Cdn</a>", {Hit("Cdn", "https://cdn.example/page")}},
        {"05 the engine's redirect, relative", "<a class=\"r\" href=\"", "</a>",
         "<a class=\"r\" href=\"/l/?uddg=https%3A%2F%2Fb.example%2Fx&amp;rut=9\">Wrapped</a>",
         {Hit("Wrapped", "https://b.example/x")}},
        {"06 the engine's redirect on a sibling host, in base64url", "<h2><a href=\"", "</h2>",
         "<h2><a href=\"https://r.engine.example/ck/a?!&amp;p=1&amp;u=a1aHR0cDovL2MuZXhhbXBsZS8\">B64</a></h2>",
         {Hit("B64", "http://c.example/")}},
        {"07 another site's link keeps the address in its query", "<h2><a href=\"", "</h2>",
         "<h2><a href=\"https://other.example/go?to=https%3A%2F%2Fd.example%2F\">Other</a></h2>",
         {Hit("Other", "https://other.example/go?to=https%3A%2F%2Fd.example%2F")}},
        {"08 script and style in a title", "<a href=\"", "</a>",
         "<a href=\"https://e.example/\"><style>.c{color:red}</style>Styled<script>x('<b>')</script> title</a>",
         {Hit("Styled title", "https://e.example/")}},
        {"09 character references and line breaks", "<a href=\"", "</p>",
         "<a href=\"https://f.example/\">Fish &amp; Chips&nbsp;&#8211;\n<b>a</b>\nguide</a><p>caf&eacute;</p>",
         {Hit("Fish & Chips \xe2\x80\x93 a guide caf\xc3\xa9", "https://f.example/")}},
        {"10 a token written for the old rule (ends with http)", "<a href=\"http", "</a>",
         "<a href=\"http://g.example/&amp;x\">Old</a>", {Hit("Old", "http://g.example/&x")}},
        // The page served under another name than its links use (a mirror):
        // every hit goes through one redirect address, which is undone.
        {"11 every hit through one redirect of another host", "<a class=\"r\" href=\"", "</a>",
         "<a class=\"r\" href=\"//ddg.example/l/?uddg=https%3A%2F%2Fa.example%2F\">A</a>"
         "<a class=\"r\" href=\"//ddg.example/l/?uddg=https%3A%2F%2Fb.example%2F\">B</a>"
         "<a class=\"r\" href=\"//ddg.example/l/?uddg=https%3A%2F%2Fc.example%2F\">C</a>",
         {Hit("A", "https://a.example/"), Hit("B", "https://b.example/"), Hit("C", "https://c.example/")}},
        {"13 every hit through one redirect that holds its target in the path", "<a class=\"r\" href=\"", "</a>",
         "<a class=\"r\" href=\"https://r.ddg.example/_y=1;_u=x/RU=https%3a%2f%2fa.example%2f/RK=0\">A</a>"
         "<a class=\"r\" href=\"https://r.ddg.example/_y=2;_u=y/RU=https%3a%2f%2fb.example%2f/RK=0\">B</a>"
         "<a class=\"r\" href=\"https://r.ddg.example/_y=3;_u=z/RU=https%3a%2f%2fc.example%2f/RK=0\">C</a>",
         {Hit("A", "https://a.example/"), Hit("B", "https://b.example/"), Hit("C", "https://c.example/")}},
        {"12 one hit of several through another host's address stays", "<a class=\"r\" href=\"", "</a>",
         "<a class=\"r\" href=\"https://archive.example/save?url=https%3A%2F%2Fa.example%2F\">A</a>"
         "<a class=\"r\" href=\"https://b.example/\">B</a><a class=\"r\" href=\"https://c.example/\">C</a>",
         {Hit("A", "https://archive.example/save?url=https%3A%2F%2Fa.example%2F"), Hit("B", "https://b.example/"),
          Hit("C", "https://c.example/")}},
    };
    const CLinkCleaner links("https://www.engine.example/search?q=x", "https://www.engine.example/search");
    for (const CShapeCase& c : cases) {
        SCOPED_TRACE(c.m_pszName);
        CResultRows rows;
        const CPageHits hits = ExtractPageHits(c.m_strPage, rows, c.m_pszStart, c.m_pszEnd, "E", true,
                                               nullptr, &links);
        EXPECT_TRUE(hits.m_bTokenFound);
        EXPECT_EQ(rows.GetRows(), c.m_expected);
    }
}

TEST(ExtractHits, DuplicatesAreFoundByTheAddressTheLinkLeadsTo)
{
    const CLinkCleaner links("https://www.engine.example/search?q=x", "https://www.engine.example/search");
    const std::string strPage = "<a href=\"/l/?u=https%3A%2F%2Fh.example%2F\">Wrapped</a>"
                                "<a href=\"https://h.example/\">Direct</a>"
                                "<a href=\"https://h.example/?a=1&amp;b=2\">One</a>"
                                "<a href=\"https://h.example/?a=1&b=2\">Same</a>";
    CResultRows rows;
    const CPageHits hits = ExtractPageHits(strPage, rows, "<a href=\"", "</a>", "E", true, nullptr, &links);
    EXPECT_EQ(hits.m_nAdded, 2);
    EXPECT_EQ(hits.m_nDuplicates, 2);
    ASSERT_EQ(rows.GetRowCount(), 2);
    EXPECT_EQ(rows.GetCell(0, 0), "Wrapped");
    EXPECT_EQ(rows.GetCell(1, 1), "https://h.example/?a=1&b=2");
}

TEST(ExtractHits, APageWithoutTheTokenIsTold)
{
    CResultRows rows;
    const CPageHits botCheck = ExtractPageHits("<html><form>Please confirm you are human</form></html>",
                                               rows, "<a rel=\"nofollow\" href=\"", "</a>", "E", true);
    EXPECT_FALSE(botCheck.m_bTokenFound);
    EXPECT_EQ(botCheck.m_nAdded, 0);
    // A token whose hit cannot be cut out still counts as found.
    const CPageHits broken = ExtractPageHits("<a href=\"x", rows, "<a href=\"", "</a>", "E", true);
    EXPECT_TRUE(broken.m_bTokenFound);
    EXPECT_EQ(broken.m_nAdded, 0);
}

TEST(ExtractHits, LinksThatAreNoResultsAreNotListedNorCounted)
{
    // Scripts, data and local files never become rows (so they never reach an
    // opener, a copy or an export), whatever their case or the blanks and
    // control bytes before them; nor does a link longer than 8 KiB. They do
    // not count toward the page's rows either.
    const std::string strLong = "http://a.example/" + std::string(kMaxHitUrlBytes, 'u');
    const std::string strPage = "<a href=\"javascript:alert(1)\">Script</a>"
                                "<a href=\"JavaScript&#58;alert(2)\">Encoded</a>"
                                "<a href=\" \x01vbscript:msgbox\">VB</a>"
                                "<a href=\"data:text/html,<b>x</b>\">Data</a>"
                                "<a href=\"FILE:///etc/passwd\">File</a>"
                                "<a href=\"" + strLong + "\">Long</a>"
                                "<a href=\"https://a.example/ok\">Kept</a>"
                                "<a href=\"/relative/javascript:x\">Relative</a>";
    CResultRows rows;
    const CLinkCleaner links("https://engine.example/search?q=x", "https://engine.example/");
    const CPageHits hits = ExtractPageHits(strPage, rows, "<a href=\"", "</a>", "E", true, nullptr, &links, 1);
    EXPECT_EQ(hits.m_nAdded, 1);
    EXPECT_TRUE(hits.m_bCut); // the limit of one row was reached by a real hit only
    ASSERT_EQ(rows.GetRowCount(), 1);
    EXPECT_EQ(rows.GetCell(0, 1), "https://a.example/ok");

    CResultRows all;
    ExtractPageHits(strPage, all, "<a href=\"", "</a>", "E", true, nullptr, &links);
    ASSERT_EQ(all.GetRowCount(), 2);
    EXPECT_EQ(all.GetCell(1, 1), "https://engine.example/relative/javascript:x");
    EXPECT_TRUE(IsListableHitUrl("http://" + std::string(kMaxHitUrlBytes - 7, 'h')));
    EXPECT_FALSE(IsListableHitUrl("http://" + std::string(kMaxHitUrlBytes - 6, 'h')));
}

TEST(ExtractHits, AHitNeverSwallowsTheNextOne)
{
    // The first result lost its end token: it ends where the next one starts,
    // and the next is read as usual.
    EXPECT_EQ(Extract("<li><a href=\"http://a/1\">One<li><a href=\"http://a/2\">Two</a><li><a href=\"http://a/3\">Three</a>",
                      "<li><a href=\"", "</a>"),
              (std::vector<CSearchHit>{Hit("One", "http://a/1"), Hit("Two", "http://a/2"), Hit("Three", "http://a/3")}));
    // A definition that ends each description at the next result's markup keeps
    // the last result too: it runs to the end of the page, cleaned and cut.
    const std::string strTail(1000, 'z');
    const std::vector<CSearchHit> hits =
        Extract("<div class=r><a href=\"http://a/1\">One</a> first<div class=r><a href=\"http://a/2\">Two</a> " + strTail,
                "<div class=r><a href=\"", "<div class=r>");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].m_strDescription, "One first");
    EXPECT_EQ(hits[1].m_strDescription, "Two " + strTail.substr(0, kMaxDescriptionLength - 4));
    // An end token that comes first still ends the hit, as it always did.
    EXPECT_EQ(Extract("<a href=\"http://a/1\">One</a> tail <a href=\"http://a/2\">Two</a>"),
              (std::vector<CSearchHit>{Hit("One", "http://a/1"), Hit("Two", "http://a/2")}));
}

// The pattern search remembers what it found to stay linear; its answers
// must be those of the plain definition, tried at every place in turn.
TEST(TokenPattern, FindsWhatTryingEveryPlaceFinds)
{
    auto reference = [](const std::string& text, const std::vector<std::string>& parts, size_t nFrom) {
        for (size_t nStart = nFrom; nStart < text.size(); ++nStart) {
            if (text.compare(nStart, parts[0].size(), parts[0]) != 0)
                continue;
            size_t nAt = nStart + parts[0].size();
            bool bMatched = true;
            for (size_t s = 1; s < parts.size() && bMatched; ++s) {
                const size_t nStop = std::min(text.size(), text.find_first_of("<>", nAt));
                const size_t nPart = text.find(parts[s], nAt);
                bMatched = nPart != std::string::npos && nPart <= nStop;
                nAt = bMatched ? nPart + parts[s].size() : nAt;
            }
            if (bMatched)
                return nStart;
        }
        return std::string::npos;
    };
    std::mt19937 random(7);
    const std::string alphabet = "ab<>=\" ";
    auto word = [&](size_t nMax) {
        std::string out;
        for (size_t n = random() % (nMax + 1); n > 0; --n)
            out += alphabet[random() % alphabet.size()];
        return out;
    };
    for (int nCase = 0; nCase < 3000; ++nCase) {
        std::vector<std::string> parts;
        for (size_t n = 1 + random() % 3; n > 0; --n) {
            std::string part = word(3);
            if (part.empty())
                part = "a";
            parts.push_back(part);
        }
        std::string token = parts[0];
        for (size_t s = 1; s < parts.size(); ++s)
            token += "{*}" + parts[s];
        const std::string text = word(80);
        const size_t nFrom = random() % 8;
        size_t nLength = 0;
        ASSERT_EQ(CTokenPattern(token).Find(text, nFrom, &nLength), reference(text, parts, nFrom))
            << token << " in " << text << " from " << nFrom;
    }
}

TEST(TokenPattern, AWildcardMatchesInsideOneTagOnly)
{
    const CTokenPattern heading("<h2{*}><a href=\"");
    size_t nLength = 0;
    EXPECT_EQ(heading.Find("x<h2 class=\" b_topTitle\"><a href=\"u", 0, &nLength), 1u);
    EXPECT_EQ(nLength, std::string("<h2 class=\" b_topTitle\"><a href=\"").size());
    EXPECT_EQ(heading.Find("<h2><a href=\"u", 0, &nLength), 0u);
    EXPECT_EQ(nLength, std::string("<h2><a href=\"").size());
    // Never across a tag's end: here the first <h2 has no link right after it.
    EXPECT_EQ(heading.Find("<h2>t</h2><p><h2 id=x><a href=\"u", 0, &nLength), 13u);
    const CTokenPattern generated("<div class=\"result-content {*}\"><a href=\"");
    for (const char* pszPage : {"<div class=\"result-content svelte-1rq4ngz\"><a href=\"", "<div class=\"result-content svelte-9x\"><a href=\""})
        EXPECT_EQ(generated.Count(pszPage), 1u) << pszPage;
    EXPECT_EQ(generated.Count("<div class=\"result-content x\"><b><a href=\""), 0u);
    // Without the wildcard a token is plain text; "{*}" alone matches nothing.
    EXPECT_EQ(CTokenPattern("a{b}c").Find("xa{b}c", 0, &nLength), 1u);
    EXPECT_EQ(CTokenPattern("{*}").Find("anything", 0, &nLength), std::string::npos);
    EXPECT_EQ(CTokenPattern("{*}x{*}").Find("abx", 0, &nLength), 2u);

    // In a definition: the hits of both markups, links and titles as usual.
    EXPECT_EQ(Extract("<h2 class=\"a1\"><a href=\"http://a/1\">One</a></h2><h2><a href=\"http://a/2\">Two</a></h2>",
                      "<h2{*}><a href=\"", "</a>"),
              (std::vector<CSearchHit>{Hit("One", "http://a/1"), Hit("Two", "http://a/2")}));
}
