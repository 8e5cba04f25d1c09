// SPDX-License-Identifier: MIT
// The engine workbench: definitions learned from hand-written result pages of
// several shapes, the address split around the query, paging read from the
// page's next link, and the diagnosis of check-engines.

#include "engines/EngineCatalogue.h"
#include "search/QueryComposer.h"
#include "workbench/EngineCheck.h"
#include "workbench/EngineLearner.h"
#include "workbench/PageLinks.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr const char* kPageUrl = "https://www.engine.example/search?q=red+apple";

// The engine's own furniture around the results: navigation, settings and
// related searches (links of its own site, some with the query's words).
std::string Furniture(const std::string& strResults)
{
    return "<html><head><title>red apple - Engine</title></head><body>"
           "<div class=\"nav\"><a class=\"tab\" href=\"/search?q=red+apple&t=images\">Images</a>"
           "<a class=\"tab\" href=\"/search?q=red+apple&t=news\">News</a>"
           "<a class=\"tab\" href=\"/settings\">Settings</a></div>" +
           strResults +
           "<div class=\"related\"><a class=\"rel\" href=\"/search?q=red+apple+pie\">red apple pie</a>"
           "<a class=\"rel\" href=\"/search?q=red+apple+tree\">red apple tree</a>"
           "<a class=\"rel\" href=\"/search?q=red+apple+cider\">red apple cider</a></div></body></html>";
}

std::vector<std::string> Sites()
{
    return {"https://orchard.example/red", "https://fruit.example/apples/red", "https://recipes.example/apple",
            "https://wiki.example/Red_apple", "https://garden.example/trees"};
}

struct CShape
{
    const char* m_pszName;
    std::string m_strPage;
};

std::vector<CShape> Shapes()
{
    std::vector<CShape> shapes;
    const std::vector<std::string> sites = Sites();
    auto each = [&sites](const std::function<std::string(const std::string&, int)>& f) {
        std::string out;
        for (size_t i = 0; i < sites.size(); ++i)
            out += f(sites[i], static_cast<int>(i));
        return out;
    };
    shapes.push_back({"a list with snippets", Furniture("<ol>" + each([](const std::string& url, int i) {
        return "<li class=\"result\"><h3><a href=\"" + url + "\">Red apple " + std::to_string(i) +
               "</a></h3><p class=\"snippet\">All about red apples, part " + std::to_string(i) + ".</p></li>";
    }) + "</ol>")});
    shapes.push_back({"the title attribute before href", Furniture(each([](const std::string& url, int i) {
        return "<div class=\"r\"><a class=\"title\" title=\"" + url + "\" href=\"" + url + "\">Apples, red " +
               std::to_string(i) + "</a></div>";
    }))});
    shapes.push_back({"single quotes", Furniture(each([](const std::string& url, int i) {
        return "<div class='r'><a class='res' href='" + url + "'>The red apple " + std::to_string(i) + "</a></div>";
    }))});
    shapes.push_back({"redirect links", Furniture(each([](const std::string& url, int i) {
        std::string strEncoded;
        for (const char c : url)
            strEncoded += c == ':' ? "%3A" : c == '/' ? "%2F" : std::string(1, c);
        return "<div class=\"g\"><a class=\"l\" href=\"/url?q=" + strEncoded + "&amp;sa=U\">Red apple " +
               std::to_string(i) + "</a></div>";
    }))});
    shapes.push_back({"a sponsored block first",
                      Furniture("<div class=\"ads\"><a class=\"ad\" href=\"https://shop.example/buy\">Buy red apples</a>"
                                "<a class=\"ad\" href=\"https://market.example/apples\">Red apples cheap</a></div>" +
                                each([](const std::string& url, int i) {
                                    return "<div class=\"res\"><a class=\"link\" href=\"" + url + "\">Red apple facts " +
                                           std::to_string(i) + "</a></div>";
                                }))});
    shapes.push_back({"a results table", Furniture("<table>" + each([](const std::string& url, int i) {
        return "<tr><td class=\"n\">" + std::to_string(i + 1) + ".</td><td><a rel=\"nofollow\" href=\"" + url +
               "\" class=\"result-link\">Red apple " + std::to_string(i) +
               "</a></td></tr><tr><td></td><td class=\"snippet\">About apples.</td></tr>";
    }) + "</table>")});
    shapes.push_back({"a table whose rows link in several columns", Furniture("<table>" + each([](const std::string& url, int i) {
        return "<tr class=\"" + std::string(i % 2 ? "odd" : "even") + "\"><td><a href=\"" + url + "\">Red apple " +
               std::to_string(i) + "</a></td><td>Apples for the garden, part " + std::to_string(i) +
               "</td><td><a href=\"/user/grower" + std::to_string(i) + "\">grower" + std::to_string(i) + "</a></td></tr>";
    }) + "</table>")});
    shapes.push_back({"a title over several tags", Furniture(each([](const std::string& url, int i) {
        return "<article><a class=\"hit\" href=\"" + url + "\"><span>Red</span> <b>apple</b> <i>facts</i> " +
               std::to_string(i) + "</a><p>more</p></article>";
    }))});
    return shapes;
}

} // namespace

