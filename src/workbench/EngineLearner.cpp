// SPDX-License-Identifier: MIT
#include "workbench/EngineLearner.h"

#include "workbench/PageLinks.h"

#include "platform/TextUtil.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/extract/HtmlText.h"
#include "search/QueryComposer.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <set>
#include <unordered_map>

namespace {

// ---------------------------------------------------------------------------
// The address

// Finds needle in text ignoring ASCII case; npos when absent.
size_t FindNoCase(std::string_view text, std::string_view needle)
{
    if (needle.empty() || needle.size() > text.size())
        return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, needle.size()), needle))
            return i;
    return std::string_view::npos;
}

// Every byte but the unreserved ones percent-encoded; blanks as given.
std::string PercentEncodeAll(std::string_view text, const char* pszBlank)
{
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ')
            out += pszBlank;
        else if (IsAsciiAlnum(c) || c == '-' ||
                 c == '_' || c == '.' || c == '~')
            out += c;
        else
            AppendPercentEncoded(out, u);
    }
    return out;
}

// The ways a browser may have written the query in the address, the program's own first.
std::vector<std::string> QueryForms(const std::string& strQuery)
{
    std::vector<std::string> forms;
    const std::string strTerm = ComposeQueryTerm(strQuery, kOptionAllWords);
    forms.push_back(strTerm);
    std::string strSpaced;
    for (const char c : strTerm)
        strSpaced += c == '+' ? std::string("%20") : std::string(1, c);
    forms.push_back(strSpaced);
    forms.push_back(PercentEncodeAll(strQuery, "+"));
    forms.push_back(PercentEncodeAll(strQuery, "%20"));
    forms.push_back(strQuery);
    return forms;
}

// ---------------------------------------------------------------------------
// Judging what a token finds

// The query's words, lower case, cut to a stem that survives plural and case.
std::vector<std::string> QueryStems(const std::string& strQuery)
{
    std::vector<std::string> stems;
    std::string word;
    auto flush = [&] {
        if (word.size() >= 3)
            stems.push_back(word.substr(0, std::min<size_t>(word.size(), word.size() > 6 ? 5 : word.size())));
        word.clear();
    };
    for (const char c : strQuery) {
        if (IsNameChar(c) && c != ':' && c != '.' && c != '-')
            word += ToLowerAscii(c);
        else
            flush();
    }
    flush();
    return stems;
}

bool LooksLikeAddress(const std::string& strText)
{
    return strText.rfind("http", 0) == 0 || strText.rfind("www.", 0) == 0 ||
           (strText.find(' ') == std::string::npos && strText.find('.') != std::string::npos);
}

// A word that looks made by a build tool ("svelte-1rq4ngz", "css-1bggj8v"):
// letters and digits mixed, five characters or more.
bool HasGeneratedName(std::string_view token)
{
    size_t i = 0;
    while (i < token.size()) {
        size_t nEnd = i;
        while (nEnd < token.size() && ((token[nEnd] >= 'a' && token[nEnd] <= 'z') || (token[nEnd] >= 'A' && token[nEnd] <= 'Z') ||
                                       (token[nEnd] >= '0' && token[nEnd] <= '9')))
            ++nEnd;
        const std::string_view word = token.substr(i, nEnd - i);
        if (word.size() >= 5) {
            const bool bDigit = std::any_of(word.begin(), word.end(), IsAsciiDigit);
            const bool bLetter = std::any_of(word.begin(), word.end(), [](char c) { return c > '9'; });
            if (bDigit && bLetter)
                return true;
        }
        i = nEnd + 1;
    }
    return false;
}

// The token with each generated name (a word of letters, digits, '-' and '_'
// that mixes letters and digits, six characters or more) made a wildcard.
std::string WildcardGeneratedNames(std::string_view token)
{
    std::string out;
    size_t i = 0;
    auto isWordChar = [](char c) {
        return IsAsciiAlnum(c) || c == '-' || c == '_';
    };
    while (i < token.size()) {
        if (!isWordChar(token[i])) {
            out += token[i++];
            continue;
        }
        size_t nEnd = i;
        while (nEnd < token.size() && isWordChar(token[nEnd]))
            ++nEnd;
        const std::string_view word = token.substr(i, nEnd - i);
        const bool bDigit = std::any_of(word.begin(), word.end(), IsAsciiDigit);
        const bool bLetter = std::any_of(word.begin(), word.end(), [](char c) { return c > '9'; });
        if (word.size() >= 6 && bDigit && bLetter)
            out += kTokenWildcard;
        else
            out += word;
        i = nEnd;
    }
    return out;
}

