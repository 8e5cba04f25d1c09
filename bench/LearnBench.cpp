// SPDX-License-Identifier: MIT
// Learning a definition from a large result page (600 KB: results among a
// modern engine's markup, menus and scripts), against reading the page once.

#include "BenchUtil.h"
#include "search/extract/HtmlText.h"
#include "workbench/EngineLearner.h"

#include <string>

namespace {

// About 600 KB: 20 results in nested generated markup, a script and style
// block, menus, and a thousand links of furniture.
std::string LargePage()
{
    std::string page = "<html><head><style>" + std::string(150000, 'x') + "</style></head><body><nav>";
    for (int i = 0; i < 400; ++i)
        page += "<a class=\"m\" href=\"/menu/" + std::to_string(i) + "\">Menu " + std::to_string(i) + "</a>";
    page += "</nav><script>" + std::string(150000, 'y') + "</script><main>";
    for (int i = 0; i < 20; ++i)
        page += "<div class=\"g c" + std::to_string(i % 3) + "\"><div class=\"yuRUbf\"><a data-ved=\"" +
                std::string(200, 'v') + "\" href=\"https://site" + std::to_string(i) + ".example/page\"><h3>Red apple result " +
                std::to_string(i) + "</h3></a></div><div class=\"s\">" + std::string(2000, 's') + "</div></div>";
    page += "</main><footer>";
    while (page.size() < 600000)
        page += "<span class=\"f\"><a href=\"/f/" + std::to_string(page.size()) + "\">footer</a></span>";
    return page + "</footer></body></html>";
}

} // namespace

int main()
{
    const std::string strPage = LargePage();
    CPageAnswer answer;
    answer.m_nStatus = 200;
    answer.m_strText = strPage;
    const CLearnRequest request{"Bench", "red apple", "https://www.engine.example/search?q=red+apple", ""};
    size_t nHits = 0;
    const double nLearn = MedianMs(5, [&] { nHits = LearnFromPage(request, answer, nullptr).m_hits.size(); });
    const double nRead = MedianMs(5, [&] { HtmlToText(strPage); });
    std::printf("page: %zu bytes, %zu hits learned\n", strPage.size(), nHits);
    ReportRatio("learn a definition from the page", nLearn, "baseline: the page's text read once", nRead);
    return 0;
}