CLearnResult LearnPage(const std::string& strPage, const std::string& strAddress = kPageUrl,
                       const std::string& strQuery = "red apple", const std::string& strExample = "")
{
    CPageAnswer answer;
    answer.m_nStatus = 200;
    answer.m_strText = strPage;
    CLearnRequest request{"E", strQuery, strAddress, strExample};
    return LearnFromPage(request, answer, nullptr);
}

std::vector<std::string> Urls(const std::vector<CSearchHit>& hits)
{
    std::vector<std::string> urls;
    for (const CSearchHit& hit : hits)
        urls.push_back(hit.m_strUrl);
    return urls;
}

TEST(LearnTokens, FindTheResultsOfPagesOfManyShapes)
{
    for (const CShape& shape : Shapes()) {
        SCOPED_TRACE(shape.m_pszName);
        const CLearnResult result = LearnPage(shape.m_strPage);
        ASSERT_EQ(result.m_nVerdict, LearnVerdict::Learned) << result.m_strReason;
        for (const CSearchHit& hit : result.m_hits) {
            EXPECT_NE(hit.m_strDescription.find("pple"), std::string::npos) << hit.m_strDescription;
            EXPECT_EQ(hit.m_strDescription.find('<'), std::string::npos) << hit.m_strDescription;
        }
        EXPECT_EQ(Urls(result.m_hits), Sites()) << result.m_engine.m_strStartToken;
    }
}

TEST(LearnTokens, GeneratedClassNamesBecomeWildcards)
{
    std::string strResults;
    for (const std::string& strUrl : Sites())
        strResults += "<div class=\"result-content svelte-1rq4ngz\"><a href=\"" + strUrl + "\">Red apple " +
                      std::to_string(strResults.size()) + "</a></div><a href=\"/more?q=red+apple\">More like this</a>";
    const CLearnResult result = LearnPage(Furniture(strResults));
    EXPECT_EQ(result.m_engine.m_strStartToken.find("1rq4ngz"), std::string::npos) << result.m_engine.m_strStartToken;
    EXPECT_EQ(result.m_hits.size(), 5u);
}