struct CJudgement
{
    int m_nGood = 0;    // results: another site, a title with the query's words
    int m_nNeutral = 0; // another site, no query word
    int m_nBad = 0;     // the engine's own links, repeats, addresses for titles
    double m_fValue = -1e9;
};

CJudgement Judge(const std::vector<CSearchHit>& hits, const std::string& strEngineDomain,
                 const std::vector<std::string>& stems)
{
    CJudgement judgement;
    std::set<std::string> urls, domains;
    for (const CSearchHit& hit : hits) {
        const std::string strHost = HostOfUrl(hit.m_strUrl);
        const std::string strScheme = ToLowerAscii(UrlScheme(hit.m_strUrl));
        const std::string strDomain = RegistrableDomain(strHost);
        if (strHost.empty() || (strScheme != "http" && strScheme != "https") || strDomain == strEngineDomain ||
            !urls.insert(hit.m_strUrl).second || hit.m_strDescription.empty() ||
            LooksLikeAddress(hit.m_strDescription)) {
            ++judgement.m_nBad;
            continue;
        }
        const std::string strText = ToLowerAscii(hit.m_strDescription);
        const bool bWords = std::any_of(stems.begin(), stems.end(),
                                        [&strText](const std::string& s) { return strText.find(s) != std::string::npos; });
        if (bWords) {
            ++judgement.m_nGood;
            domains.insert(strDomain);
        } else {
            ++judgement.m_nNeutral;
        }
    }
    // Results lead to several sites: a list of one site's links counts for less.
    if (judgement.m_nGood >= 2)
        judgement.m_fValue = judgement.m_nGood * (domains.size() >= 2 ? 1.0 : 0.5) + 0.3 * judgement.m_nNeutral -
                             judgement.m_nBad;
    return judgement;
}

struct CCandidate
{
    std::string m_strStart;
    std::string m_strEnd;
    CJudgement m_judgement;
    std::vector<CSearchHit> m_hits;
    bool m_bGenerated = false;
};

std::vector<CSearchHit> Extract(const std::string& strPage, const std::string& strStart, const std::string& strEnd,
                                const CLinkCleaner& links)
{
    CResultRows rows;
    ExtractPageHits(strPage, rows, strStart, strEnd, "", false, nullptr, &links, kMaxRowsPerPage);
    return rows.GetRows();
}

size_t CountOccurrences(std::string_view page, std::string_view token, size_t nStopAt)
{
    size_t n = 0;
    for (size_t i = page.find(token); i != std::string_view::npos && n < nStopAt; i = page.find(token, i + 1))
        ++n;
    return n;
}

