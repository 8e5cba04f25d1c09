// SPDX-License-Identifier: MIT
#include "workbench/LinkGroups.h"

#include "platform/TextUtil.h"
#include "platform/Url.h"
#include "search/extract/HtmlText.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

std::vector<std::string> QueryWords(const std::string& strQuery)
{
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty() && word != "or" && word != "and" && word.find(':') == std::string::npos)
            words.push_back(word);
        word.clear();
    };
    for (const char c : strQuery) {
        if (IsAsciiAlnum(c) || static_cast<unsigned char>(c) >= 0x80 || c == ':')
            word += ToLowerAscii(c);
        else
            flush();
    }
    flush();
    return words;
}

namespace {

// "host/path" of an address, lower case host; empty when it has none.
std::string HostAndPath(const std::string& strUrl)
{
    const size_t nScheme = strUrl.find("://");
    if (nScheme == std::string::npos)
        return {};
    const size_t nEnd = strUrl.find_first_of("?#", nScheme + 3);
    std::string out = strUrl.substr(nScheme + 3, nEnd == std::string::npos ? nEnd : nEnd - nScheme - 3);
    const size_t nSlash = out.find('/');
    std::transform(out.begin(), nSlash == std::string::npos ? out.end() : out.begin() + static_cast<long>(nSlash),
                   out.begin(), [](char c) { return ToLowerAscii(c); });
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

std::string NormaliseForMatch(std::string_view text)
{
    std::string out = ToLowerAscii(TrimWhiteSpace(text));
    std::replace(out.begin(), out.end(), '+', ' ');
    return out;
}

size_t CodePoints(std::string_view text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// How much the text reads like a result's title: 0 for none, a number, a
// letter or two; 1 for a phrase; less again for a paragraph.
double Titleness(const std::string& strText)
{
    const bool bLetters = std::any_of(strText.begin(), strText.end(), [](char c) {
        return IsAsciiAlpha(c) || static_cast<unsigned char>(c) >= 0x80;
    });
    if (!bLetters)
        return 0;
    const size_t nChars = CodePoints(strText);
    const bool bWords = strText.find(' ') != std::string::npos;
    double t = std::min(1.0, (static_cast<double>(nChars) - 2.0) / 20.0);
    if (bWords)
        t = std::min(1.0, t + 0.25);
    if (nChars > 200)
        t *= 0.6;
    return std::max(0.0, t);
}

bool HasWord(const std::string& strLowerText, const std::vector<std::string>& words)
{
    return std::any_of(words.begin(), words.end(), [&strLowerText](const std::string& w) {
        return strLowerText.find(w) != std::string::npos;
    });
}

void Judge(std::string_view page, const std::vector<CAnchor>& anchors, const std::vector<CLinkFacts>& facts,
           const std::vector<std::string>& words, CLinkGroup& group)
{
    std::unordered_map<std::string, int> texts;
    for (const size_t m : group.m_members)
        ++texts[anchors[m].m_strText];
    const size_t n = group.m_members.size();
    std::set<std::string> urls, hosts;
    double fTitles = 0;
    int nWords = 0;
    // Links that carry the query are tabs, filters and related searches; but
    // a list of many pages that all carry it is results whose words the site
    // will highlight ("&hilit=", "?highlight=").
    std::set<std::string> carrying;
    size_t nCarrying = 0;
    for (const size_t m : group.m_members)
        if (facts[m].m_bCarriesQuery) {
            ++nCarrying;
            carrying.insert(facts[m].m_strUrl);
        }
    const bool bHighlights = nCarrying * 5 >= n * 3 && carrying.size() >= 5;
    group.m_results.clear();
    std::string strParent; // the last result's address, when it names a folder
    for (const size_t m : group.m_members) {
        const CAnchor& anchor = anchors[m];
        const int nSameText = texts[anchor.m_strText];
        // A short text on many rows is a label ("Cached", "PDF"); a title
        // repeated ("Re: the same question") is not.
        const bool bLabel = nSameText >= 2 && nSameText * 4 >= static_cast<int>(n) && CodePoints(anchor.m_strText) <= 24;
        // Links under the result before them (a site's own sections listed
        // below its title) belong to that result.
        const std::string& strUrl = facts[m].m_strUrl;
        const bool bUnder = !strParent.empty() && strUrl.size() > strParent.size() && strUrl.rfind(strParent, 0) == 0;
        if (facts[m].m_bNavigation || (facts[m].m_bCarriesQuery && !bHighlights) || anchor.m_bChrome ||
            anchor.m_strText.empty() || bLabel || bUnder ||
            !urls.insert(strUrl).second)
            continue;
        strParent = !strUrl.empty() && strUrl.back() == '/' ? strUrl : std::string();
        const double t = Titleness(anchor.m_strText);
        if (t <= 0)
            continue;
        group.m_results.push_back(m);
        fTitles += t;
        hosts.insert(HostOfUrl(facts[m].m_strUrl));
        nWords += HasWord(ToLowerAscii(anchor.m_strText), words);
    }
    const size_t nGood = group.m_results.size();
    if (nGood < 2) {
        group.m_fScore = 0;
        return;
    }
    // The text between one result and the next: a snippet, a date, a site.
    double fBetween = 0;
    for (size_t k = 0; k + 1 < nGood; ++k) {
        const CAnchor& a = anchors[group.m_results[k]];
        const CAnchor& b = anchors[group.m_results[k + 1]];
        if (b.m_nTagStart <= a.m_nContentEnd)
            continue;
        const std::string_view span = page.substr(a.m_nContentEnd, std::min<size_t>(b.m_nTagStart - a.m_nContentEnd, 8192));
        fBetween += static_cast<double>(std::min<size_t>(HtmlToText(span, 160).size(), 160));
    }
    const double fRichness = fBetween / static_cast<double>(nGood - 1) / 160.0;
    const double fMeanTitle = fTitles / static_cast<double>(nGood);
    const double fBad = static_cast<double>(n - nGood) / static_cast<double>(n);
    // Titles in headings, links to several sites, the query's words: more like results.
    const bool bHeadings = anchors[group.m_results[0]].m_bHeading;
    const double fBonus = 1.0 + (hosts.size() >= 3 ? 0.2 : 0.0) + 0.3 * nWords / static_cast<double>(nGood) +
                          (bHeadings ? 0.3 : 0.0);
    // A list stands in one kind of markup: links of one shape scattered over
    // many places of the page are no list.
    std::map<std::string, int> places;
    for (const size_t m : group.m_results)
        ++places[anchors[m].m_context.empty() ? std::string() : anchors[m].m_context[0]];
    std::vector<int> counts;
    for (const auto& [place, count] : places)
        counts.push_back(count);
    std::sort(counts.rbegin(), counts.rend());
    const double fCoherence =
        static_cast<double>(counts[0] + (counts.size() > 1 ? counts[1] : 0)) / static_cast<double>(nGood);
    group.m_fScore = static_cast<double>(nGood) * fMeanTitle * (0.15 + 0.85 * fRichness) * fBonus * (1.0 - 0.7 * fBad) *
                     fCoherence;
}

// A group that lists the same addresses as another one, later in each
// result (a snippet, a breadcrumb, a second title), counts for less.
void PreferFirstLinkOfEachResult(const std::vector<CAnchor>& anchors, const std::vector<CLinkFacts>& facts,
                                 std::vector<CLinkGroup>& groups)
{
    std::vector<std::map<std::string, size_t>> firsts(groups.size());
    for (size_t g = 0; g < groups.size(); ++g)
        for (const size_t m : groups[g].m_results)
            firsts[g].emplace(facts[m].m_strUrl, anchors[m].m_nTagStart);
    std::vector<double> factors(groups.size(), 1.0);
    for (size_t a = 0; a < groups.size(); ++a) {
        for (size_t b = 0; b < groups.size(); ++b) {
            if (a == b || firsts[a].empty() || firsts[b].empty())
                continue;
            size_t nShared = 0, nLater = 0;
            bool bOverlap = false;
            for (const auto& [url, pos] : firsts[b]) {
                const auto it = firsts[a].find(url);
                if (it == firsts[a].end())
                    continue;
                bOverlap = bOverlap || it->second == pos;
                ++nShared;
                nLater += pos > it->second;
            }
            if (bOverlap || nShared * 2 < std::min(firsts[a].size(), firsts[b].size()))
                continue;
            if (nLater * 2 > nShared)
                factors[b] = std::min(factors[b], 0.5);
        }
    }
    for (size_t g = 0; g < groups.size(); ++g)
        groups[g].m_fScore *= factors[g];
}

} // namespace

bool IsResultLike(const CAnchor& anchor, const CLinkFacts& facts)
{
    return !facts.m_bNavigation && !facts.m_bCarriesQuery && !anchor.m_bChrome && Titleness(anchor.m_strText) >= 0.5;
}

bool IsNavigationLink(const std::string& strUrl, const std::string& strPageUrl)
{
    const std::string strScheme = ToLowerAscii(UrlScheme(strUrl));
    return (strScheme != "http" && strScheme != "https") || HostAndPath(strUrl) == HostAndPath(strPageUrl);
}

bool CarriesQuery(const std::string& strUrl, const std::string& strQuery)
{
    const size_t nQuestion = strUrl.find('?');
    const std::string strWanted = NormaliseForMatch(strQuery);
    if (nQuestion == std::string::npos || strWanted.empty())
        return false;
    std::string_view params = std::string_view(strUrl).substr(nQuestion + 1);
    while (!params.empty()) {
        const size_t nAmp = params.find('&');
        const std::string_view piece = params.substr(0, nAmp);
        const size_t nEquals = piece.find('=');
        if (nEquals != std::string_view::npos &&
            NormaliseForMatch(DecodeQueryValue(piece.substr(nEquals + 1))).find(strWanted) != std::string::npos)
            return true;
        params = nAmp == std::string_view::npos ? std::string_view() : params.substr(nAmp + 1);
    }
    return false;
}

std::vector<CLinkGroup> FindLinkGroups(std::string_view page, const std::vector<CAnchor>& anchors,
                                       const std::vector<CLinkFacts>& facts, const std::vector<std::string>& words,
                                       size_t nMax)
{
    // The same members found at several levels make one group, at its deepest level.
    std::map<std::string, std::vector<size_t>> byKey[kContextDepth];
    for (size_t i = 0; i < anchors.size(); ++i) {
        const CAnchor& anchor = anchors[i];
        std::string strKey = anchor.m_strShape + (anchor.m_strText.empty() ? "#" : "") + (anchor.m_bHeading ? "^h" : "");
        for (size_t level = 0; level < kContextDepth; ++level) {
            if (level > 0) {
                if (level > anchor.m_context.size())
                    break;
                strKey += '<';
                strKey += anchor.m_context[level - 1];
            }
            byKey[level][strKey].push_back(i);
        }
    }
    std::map<std::vector<size_t>, int> seen;
    std::vector<CLinkGroup> groups;
    for (size_t level = 0; level < kContextDepth; ++level) {
        for (auto& [key, members] : byKey[level]) {
            if (members.size() < 2)
                continue;
            const auto [it, bNew] = seen.emplace(members, static_cast<int>(groups.size()));
            if (!bNew) {
                groups[static_cast<size_t>(it->second)].m_nLevel = static_cast<int>(level);
                continue;
            }
            CLinkGroup group;
            group.m_members = members;
            group.m_nLevel = static_cast<int>(level);
            Judge(page, anchors, facts, words, group);
            groups.push_back(std::move(group));
        }
    }
    groups.erase(std::remove_if(groups.begin(), groups.end(), [](const CLinkGroup& g) { return g.m_fScore <= 0; }),
                 groups.end());
    std::sort(groups.begin(), groups.end(),
              [](const CLinkGroup& a, const CLinkGroup& b) { return a.m_fScore > b.m_fScore; });
    if (groups.size() > 4 * nMax)
        groups.resize(4 * nMax);
    PreferFirstLinkOfEachResult(anchors, facts, groups);
    std::stable_sort(groups.begin(), groups.end(),
                     [](const CLinkGroup& a, const CLinkGroup& b) { return a.m_fScore > b.m_fScore; });
    if (groups.size() > nMax)
        groups.resize(nMax);
    return groups;
}