// Pages of the shapes site searches and redesigned engines have: what the
// learner must find there, or the verdict it must give.
TEST(LearnEngine, SiteSearchesAndOtherShapes)
{
    const std::string strSite = "https://forum.example/search?q=red+apple";
    auto rows = [](int n, const std::function<std::string(int)>& f) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += f(i);
        return out;
    };
    auto numbered = [](const char* pszPrefix, int n, const char* pszSuffix = "/") {
        std::vector<std::string> urls;
        for (int i = 0; i < n; ++i)
            urls.push_back(pszPrefix + std::to_string(i) + pszSuffix);
        return urls;
    };
    const std::string strMenu = "<header><nav><a href=\"/\">Home</a><a href=\"/questions\">Questions</a>"
                                "<a href=\"/tags\">Tags</a><a href=\"/users\">Users</a></nav></header>";
    const std::string strPager = "<div class=\"pager\"><a href=\"/search?q=red+apple&amp;page=2\">2</a>"
                                 "<a href=\"/search?q=red+apple&amp;page=3\">3</a>"
                                 "<a rel=\"next\" href=\"/search?q=red+apple&amp;page=2\">Next</a></div>";
    struct CCase
    {
        const char* m_pszName;
        std::string m_strPage;
        std::string m_strAddress;
        std::string m_strQuery;
        LearnVerdict m_nVerdict;
        std::vector<std::string> m_urls; // when learned
    };
    const std::vector<CCase> cases = {
        {"a forum's own relative links, with tags, users, a menu and pages",
         "<html><body>" + strMenu + rows(5, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=\"summary\"><h3><a href=\"/questions/" + n + "/?r=SearchResults\">How do I keep a red apple tree number " +
                    n + " healthy</a></h3><p class=\"excerpt\">I planted it last spring and the leaves curl.</p>"
                    "<div class=\"tags\"><a href=\"/tags/trees\">trees</a><a href=\"/tags/apples\">apples</a></div>"
                    "<a class=\"user\" href=\"/users/" + n + "\">ann" + n + "</a></div>\n";
         }) + strPager + "<footer><a href=\"/about\">About us</a><a href=\"/legal\">Privacy policy</a></footer></body></html>",
         strSite, "red apple", LearnVerdict::Learned,
         [] {
             std::vector<std::string> urls;
             for (int i = 0; i < 5; ++i)
                 urls.push_back("https://forum.example/questions/" + std::to_string(i) + "/?r=SearchResults");
             return urls;
         }()},
        {"posters before titles, row classes that change, no query word in any title",
         "<html><body>" + strMenu + rows(6, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=\"film c" + std::to_string(i % 4) + "\"><a href=\"/film/" + n + "/\"><img src=\"p" + n +
                    ".jpg\"></a><a href=\"/film/" + n + "/\">The Orchard Story, part " + n +
                    "</a> <span class=\"year\">19" + n + "9</span> <span>A family drama about a farm and its trees.</span></div>";
         }) + "</body></html>",
         "https://films.example/find/?s=red+apple", "red apple", LearnVerdict::Learned,
         numbered("https://films.example/film/", 6)},
        {"a [PDF] side link before each title, Cached after it, the snippet linked too",
         Furniture(rows(5, [](int i) {
             const std::string n = std::to_string(i);
             return "<li class=\"r\"><a href=\"https://files" + n + ".example/doc.pdf\">[PDF]</a> <a href=\"https://site" + n +
                    ".example/\">Growing apples at home, chapter " + n + "</a> <a href=\"https://cache.engine.example/c?u=" + n +
                    "\">Cached</a><p><a href=\"https://site" + n + ".example/\">Apples grow well in most gardens when the soil "
                    "drains and the tree gets sun for most of the day; this chapter says how.</a></p></li>";
         })),
         kPageUrl, "red apple", LearnVerdict::Learned, numbered("https://site", 0)},
        {"unquoted attributes, a JSON attribute before href, <em> in padded titles, one line",
         Furniture(rows(5, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=r><a class=t data-log='{\"pos\":" + n + ",\"kind\":\"web\"}' href=https://s" + n +
                    ".example/a>\n   <em>Red</em> apple facts, volume " + n + "\n  </a><span class=s>Some words about it here.</span></div>";
         })),
         kPageUrl, "red apple", LearnVerdict::Learned,
         {"https://s0.example/a", "https://s1.example/a", "https://s2.example/a", "https://s3.example/a", "https://s4.example/a"}},
        {"a two-letter query in Cyrillic, served from an address typed as an IP",
         "<html><head><link rel=\"icon\" href=\"/favicon.ico\"><link rel=\"stylesheet\" href=\"/s.css\"></head><body>" +
             rows(4, [](int i) {
                 const std::string n = std::to_string(i);
                 return "<table><tr><td class=\"n\">" + n + ".</td><td><a rel=\"nofollow\" href=\"http://w" + n +
                        ".example/\" class=\"result-link\">\xd0\xaf\xd0\xb1\xd0\xbb\xd0\xbe\xd0\xba\xd0\xbe " + n +
                        "</a></td></tr><tr><td></td><td class=\"snippet\">\xd0\xa1\xd0\xbe\xd1\x80\xd1\x82 " + n + "</td></tr></table>";
             }) + "</body></html>",
         "http://127.0.0.1:8080/lite/?q=%D0%AF%D0%B1", "\xd0\xaf\xd0\xb1", LearnVerdict::Learned,
         {"http://w0.example/", "http://w1.example/", "http://w2.example/", "http://w3.example/"}},
        {"a mirror: the page's links are the redirects of a host it was not asked by",
         "<html><head><link rel=\"icon\" href=\"/favicon.ico\"></head><body><table>" + rows(5, [](int i) {
             const std::string n = std::to_string(i);
             return "<tr><td>" + n + ".</td><td><a rel=\"nofollow\" href=\"//ddg.example/l/?uddg=https%3A%2F%2Fm" + n +
                    ".example%2F&amp;rut=a" + n + "\" class='result-link'>Apple pages, number " + n +
                    "</a></td></tr><tr><td></td><td class='result-snippet'>About apples.</td></tr>";
         }) + "</table></body></html>",
         "http://127.0.0.1:8080/lite/?q=red+apple", "red apple", LearnVerdict::Learned, numbered("https://m", 5, ".example/")},
        {"a first result set apart in its own markup, with its site's sections under it",
         Furniture("<ol><li class=\"algo\"><h2 class=\"top\"><a href=\"https://mag.example/\">The apple magazine, home page</a></h2>"
                   "<p>News about apples.</p><ul><li><h3 class=\"deep\"><a href=\"https://mag.example/recipes/\">Recipes</a></h3>"
                   "<p>What to cook.</p></li><li><h3 class=\"deep\"><a href=\"https://mag.example/orchards/\">Orchards</a></h3>"
                   "<p>Where they grow.</p></li></ul></li>" +
                   rows(5, [](int i) {
                       const std::string n = std::to_string(i);
                       return "<li class=\"algo\"><h2><a href=\"https://site" + n + ".example/\">Apple facts, volume " + n +
                              "</a></h2><p>All about it.</p></li>";
                   }) + "</ol>"),
         kPageUrl, "red apple", LearnVerdict::Learned,
         [] {
             std::vector<std::string> urls = {"https://mag.example/"};
             for (int i = 0; i < 5; ++i)
                 urls.push_back("https://site" + std::to_string(i) + ".example/");
             return urls;
         }()},
        {"a forum whose results carry the query to highlight it, several titled alike",
         "<html><body>" + strMenu + "<a href=\"/images?q=red+apple\">Images</a><a href=\"/news?q=red+apple\">News</a>" +
             rows(6, [](int i) {
                 const std::string n = std::to_string(i);
                 return "<div class=\"post\"><h3><a href=\"./viewtopic.php?t=" + n + "&amp;hilit=red+apple\" class=\"topictitle\">" +
                        std::string(i % 2 ? "Re: my red apple tree" : "Pruning a red apple tree, year " + n) +
                        "</a></h3><div class=\"content\">When I pruned it the leaves fell.</div></div>";
             }) + strPager + "</body></html>",
         "https://forum.example/search.php?keywords=red+apple", "red apple", LearnVerdict::Learned,
         [] {
             std::vector<std::string> urls;
             for (int i = 0; i < 6; ++i)
                 urls.push_back("https://forum.example/viewtopic.php?t=" + std::to_string(i) + "&hilit=red+apple");
             return urls;
         }()},
        {"an attribute before href on some rows only, beside other links of the same tag",
         Furniture(rows(6, [](int i) {
             const std::string n = std::to_string(i);
             return "<a class=\"res\" " + std::string(i % 2 ? "data-pos=\"" + n + "\" " : "") + "href=\"https://r" + n +
                    ".example/\">Red apple report " + n + "</a> <a href=\"https://share.example/?u=" + n +
                    "\">Share this page with friends</a><br>";
         })),
         kPageUrl, "red apple", LearnVerdict::Learned, numbered("https://r", 6, ".example/")},
        {"a results page that loads a captcha for its login form",
         Furniture("<form id=\"login\"><div class=\"g-recaptcha\"></div></form>" + rows(4, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=\"hit\"><a href=\"https://a" + n + ".example/\">Apple orchard guide " + n + "</a><p>About it.</p></div>";
         })),
         kPageUrl, "red apple", LearnVerdict::Learned, numbered("https://a", 0)},
        {"a paper archive: an id for the link's text, the title after it, authors and [pdf] on every row",
         "<html><body>" + strMenu + "<ol class=\"breathe\">" + rows(6, [](int i) {
             const std::string n = std::to_string(i);
             return "<li class=\"paper\"><p class=\"list-title\"><a href=\"https://papers.example/abs/2401.0" + n +
                    "\">paper:2401.0" + n + "</a> <span>[<a href=\"https://papers.example/pdf/2401.0" + n +
                    "\">pdf</a>]</span></p><p class=\"title\">On the colour of apples in orchard " + n +
                    "</p><p class=\"authors\">Authors: <a href=\"/search/?searchtype=author&amp;query=Lee" + n +
                    "\">A. Lee</a>, <a href=\"/search/?searchtype=author&amp;query=Kim" + n + "\">B. Kim</a>, "
                    "<a href=\"/search/?searchtype=author&amp;query=Roe\">C. Roe</a></p>"
                    "<p class=\"abstract\">We measure how red the apples of " + n + " orchards are.</p></li>";
         }) + "</ol></body></html>",
         "https://papers.example/search/?query=red+apple&searchtype=all", "red apple", LearnVerdict::Learned,
         numbered("https://papers.example/abs/2401.0", 6, "")},
        {"a code host: repository names, topics on every row, star counts",
         "<html><body>" + strMenu + rows(6, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=\"repo-item\"><div class=\"f4\"><a class=\"v-align-middle\" href=\"/owner" + n + "/apple-" + n +
                    "\">owner" + n + "/apple-" + n + "</a></div><p class=\"mb-1\">A small library for sorting apples, version " + n +
                    ".</p><div class=\"topics\"><a class=\"topic-tag\" href=\"/topics/fruit\">fruit</a>"
                    "<a class=\"topic-tag\" href=\"/topics/sorting\">sorting</a><a class=\"topic-tag\" href=\"/topics/go" + n +
                    "\">go" + n + "</a></div><a class=\"muted-link\" href=\"/owner" + n + "/apple-" + n + "/stargazers\">1." + n +
                    "k</a></div>";
         }) + strPager + "</body></html>",
         "https://code.example/search?q=red+apple&type=repositories", "red apple", LearnVerdict::Learned,
         [] {
             std::vector<std::string> urls;
             for (int i = 0; i < 6; ++i)
                 urls.push_back("https://code.example/owner" + std::to_string(i) + "/apple-" + std::to_string(i));
             return urls;
         }()},
        {"a shop: picture links, product names, ratings and an Add to cart on every row",
         "<html><body>" + strMenu + rows(6, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=\"product\"><a href=\"/p/" + n + "\"><img src=\"/i/" + n + ".jpg\"></a><h2><a href=\"/p/" + n +
                    "\">Apple peeler, model " + n + "</a></h2><span class=\"price\">$1" + n + ".99</span>"
                    "<a class=\"rating\" href=\"/p/" + n + "#reviews\">4." + n + " stars</a>"
                    "<a class=\"button\" href=\"/cart/add?id=" + n + "\">Add to cart</a></div>";
         }) + "</body></html>",
         "https://shop.example/s?k=red+apple", "red apple", LearnVerdict::Learned,
         [] {
             std::vector<std::string> urls;
             for (int i = 0; i < 6; ++i)
                 urls.push_back("https://shop.example/p/" + std::to_string(i));
             return urls;
         }()},
        {"a bot check", "<html><body><form action=\"/verify\"><p>Please confirm you are human.</p>"
                        "<a href=\"/help\">Help</a><a href=\"/about\">About</a></form></body></html>",
         kPageUrl, "red apple", LearnVerdict::Refused, {}},
        {"a wall asking for JavaScript, its refresh's content first",
         "<html><head><meta content=\"0; url=/enablejs?q=red\" http-equiv=\"refresh\"></head><body></body></html>", kPageUrl,
         "red apple", LearnVerdict::Refused, {}},
        {"a page that found nothing, then a list of popular pages",
         Furniture("<p>Your search did not match any documents.</p><h2>Popular</h2>" + rows(5, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=\"pop\"><a href=\"https://pop" + n + ".example/\">Ten ways to grow pears, part " + n +
                    "</a><p>Our readers liked this.</p></div>";
         })),
         kPageUrl, "red apple", LearnVerdict::NothingMatched, {}},
        {"results, one of whose snippets says \"no results\"",
         Furniture(rows(5, [](int i) {
             const std::string n = std::to_string(i);
             return "<div class=\"res\"><a href=\"https://site" + n + ".example/\">Why my apple search gave no results, part " + n +
                    "</a><p>A forum thread: no results at first, then many.</p></div>";
         })),
         kPageUrl, "red apple", LearnVerdict::Learned, {}},
        {"a page that found nothing",
         Furniture("<p>No results found for <b>red apple</b>.</p><p>Try <a href=\"/tips\">search tips</a> or "
                   "<a href=\"/help\">the help pages</a>.</p>"),
         kPageUrl, "red apple", LearnVerdict::NothingMatched, {}},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.m_pszName);
        const CLearnResult result = LearnPage(c.m_strPage, c.m_strAddress, c.m_strQuery);
        ASSERT_EQ(result.m_nVerdict, c.m_nVerdict) << result.m_strReason;
        if (c.m_nVerdict != LearnVerdict::Learned)
            continue;
        std::vector<std::string> urls = c.m_urls;
        if (urls.empty()) // "site0.example/", ... the five sites of the page
            for (int i = 0; i < 5; ++i)
                urls.push_back((std::string(c.m_pszName).find("captcha") != std::string::npos ? "https://a" : "https://site") +
                               std::to_string(i) + ".example/");
        if (std::string(c.m_pszName).find("captcha") != std::string::npos)
            urls.resize(4);
        EXPECT_EQ(Urls(result.m_hits), urls) << result.m_engine.m_strStartToken;
        for (const CSearchHit& hit : result.m_hits)
            EXPECT_TRUE(hit.m_strDescription.size() >= 5 && hit.m_strDescription.find('<') == std::string::npos)
                << hit.m_strDescription;
        if (std::string(c.m_pszName).find("paper") != std::string::npos) { // the title after the link is in the description
            for (const CSearchHit& hit : result.m_hits)
                EXPECT_NE(hit.m_strDescription.find("On the colour of apples"), std::string::npos) << hit.m_strDescription;
        }
        for (const char ch : result.m_engine.m_strStartToken + result.m_engine.m_strEndToken)
            EXPECT_TRUE(ch != '\n' && ch != '\r') << result.m_engine.m_strStartToken;
    }
}