// The end token that also takes the snippet after the title: a closing tag
// that follows every hit before the next one begins, chosen where the
// descriptions grow most while the hits stay the same.
std::string LongerEndToken(const std::string& strPage, const CCandidate& best, const CLinkCleaner& links)
{
    std::vector<std::string> ends;
    size_t p = strPage.find(best.m_strStart);
    for (int nHit = 0; nHit < 3 && p != std::string::npos; ++nHit) {
        const size_t nNext = strPage.find(best.m_strStart, p + 1);
        const size_t nLinkEnd = strPage.find(best.m_strEnd, p);
        const size_t nLimit = std::min(nNext, std::min(strPage.size(), p + 4096));
        for (size_t i = nLinkEnd; i != std::string::npos && i < nLimit; i = strPage.find("</", i + 2)) {
            const size_t nGt = strPage.find('>', i);
            if (nGt == std::string::npos || nGt - i > 12)
                continue;
            std::string strEnd = strPage.substr(i, nGt - i + 1);
            if (strEnd != best.m_strEnd && std::find(ends.begin(), ends.end(), strEnd) == ends.end())
                ends.push_back(std::move(strEnd));
            if (ends.size() >= 8)
                break;
        }
        p = nNext;
    }
    auto totalLength = [](const std::vector<CSearchHit>& hits) {
        size_t n = 0;
        for (const CSearchHit& hit : hits)
            n += hit.m_strDescription.size();
        return n;
    };
    std::string strBest = best.m_strEnd;
    size_t nBestLength = totalLength(best.m_hits);
    // An end token that closes every hit before the next one starts (and the last one too).
    auto closesEveryHit = [&strPage, &best](const std::string& strEnd) {
        for (size_t i = strPage.find(best.m_strStart); i != std::string::npos;) {
            const size_t nNext = strPage.find(best.m_strStart, i + 1);
            const size_t nEnd = strPage.find(strEnd, i + best.m_strStart.size());
            if (nEnd == std::string::npos || (nNext != std::string::npos && nEnd > nNext))
                return false;
            i = nNext;
        }
        return true;
    };
    for (const std::string& strEnd : ends) {
        if (!closesEveryHit(strEnd))
            continue;
        const std::vector<CSearchHit> hits = Extract(strPage, best.m_strStart, strEnd, links);
        if (hits.size() != best.m_hits.size())
            continue;
        bool bSame = true;
        for (size_t i = 0; i < hits.size() && bSame; ++i)
            bSame = hits[i].m_strUrl == best.m_hits[i].m_strUrl &&
                    hits[i].m_strDescription.rfind(best.m_hits[i].m_strDescription.substr(0, 40), 0) == 0;
        const size_t nLength = totalLength(hits);
        // A snippet: clearly longer, never the whole rest of a page.
        if (bSame && nLength > nBestLength + hits.size() * 20) {
            strBest = strEnd;
            nBestLength = nLength;
        }
    }
    return strBest;
}

} // namespace

bool SplitAddressAroundQuery(const std::string& strAddress, const std::string& strQuery, CSearchEngine& engine)
{
    const std::string strAddressTrimmed = TrimWhiteSpace(strAddress);
    const size_t nSchemeEnd = strAddressTrimmed.find("://");
    const size_t nPathStart =
        nSchemeEnd == std::string::npos ? std::string::npos : strAddressTrimmed.find('/', nSchemeEnd + 3);
    for (const std::string& strForm : QueryForms(TrimWhiteSpace(strQuery))) {
        const size_t nAt = FindNoCase(strAddressTrimmed, strForm);
        if (nAt == std::string::npos || nPathStart == std::string::npos || nAt <= nPathStart)
            continue;
        const std::string strBefore = strAddressTrimmed.substr(0, nAt);
        size_t nSplit = strBefore.find('?');
        if (nSplit == std::string::npos)
            nSplit = strBefore.rfind('/');
        engine.m_strUrl = strBefore.substr(0, nSplit);
        engine.m_strPrefix = strBefore.substr(nSplit);
        engine.m_strSuffix = strAddressTrimmed.substr(nAt + strForm.size());
        const size_t nFragment = engine.m_strSuffix.find('#');
        if (nFragment != std::string::npos)
            engine.m_strSuffix.erase(nFragment);
        return true;
    }
    return false;
}

