// SPDX-License-Identifier: MIT
// The paging of a definition, learned from the page's own link to its next page.
#include "workbench/EngineLearner.h"

#include "platform/TextUtil.h"
#include "search/extract/HtmlText.h"
#include "workbench/PageLinks.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace {

// A link of the page to another of its result pages.
struct CNext
{
    std::string m_strPath;
    std::vector<std::pair<std::string, std::string>> m_params;
    size_t m_nQueryParam = 0;
    size_t m_nNumberParam = 0;
    long m_nValue = 0;
};

// "?name=value&..." of the link with %s for the query and %d for its number.
std::string NextCommand(const CNext& next)
{
    std::string strCommand = "?";
    for (size_t i = 0; i < next.m_params.size(); ++i) {
        if (i > 0)
            strCommand += '&';
        strCommand += EscapePercent(next.m_params[i].first) + "=";
        if (i == next.m_nQueryParam)
            strCommand += "%s";
        else if (i == next.m_nNumberParam)
            strCommand += "%d";
        else
            strCommand += EscapePercent(next.m_params[i].second);
    }
    return strCommand;
}

// The path of an address ("/" when it names none); a path stays as it is.
std::string PathOf(const std::string& strAddress, bool bBareIsPath)
{
    const size_t nScheme = strAddress.find("://");
    if (nScheme == std::string::npos)
        return bBareIsPath ? strAddress : std::string("/");
    const size_t nSlash = strAddress.find('/', nScheme + 3);
    return nSlash == std::string::npos ? std::string("/") : strAddress.substr(nSlash);
}

// The link's parameters; false when none of them holds the query.
bool ReadLinkParameters(const std::string& strLink, const std::string& strWanted, CNext& link)
{
    const size_t nQuestion = strLink.find('?');
    if (nQuestion == std::string::npos)
        return false;
    link.m_strPath = strLink.substr(0, nQuestion);
    std::string_view query = std::string_view(strLink).substr(nQuestion + 1);
    bool bHasQuery = false;
    while (!query.empty()) {
        const size_t nAmp = query.find('&');
        const std::string_view piece = query.substr(0, nAmp);
        const size_t nEquals = piece.find('=');
        std::string strName(piece.substr(0, nEquals));
        std::string strValue(nEquals == std::string_view::npos ? std::string_view() : piece.substr(nEquals + 1));
        if (!bHasQuery && DecodeQueryValue(strValue) == strWanted) {
            bHasQuery = true;
            link.m_nQueryParam = link.m_params.size();
        }
        link.m_params.emplace_back(std::move(strName), std::move(strValue));
        query = nAmp == std::string_view::npos ? std::string_view() : query.substr(nAmp + 1);
    }
    return bHasQuery;
}

// How surely a link leads to the next page by its own signs: rel="next" or a
// text or label of "next" or an arrow (2), the number 2 for its text (1), none (0).
int NextSign(std::string_view page, const CAnchor& anchor)
{
    for (const CAttribute& attribute : anchor.m_attributes) {
        const std::string strValue =
            ToLowerAscii(page.substr(attribute.m_nValue, attribute.m_nValueEnd - attribute.m_nValue));
        if ((EqualsNoCase(attribute.m_name, "rel") && strValue.find("next") != std::string::npos) ||
            ((EqualsNoCase(attribute.m_name, "aria-label") || EqualsNoCase(attribute.m_name, "title")) &&
             strValue.find("next") != std::string::npos))
            return 2;
    }
    const std::string strText = ToLowerAscii(anchor.m_strText);
    for (const char* psz : {"next", "\xe2\x80\xba", "\xc2\xbb", "\xe2\x86\x92", "more results", ">"})
        if (strText.find(psz) != std::string::npos)
            return 2;
    return strText == "2" ? 1 : 0;
}