// The user points at one result: the list that holds it is learned, even
// when another list reads more like results; the groups considered are told.
TEST(LearnEngine, OneExamplePicksItsList)
{
    const std::string strPage = Furniture(
        "<div class=\"news\">" + std::string("<a class=\"story\" href=\"https://news1.example/a\">Apple growers meet in spring this year</a><p>Short.</p>"
                                  "<a class=\"story\" href=\"https://news2.example/b\">Orchards of the north open their gates</a><p>Short.</p>") +
        "</div>" + "<ul>" +
        "<li><span class=\"w\"><a href=\"https://w1.example/\">w1 apple</a></span></li>"
        "<li><span class=\"w\"><a href=\"https://w2.example/\">w2 apple</a></span></li>"
        "<li><span class=\"w\"><a href=\"https://w3.example/\">w3 apple</a></span></li></ul>");
    const CLearnResult guess = LearnPage(strPage);
    ASSERT_EQ(guess.m_nVerdict, LearnVerdict::Learned) << guess.m_strReason;
    ASSERT_GE(guess.m_groups.size(), 2u);
    const CLearnResult pointed = LearnPage(strPage, kPageUrl, "red apple", "https://w2.example");
    ASSERT_EQ(pointed.m_nVerdict, LearnVerdict::Learned) << pointed.m_strReason;
    EXPECT_EQ(Urls(pointed.m_hits), (std::vector<std::string>{"https://w1.example/", "https://w2.example/", "https://w3.example/"}));
    // An example in no list: the best list, and a word that it was not the example's.
    const CLearnResult elsewhere = LearnPage(strPage, kPageUrl, "red apple", "https://nowhere.example/");
    EXPECT_EQ(Urls(elsewhere.m_hits), Urls(guess.m_hits));
    EXPECT_FALSE(elsewhere.m_strExampleNote.empty());
}