bool LearnTokens(const std::string& strPage, const std::string& strPageUrl, const CSearchEngine& engine,
                 const std::string& strQuery, CTokenProposal& proposal, std::string* pWhy)
{
    const std::vector<std::string> stems = QueryStems(strQuery);
    const std::string strEngineDomain = RegistrableDomain(HostOfUrl(strPageUrl.empty() ? engine.m_strUrl : strPageUrl));
    const CLinkCleaner links(strPageUrl.empty() ? engine.m_strUrl : strPageUrl, engine.m_strUrl);
    const std::vector<CAnchor> anchors = FindAnchors(strPage);

    // Candidate tokens: each ends where a link's value starts (the href, or an
    // attribute before it that holds the same address), and starts at an
    // attribute of the tag, at the tag, or at one of the three tags before it.
    std::unordered_map<std::string, std::string> candidates; // start token -> end token
    constexpr size_t kMaxTokenLength = 160;
    for (const CAnchor& anchor : anchors) {
        const CAttribute& href = anchor.m_attributes[static_cast<size_t>(anchor.m_nHref)];
        const std::string_view hrefValue(strPage.data() + href.m_nValue, href.m_nValueEnd - href.m_nValue);
        // The link's end tag, as the page writes it.
        const size_t nLower = strPage.find("</a>", anchor.m_nTagEnd);
        const size_t nUpper = strPage.find("</A>", anchor.m_nTagEnd);
        if (nLower == std::string::npos && nUpper == std::string::npos)
            continue;
        const std::string strEnd = nUpper < nLower ? "</A>" : "</a>";
        std::vector<size_t> starts = {anchor.m_nTagStart};
        size_t nBack = anchor.m_nTagStart;
        for (int k = 0; k < 3 && nBack > 0; ++k) {
            nBack = strPage.rfind('<', nBack - 1);
            if (nBack == std::string::npos)
                break;
            starts.push_back(nBack);
        }
        for (size_t a = 0; a < anchor.m_attributes.size(); ++a) {
            const CAttribute& attribute = anchor.m_attributes[a];
            const bool bLink = static_cast<int>(a) == anchor.m_nHref ||
                               (static_cast<int>(a) < anchor.m_nHref &&
                                std::string_view(strPage.data() + attribute.m_nValue,
                                                 attribute.m_nValueEnd - attribute.m_nValue) == hrefValue);
            if (!bLink)
                continue;
            std::vector<size_t> tokenStarts = starts;
            for (size_t b = 0; b <= a; ++b)
                tokenStarts.push_back(anchor.m_attributes[b].m_nName);
            for (const size_t nStart : tokenStarts) {
                if (nStart >= attribute.m_nValue || attribute.m_nValue - nStart > kMaxTokenLength)
                    continue;
                candidates.emplace(strPage.substr(nStart, attribute.m_nValue - nStart), strEnd);
            }
        }
    }

    std::vector<CCandidate> judged;
    for (const auto& [strStart, strEnd] : candidates) {
        const size_t nCount = CountOccurrences(strPage, strStart, 401);
        if (nCount < 2 || nCount > 400)
            continue;
        CCandidate candidate;
        candidate.m_strStart = strStart;
        candidate.m_strEnd = strEnd;
        candidate.m_hits = Extract(strPage, strStart, strEnd, links);
        candidate.m_judgement = Judge(candidate.m_hits, strEngineDomain, stems);
        candidate.m_bGenerated = HasGeneratedName(strStart);
        if (candidate.m_judgement.m_fValue > 0)
            judged.push_back(std::move(candidate));
    }
    if (judged.empty()) {
        if (pWhy)
            *pWhy = "no links of the page repeat like a list of results that holds the query's words";
        return false;
    }
    // The most result-like; stable markup wins over generated names when it
    // does nearly as well; then the shorter token.
    double fBest = 0;
    for (const CCandidate& candidate : judged)
        fBest = std::max(fBest, candidate.m_judgement.m_fValue);
    auto rank = [fBest](const CCandidate& c) {
        const bool bNear = c.m_judgement.m_fValue >= 0.9 * fBest;
        return std::make_tuple(!bNear, c.m_bGenerated, -c.m_judgement.m_fValue, c.m_strStart.size(), c.m_strStart);
    };
    const CCandidate& best =
        *std::min_element(judged.begin(), judged.end(),
                          [&rank](const CCandidate& a, const CCandidate& b) { return rank(a) < rank(b); });

    proposal.m_strStartToken = best.m_strStart;
    if (best.m_bGenerated) {
        // A generated class name changes with the engine's next deploy: the
        // wildcard stands for it where it finds the very same hits.
        const std::string strGeneral = WildcardGeneratedNames(best.m_strStart);
        const std::vector<CSearchHit> hits = Extract(strPage, strGeneral, best.m_strEnd, links);
        if (hits == best.m_hits)
            proposal.m_strStartToken = strGeneral;
    }
    proposal.m_strEndToken = LongerEndToken(strPage, best, links);
    proposal.m_hits = Extract(strPage, proposal.m_strStartToken, proposal.m_strEndToken, links);
    return true;
}