// The page's links that ask for the same query with a number: the link that
// says it leads to the next page, else the one whose text is the number 2.
// Tabs and filters (a number beside the query, "Videos") are never taken.
std::optional<CNext> FindNextPageLink(const std::string& strPage, const std::string& strQuery,
                                      const CSearchEngine& engine)
{
    // A number the first page's own address has too is no page number.
    const std::string strFirst = engine.m_strPrefix + "&" + engine.m_strSuffix + "&";
    const std::string strWanted = ToLowerAscii(TrimWhiteSpace(strQuery));
    // A parameter that has one value on every link of the query that has it
    // ("pstart=1" beside "b=11", "b=21") is a flag, not the page's number.
    const std::vector<CAnchor> anchors = FindAnchors(strPage);
    std::map<std::string, std::set<std::string>> valuesOf;
    std::map<std::string, int> linksWith;
    for (const CAnchor& anchor : anchors) {
        CNext link;
        if (ReadLinkParameters(DecodeCharacterReferences(anchor.HrefValue(strPage)), strWanted, link))
            for (const auto& [name, value] : link.m_params) {
                valuesOf[name].insert(value);
                ++linksWith[name];
            }
    }
    auto isFlag = [&](const std::string& strName) { return linksWith[strName] >= 2 && valuesOf[strName].size() == 1; };
    std::optional<CNext> next;
    int nBestSign = 0;
    for (const CAnchor& anchor : anchors) {
        const int nSign = NextSign(strPage, anchor);
        if (nSign == 0 || nSign < nBestSign)
            continue;
        const std::string strLink = DecodeCharacterReferences(anchor.HrefValue(strPage));
        CNext link;
        if (!ReadLinkParameters(strLink, strWanted, link))
            continue;
        for (size_t i = 0; i < link.m_params.size(); ++i) {
            const std::string& strValue = link.m_params[i].second;
            if (i == link.m_nQueryParam || strValue.empty() || strValue.size() > 6 ||
                !std::all_of(strValue.begin(), strValue.end(), IsAsciiDigit) || isFlag(link.m_params[i].first) ||
                strFirst.find(link.m_params[i].first + "=" + strValue + "&") != std::string::npos)
                continue;
            const long nValue = std::stol(strValue);
            if (nValue >= 1 && (!next || nSign > nBestSign || nValue < next->m_nValue)) {
                link.m_nNumberParam = i;
                link.m_nValue = nValue;
                next = link;
                nBestSign = nSign;
            }
        }
    }
    return next;
}

// The first page is formatted: a '%' of the address stands for itself.
void EscapeFirstPage(CSearchEngine& engine)
{
    engine.m_strUrl = EscapePercent(engine.m_strUrl);
    engine.m_strPrefix = EscapePercent(engine.m_strPrefix);
    engine.m_strSuffix = EscapePercent(engine.m_strSuffix);
}

// A count of results: from 1 (11 after ten hits) or from 0 (10 after ten).
void LearnResultCount(const CNext& next, bool bSamePath, int nHitsOnPage, CSearchEngine& engine)
{
    const long v = next.m_nValue;
    // Engines page by tens: that decides first, the hits found here next.
    const bool bFromOne = v % 10 == 1 || (v % 10 != 0 && v == nHitsOnPage + 1);
    const bool bFromZero = !bFromOne && (v % 10 == 0 || v == nHitsOnPage);
    if (bFromOne && bSamePath) {
        // The first page exactly as given; the next ones from the URL with the
        // count of hits so far plus one.
        engine.m_nSearchType = SinglePage;
        engine.m_strNextPage = NextCommand(next);
        return;
    }
    EscapeFirstPage(engine);
    if (bFromZero && bSamePath) {
        // The first page's address with the count of hits so far (0 first).
        engine.m_nSearchType = StartNumber;
        engine.m_strSuffix += "&" + EscapePercent(next.m_params[next.m_nNumberParam].first) + "=%d";
    }
}

} // namespace

void LearnPaging(const std::string& strPage, const std::string& strQuery, int nHitsOnPage, CSearchEngine& engine)
{
    const std::optional<CNext> next = FindNextPageLink(strPage, strQuery, engine);
    engine.m_nSearchType = ResultCount;
    engine.m_strNextPage.clear();
    if (!next || (next->m_nValue > 2 && next->m_nValue < 5)) {
        EscapeFirstPage(engine);
        return;
    }
    const std::string strPath = PathOf(next->m_strPath, true);
    const bool bSamePath = strPath.empty() || strPath == PathOf(engine.m_strUrl, false);
    if (next->m_nValue >= 5) {
        LearnResultCount(*next, bSamePath, nHitsOnPage, engine);
        return;
    }
    // A page number: 2 for the second page counts from 1, 1 from 0.
    EscapeFirstPage(engine);
    if (bSamePath) {
        engine.m_nSearchType = next->m_nValue == 2 ? PagesFromOne : PagesFromZero;
        engine.m_strNextPage = NextCommand(*next);
    }
}