// The next page is asked for once: paging that shows the same hits again is dropped.
TEST(LearnEngine, PagingIsCheckedOnTheNextPage)
{
    const std::string strPage = Shapes()[0].m_strPage + "<a href=\"/search?q=red+apple&amp;page=2\">Next</a>";
    CPageAnswer first;
    first.m_nStatus = 200;
    first.m_strText = strPage;
    const CLearnRequest request{"E", "red apple", kPageUrl, ""};
    std::vector<std::string> asked;
    const LearnFetch same = [&](const CPageRequest& page) {
        asked.push_back(page.m_strAddress);
        return std::optional<CPageAnswer>(first);
    };
    CLearnResult result = LearnFromPage(request, first, &same);
    EXPECT_EQ(asked, (std::vector<std::string>{"https://www.engine.example/search?q=red+apple&page=2"}));
    EXPECT_EQ(result.m_engine.m_nSearchType, ResultCount);
    EXPECT_FALSE(result.m_bPagingChecked);
    const LearnFetch other = [](const CPageRequest&) {
        CPageAnswer answer;
        answer.m_nStatus = 200;
        answer.m_strText = "<ol><li class=\"result\"><h3><a href=\"https://more.example/\">Red apple 9</a></h3></li>"
                           "<li class=\"result\"><h3><a href=\"https://more2.example/\">Red apple 10</a></h3></li></ol>";
        return std::optional<CPageAnswer>(answer);
    };
    result = LearnFromPage(request, first, &other);
    EXPECT_EQ(result.m_engine.m_nSearchType, PagesFromOne);
    EXPECT_TRUE(result.m_bPagingChecked);
}

