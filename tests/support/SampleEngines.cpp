// SPDX-License-Identifier: MIT
#include "SampleEngines.h"

#include <algorithm>

namespace qtest {

namespace {

struct CSampleKind
{
    const char* m_pszPath;
    const char* m_pszName;
    int m_nPageSize; // 0: as many as asked for
    int m_nTotal;
};

const CSampleKind kKinds[] = {
    {"/multi", "Sample Multi", 8, 40},
    {"/count", "Sample Count", 0, 50},
    {"/start", "Sample Start", 10, 25},
    {"/single", "Sample Single", 10, 30},
};

// Words fit for a page: letters, digits and blanks of the decoded query.
std::string PageWords(const std::string& strQuery)
{
    std::string out;
    for (const char c : strQuery) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == ' ' || c == '-' || u >= 0x80)
            out += c;
    }
    return out.empty() ? std::string("nothing") : out;
}

std::string Slug(const std::string& strWords)
{
    std::string out;
    for (const char c : strWords)
        out += (c == ' ') ? '-' : c;
    return out;
}

std::string ResultPage(const CSampleKind& kind, const std::string& strBaseUrl,
                       const std::string& strWords, int nFirst, int nCount)
{
    std::string page = "<html><head><title>" + std::string(kind.m_pszName) +
                       ": " + strWords + "</title></head><body>\n<h1>Results for " + strWords +
                       "</h1>\n<ul>\n";
    const std::string strSlug = Slug(strWords);
    for (int i = nFirst; i < nFirst + nCount && i <= kind.m_nTotal; ++i) {
        std::string strLink;
        if (i % 7 == 0)
            strLink = strBaseUrl + "/gone" + kind.m_pszPath + "/" + strSlug + "/" + std::to_string(i);
        else if (i % 4 == 0)
            strLink = strBaseUrl + "/page/shared/" + strSlug + "/" + std::to_string(i);
        else
            strLink = strBaseUrl + "/page" + kind.m_pszPath + "/" + strSlug + "/" + std::to_string(i);
        page += "<li><a href=\"" + strLink + "\">Result <b>" + std::to_string(i) + "</b> about " +
                strWords + "</a> &nbsp;from " + kind.m_pszName + "</li>\n";
    }
    page += "</ul>\n</body></html>\n";
    return page;
}

int ParamInt(const CRecordedRequest& request, const char* pszName, int nDefault)
{
    const std::string strValue = request.Param(pszName);
    if (strValue.empty() || strValue.find_first_not_of("0123456789") != std::string::npos)
        return nDefault;
    return std::min(std::stoi(strValue.substr(0, 6)), 100000);
}

} // namespace

std::vector<CSearchEngine> SampleEngineCatalogue(const std::string& strBaseUrl)
{
    std::vector<CSearchEngine> engines(4);
    // In catalogue (name) order.
    CSearchEngine& count = engines[0];
    count.m_strName = "Sample Count";
    count.m_strUrl = strBaseUrl;
    count.m_strPrefix = "/count?n=%d&q=";
    count.m_nSearchType = ResultCount;

    CSearchEngine& multi = engines[1];
    multi.m_strName = "Sample Multi";
    multi.m_strUrl = strBaseUrl;
    multi.m_strPrefix = "/multi?page=%d&q=";
    multi.m_strNextPage = "/multi?q=%s&after=%d";
    multi.m_nSearchType = MultiplePages;

    CSearchEngine& single = engines[2];
    single.m_strName = "Sample Single";
    single.m_strUrl = strBaseUrl + "/single";
    single.m_strPrefix = "?q=";
    single.m_strNextPage = "?q=%s&from=%d";
    single.m_nSearchType = SinglePage;

    CSearchEngine& start = engines[3];
    start.m_strName = "Sample Start";
    start.m_strUrl = strBaseUrl;
    start.m_strPrefix = "/start?q=";
    start.m_strSuffix = "&start=%d";
    start.m_nSearchType = StartNumber;

    for (CSearchEngine& engine : engines) {
        engine.m_strStartToken = kSampleStartToken;
        engine.m_strEndToken = kSampleEndToken;
    }
    return engines;
}

CReply SampleEngineReply(const CRecordedRequest& request, const std::string& strBaseUrl)
{
    const std::string& strPath = request.m_strPath;
    if (strPath.rfind("/gone/", 0) == 0)
        return CReply::Make(404, "<html><body>This page is gone.</body></html>\n");
    if (strPath.rfind("/page/", 0) == 0)
        return CReply::Make(200, "<html><body>A sample page: " + strPath + "</body></html>\n", true,
                            "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n");

    const std::string strWords = PageWords(request.Param("q"));
    for (const CSampleKind& kind : kKinds) {
        if (strPath != kind.m_pszPath)
            continue;
        int nFirst = 1;
        int nCount = kind.m_nPageSize;
        if (kind.m_nPageSize == 0) {
            nCount = ParamInt(request, "n", 10);
        } else if (strPath == "/multi") {
            nFirst = ParamInt(request, "after", 0) + 1;
        } else if (strPath == "/start") {
            nFirst = ParamInt(request, "start", 0) + 1;
        } else {
            nFirst = std::max(1, ParamInt(request, "from", 1));
        }
        return CReply::Ok(ResultPage(kind, strBaseUrl, strWords, nFirst, nCount));
    }
    return CReply::Make(404, "<html><body>No such engine.</body></html>\n");
}

CSampleEngineServer::CSampleEngineServer(uint16_t nPort)
    : m_server(nullptr, nPort)
{
    const std::string strBase = m_server.GetBaseUrl();
    m_server.SetHandler(
        [strBase](const CRecordedRequest& request) { return SampleEngineReply(request, strBase); });
}

} // namespace qtest