TEST(SplitAddressAroundQuery, TheFirstPageIsTheAddressGiven)
{
    struct CCase
    {
        const char* m_pszAddress;
        const char* m_pszUrl;
        const char* m_pszPrefix;
        const char* m_pszSuffix;
    };
    for (const CCase& c : {
             CCase{"https://e.example/search?q=red+apple", "https://e.example/search", "?q=", ""},
             CCase{"https://e.example/search?q=red+apple&source=web", "https://e.example/search", "?q=", "&source=web"},
             CCase{"https://e.example/s?method=index&q=red%20apple#top", "https://e.example/s", "?method=index&q=", ""},
             CCase{"https://e.example/search/red+apple/all", "https://e.example/search", "/", "/all"},
         }) {
        SCOPED_TRACE(c.m_pszAddress);
        CSearchEngine engine;
        ASSERT_TRUE(SplitAddressAroundQuery(c.m_pszAddress, "red apple", engine));
        EXPECT_EQ(engine.m_strUrl, c.m_pszUrl);
        EXPECT_EQ(engine.m_strPrefix, c.m_pszPrefix);
        EXPECT_EQ(engine.m_strSuffix, c.m_pszSuffix);
    }
    CSearchEngine engine;
    // Operators and quotes as the browser left them in the address.
    ASSERT_TRUE(SplitAddressAroundQuery("https://e.example/s?q=site:a.example/in+%22red+apple%22&hl=en",
                                        "site:a.example/in \"red apple\"", engine));
    EXPECT_EQ(engine.m_strPrefix, "?q=");
    EXPECT_EQ(engine.m_strSuffix, "&hl=en");
    EXPECT_FALSE(SplitAddressAroundQuery("https://e.example/search?q=green+pear", "red apple", engine));
    EXPECT_FALSE(SplitAddressAroundQuery("red+apple", "red apple", engine));
    // As the program composes it again.
    ASSERT_TRUE(SplitAddressAroundQuery("https://e.example/search?q=red+apple&fr=x%20y", "red apple", engine));
    engine.m_strName = "E";
    engine.m_strStartToken = "s";
    engine.m_strEndToken = "e";
    LearnPaging("", "red apple", 10, engine);
    EXPECT_EQ(BuildFirstPageAddress(engine, ComposeQueryTerm("red apple", kOptionAllWords), 20),
              "https://e.example/search?q=red+apple&fr=x%20y");
}

TEST(LearnPaging, TheNextLinkDecidesTheType)
{
    auto learn = [](const std::string& strNextLink, int nHits) {
        CSearchEngine engine;
        EXPECT_TRUE(SplitAddressAroundQuery("https://e.example/search?q=red+apple", "red apple", engine));
        LearnPaging("<p><a href=\"" + strNextLink + "\">Next</a><a href=\"/search?q=other&first=7\">x</a></p>",
                    "red apple", nHits, engine);
        return engine;
    };
    CSearchEngine fromOne = learn("/search?q=red+apple&amp;first=11&amp;FORM=PERE", 10);
    EXPECT_EQ(fromOne.m_nSearchType, SinglePage);
    EXPECT_EQ(fromOne.m_strNextPage, "?q=%s&first=%d&FORM=PERE");
    EXPECT_EQ(BuildNextPageAddress(fromOne, "red+apple", 10, "e.example"),
              "https://e.example/search?q=red+apple&first=11&FORM=PERE");

    CSearchEngine fromZero = learn("https://e.example/search?q=red+apple&s=10", 10);
    EXPECT_EQ(fromZero.m_nSearchType, StartNumber);
    EXPECT_EQ(fromZero.m_strSuffix, "&s=%d");
    EXPECT_EQ(BuildNextPageAddress(fromZero, "red+apple", 10, "e.example"), "https://e.example/search?q=red+apple&s=10");

    // Page numbers, from 1 or from 0.
    const CSearchEngine fromPageOne = learn("/search?q=red+apple&page=2", 10);
    EXPECT_EQ(fromPageOne.m_nSearchType, PagesFromOne);
    EXPECT_EQ(BuildNextPageAddress(fromPageOne, "red+apple", 10, "e.example", 1), "https://e.example/search?q=red+apple&page=2");
    const CSearchEngine fromPageZero = learn("/search?q=red%20apple&amp;offset=1&amp;spellcheck=0", 10);
    EXPECT_EQ(fromPageZero.m_nSearchType, PagesFromZero);
    EXPECT_EQ(fromPageZero.m_strNextPage, "?q=%s&offset=%d&spellcheck=0");
    EXPECT_EQ(learn("/elsewhere?q=red+apple&first=11", 10).m_nSearchType, ResultCount);
    EXPECT_EQ(learn("/search?q=red+apple&n=3", 10).m_nSearchType, ResultCount); // neither a page nor a count

    // Tabs and filters carry the query and a number too: only the link that
    // says it leads to the next page decides, and a number the first page's
    // address has already is no page number.
    CSearchEngine filtered;
    ASSERT_TRUE(SplitAddressAroundQuery("https://e.example/search?q=red+apple&gbv=1", "red apple", filtered));
    LearnPaging("<a href=\"/search?q=red+apple&amp;gbv=1&amp;tbm=vid&amp;lang=1\">Videos</a>"
                "<a href=\"/search?q=red+apple&amp;gbv=1&amp;sort=2\">Newest</a>"
                "<a href=\"/search?q=red+apple&amp;gbv=1&amp;start=10\" aria-label=\"Next page\">&rsaquo;</a>",
                "red apple", 10, filtered);
    EXPECT_EQ(filtered.m_nSearchType, StartNumber);
    EXPECT_EQ(filtered.m_strSuffix, "&gbv=1&start=%d");

    // A number that is the same on every page link is a flag: the one that changes counts.
    CSearchEngine flagged;
    ASSERT_TRUE(SplitAddressAroundQuery("https://e.example/search?p=red+apple", "red apple", flagged));
    LearnPaging("<a href=\"/search?p=red+apple&amp;pstart=1&amp;b=11\">2</a>"
                "<a href=\"/search?p=red+apple&amp;pstart=1&amp;b=21\">3</a>"
                "<a href=\"/search?p=red+apple&amp;pstart=1&amp;b=11\">Next &gt;</a>",
                "red apple", 10, flagged);
    EXPECT_EQ(flagged.m_nSearchType, SinglePage);
    EXPECT_EQ(flagged.m_strNextPage, "?p=%s&pstart=1&b=%d");
}

TEST(DiagnoseEngine, SaysWhatDidNotMatch)
{
    CSearchEngine engine;
    engine.m_strName = "E";
    engine.m_strUrl = "https://www.engine.example/search";
    engine.m_strPrefix = "?q=";
    engine.m_nSearchType = ResultCount;
    engine.m_strStartToken = "<h3><a href=\"";
    engine.m_strEndToken = "</a>";
    CPageAnswer answer;
    answer.m_strAddress = answer.m_strUrl = kPageUrl;
    answer.m_nStatus = 200;
    answer.m_strText = Shapes()[0].m_strPage;
    CEngineCheck check = DiagnoseEngine(engine, "red apple", answer);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::Ok);
    EXPECT_EQ(check.m_strDetail, "5 hits");
    EXPECT_EQ(check.m_nStartTokens, 5u);
    CSearchEngine wild = engine;
    wild.m_strStartToken = "<h3{*}><a href=\"";
    EXPECT_EQ(DiagnoseEngine(wild, "red apple", answer).m_nStartTokens, 5u); // counted as matched

    // Links that are no results after every start token.
    CPageAnswer scripts = answer;
    scripts.m_strText = "<h3><a href=\"javascript:go(1)\">x</a><h3><a href=\"javascript:go(2)\">y</a>";
    check = DiagnoseEngine(engine, "red apple", scripts);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::NoHits);
    EXPECT_EQ(check.m_strDetail, "start token found 2 times, but no link after it is a result");

    engine.m_strStartToken = "<h4><a href=\"";
    EXPECT_EQ(DiagnoseEngine(engine, "red apple", answer).m_strDetail, "start token not on the page");
    CSearchEngine empty = engine;
    empty.m_strStartToken.clear();
    EXPECT_EQ(DiagnoseEngine(empty, "red apple", answer).m_strDetail, "the start token is empty");

    answer.m_strText = "<html><form id=\"challenge-form\">Please confirm you are human</form></html>";
    check = DiagnoseEngine(engine, "red apple", answer);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::Refused);
    EXPECT_EQ(check.m_strDetail, "the page is a bot check");

    answer.m_nStatus = 403;
    answer.m_strReason = "Forbidden";
    EXPECT_EQ(DiagnoseEngine(engine, "red apple", answer).m_strDetail, "HTTP 403 Forbidden");
    answer.m_nStatus = 0;
    answer.m_strError = "Could not connect";
    check = DiagnoseEngine(engine, "red apple", answer);
    EXPECT_EQ(check.m_nVerdict, CheckVerdict::Failed);
    EXPECT_EQ(check.m_strDetail, "Could not connect");
}

// The check's verdict is the one a search gives the engine for the same page
// (an error page is never scanned, a page without the token may be a refusal),
// except that a transfer error fails the check whatever came before it.
TEST(DiagnoseEngine, GivesTheVerdictASearchGives)
{
    CSearchEngine engine;
    engine.m_strName = "E";
    engine.m_strUrl = "https://www.engine.example/search";
    engine.m_strStartToken = "<h3><a href=\"";
    engine.m_strEndToken = "</a>";
    const std::string strHits = Shapes()[0].m_strPage;
    const std::string strBotCheck = "<form id=\"challenge-form\">Please confirm you are human</form>";
    const struct
    {
        long nStatus;
        const char* pszError;
        std::string strText;
        CheckVerdict nVerdict;
        std::string strDetail;
    } cases[] = {
        {200, "", strHits, CheckVerdict::Ok, "5 hits"},
        {200, "Connection reset", strHits, CheckVerdict::Failed, "Connection reset"},
        {200, "Connection reset", "<html>", CheckVerdict::Failed, "Connection reset"},
        {0, "", "", CheckVerdict::Failed, "no answer"},
        {503, "", strHits, CheckVerdict::Refused, "HTTP 503 Service Unavailable"},
        {200, "", strBotCheck, CheckVerdict::Refused, "the page is a bot check"},
        {200, "", "<p>No results</p>", CheckVerdict::NoHits, "start token not on the page"},
    };
    for (const auto& c : cases) {
        CPageAnswer answer;
        answer.m_strAddress = answer.m_strUrl = kPageUrl;
        answer.m_nStatus = c.nStatus;
        answer.m_strError = c.pszError;
        answer.m_strText = c.strText;
        const CEngineCheck check = DiagnoseEngine(engine, "red apple", answer);
        EXPECT_EQ(check.m_nVerdict, c.nVerdict) << c.nStatus << " " << c.pszError;
        EXPECT_EQ(check.m_strDetail, c.strDetail) << c.nStatus << " " << c.pszError;
    }
}

// What the learner reads of a page's links: the body's links only (none from
// the head or a script), unquoted addresses, the text, and the shape of the
// markup around them without the words that change from row to row.
TEST(FindAnchors, ReadsLinksAndTheirPlace)
{
    const std::string strPage =
        "<html><head><link rel=\"icon\" href=\"/favicon.ico\"><a href=\"/head\">no</a></head><body>"
        "<script>document.write('<a href=\"/script\">no</a>');</script>"
        "<nav><a href=\"/menu\">Menu</a></nav>"
        "<div class=\"film c3 x\"><h3><a class=t href=/film/1>The <em>Orchard</em></a></h3></div>"
        "<a href=\"/pic\"><img src=\"p.jpg\"></a><!-- <a href=\"/comment\">no</a> --></body></html>";
    const std::vector<CAnchor> anchors = FindAnchors(strPage);
    ASSERT_EQ(anchors.size(), 3u);
    EXPECT_EQ(anchors[0].HrefValue(strPage), "/menu");
    EXPECT_TRUE(anchors[0].m_bChrome);
    EXPECT_EQ(anchors[1].HrefValue(strPage), "/film/1");
    EXPECT_EQ(anchors[1].Href().m_chQuote, 0);
    EXPECT_EQ(anchors[1].m_strText, "The Orchard");
    EXPECT_EQ(anchors[1].m_strShape, "a.t");
    EXPECT_EQ(anchors[1].m_context, (std::vector<std::string>{"h3", "div.film.x", "body", "html"}));
    EXPECT_TRUE(anchors[1].m_bHeading);
    EXPECT_FALSE(anchors[1].m_bChrome);
    EXPECT_TRUE(anchors[2].m_bImage);
    EXPECT_TRUE(anchors[2].m_strText.empty());
}

// A page with more links than a result page holds is refused at once, by its count.
TEST(LearnEngine, APageOfTooManyLinksIsRefusedByItsCount)
{
    std::string strPage;
    for (int i = 0; i <= 20000; ++i)
        strPage += "<p><a href=\"https://s" + std::to_string(i) + ".example/\">Red apple " + std::to_string(i) + "</a></p>";
    const CLearnResult result = LearnPage(strPage);
    EXPECT_EQ(result.m_nVerdict, LearnVerdict::NoList);
    EXPECT_EQ(result.m_strReason, "the page is too large to learn from: 20001 links");
}
