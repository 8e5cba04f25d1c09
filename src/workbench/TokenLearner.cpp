// SPDX-License-Identifier: MIT
#include "workbench/TokenLearner.h"

#include "workbench/TokenCandidates.h"

#include "platform/TextUtil.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>
#include <functional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

bool IsGeneratedName(std::string_view word)
{
    const bool bDigit = std::any_of(word.begin(), word.end(), IsAsciiDigit);
    const bool bLetter = std::any_of(word.begin(), word.end(), IsAsciiAlpha);
    return word.size() >= 6 && bDigit && bLetter;
}

std::string WildcardGeneratedNames(std::string_view token)
{
    std::string out;
    size_t i = 0;
    auto isWordChar = [](char c) { return IsAsciiAlnum(c) || c == '-' || c == '_'; };
    while (i < token.size()) {
        if (!isWordChar(token[i])) {
            out += token[i++];
            continue;
        }
        size_t nEnd = i;
        while (nEnd < token.size() && isWordChar(token[nEnd]))
            ++nEnd;
        const std::string_view word = token.substr(i, nEnd - i);
        if (IsGeneratedName(word))
            out += kTokenWildcard;
        else
            out += word;
        i = nEnd;
    }
    return out;
}

std::vector<CSearchHit> ExtractWithTokens(const std::string& strPage, const std::string& strStart,
                                          const std::string& strEnd, const CLinkCleaner& links)
{
    CResultRows rows;
    ExtractPageHits(strPage, rows, strStart, strEnd, "", false, nullptr, &links, kMaxRowsPerPage);
    return rows.GetRows();
}

namespace {
struct CScore
{
    int m_nFound = 0; // of the links wanted
    int m_nOther = 0; // anything else the token finds
};

bool LinkStartsAfterToken(std::string_view token)
{
    return !token.empty() && (token.back() == '=' || (token.size() >= 2 && token[token.size() - 2] == '=' &&
                                                      (token.back() == '"' || token.back() == '\'')));
}

// What the token finds, as extraction walks the page.
CScore Evaluate(std::string_view page, const std::string& strToken, const std::unordered_set<size_t>& wanted)
{
    CScore score;
    const CTokenPattern pattern(strToken);
    const bool bAfter = LinkStartsAfterToken(strToken);
    size_t nLength = 0;
    for (size_t p = pattern.Find(page, 0, &nLength); p != std::string_view::npos;
         p = pattern.Find(page, p + 1, &nLength)) {
        if (p + nLength + 1 < page.size() && page[p + nLength + 1] == '"')
            break; // extraction ends the page there
        const size_t nUrl = bAfter ? p + nLength : (p + nLength >= 4 ? p + nLength - 4 : 0);
        if (wanted.count(nUrl))
            ++score.m_nFound;
        else
            ++score.m_nOther;
        if (score.m_nOther > 4000)
            break;
    }
    return score;
}

// Start tokens for the links: their own tag, with zero to three of the tags before it.

// An end token that also takes the snippet after the title: a closing tag
// that follows every hit before the next one starts, where the descriptions
// grow most while the hits stay the same.
std::string LongerEndToken(const std::string& strPage, const CTokenProposal& best, const CLinkCleaner& links)
{
    const CTokenPattern start(best.m_strStartToken);
    std::vector<size_t> starts;
    size_t nLength = 0;
    for (size_t p = start.Find(strPage, 0, &nLength); p != std::string::npos && starts.size() < 4096;
         p = start.Find(strPage, p + 1, &nLength))
        starts.push_back(p);
    if (starts.empty())
        return best.m_strEndToken;
    std::vector<std::string> ends;
    for (size_t k = 0; k < starts.size() && k < 4; ++k) {
        const size_t nLinkEnd = strPage.find(best.m_strEndToken, starts[k]);
        const size_t nLimit = std::min(k + 1 < starts.size() ? starts[k + 1] : strPage.size(), starts[k] + 4096);
        for (size_t i = nLinkEnd; i != std::string::npos && i < nLimit && ends.size() < 16; i = strPage.find("</", i + 2)) {
            const size_t nGt = strPage.find('>', i);
            if (nGt == std::string::npos || nGt - i > 12)
                continue;
            std::string strEnd = strPage.substr(i, nGt - i + 1);
            if (strEnd != best.m_strEndToken && std::find(ends.begin(), ends.end(), strEnd) == ends.end())
                ends.push_back(std::move(strEnd));
        }
    }
    auto totalLength = [](const std::vector<CSearchHit>& hits) {
        size_t n = 0;
        for (const CSearchHit& hit : hits)
            n += hit.m_strDescription.size();
        return n;
    };
    auto closesEveryHit = [&](const std::string& strEnd) {
        for (size_t k = 0; k < starts.size(); ++k) {
            const size_t nEnd = strPage.find(strEnd, starts[k]);
            if (nEnd == std::string::npos || (k + 1 < starts.size() && nEnd > starts[k + 1]))
                return false;
        }
        return true;
    };
    std::string strBest = best.m_strEndToken;
    size_t nBestLength = totalLength(best.m_hits);
    for (const std::string& strEnd : ends) {
        if (!closesEveryHit(strEnd))
            continue;
        const std::vector<CSearchHit> hits = ExtractWithTokens(strPage, best.m_strStartToken, strEnd, links);
        if (hits.size() != best.m_hits.size())
            continue;
        bool bSame = true;
        for (size_t i = 0; i < hits.size() && bSame; ++i)
            bSame = hits[i].m_strUrl == best.m_hits[i].m_strUrl &&
                    hits[i].m_strDescription.rfind(best.m_hits[i].m_strDescription.substr(0, 40), 0) == 0;
        const size_t nLength = totalLength(hits);
        if (bSame && nLength > nBestLength + hits.size() * 20) {
            strBest = strEnd;
            nBestLength = nLength;
        }
    }
    return strBest;
}

// The hits a token finds, as the links (indices) whose address starts where
// extraction would take it; -1 for a place that is no link of the page.
std::vector<long> MatchedLinks(std::string_view page, const std::string& strToken,
                               const std::unordered_map<size_t, size_t>& linkAt)
{
    std::vector<long> out;
    const CTokenPattern pattern(strToken);
    const bool bAfter = LinkStartsAfterToken(strToken);
    size_t nLength = 0;
    for (size_t p = pattern.Find(page, 0, &nLength); p != std::string_view::npos && out.size() < 4096;
         p = pattern.Find(page, p + 1, &nLength)) {
        if (p + nLength + 1 < page.size() && page[p + nLength + 1] == '"')
            break;
        const size_t nUrl = bAfter ? p + nLength : (p + nLength >= 4 ? p + nLength - 4 : 0);
        const auto it = linkAt.find(nUrl);
        out.push_back(it == linkAt.end() ? -1 : static_cast<long>(it->second));
    }
    return out;
}

// Results in two markups (a first result set apart, a compact list after a
// detailed one): a tag of the token before the link's own loosened to
// "<name{*}>" where that finds more links like results and nothing else.
std::string LoosenForOtherMarkup(std::string_view page, const std::string& strToken,
                                 const std::unordered_map<size_t, size_t>& linkAt,
                                 const std::function<bool(size_t)>& isResultLike, size_t* pGain)
{
    const std::vector<long> base = MatchedLinks(page, strToken, linkAt);
    const std::unordered_set<long> known(base.begin(), base.end());
    // The tags of the token before its last one (the link's own).
    std::vector<std::pair<size_t, size_t>> tags; // '<' and '>'
    for (size_t i = strToken.find('<'); i != std::string::npos; i = strToken.find('<', i + 1)) {
        const size_t nGt = strToken.find('>', i);
        if (nGt == std::string::npos)
            break;
        tags.emplace_back(i, nGt);
    }
    std::string strBest = strToken;
    size_t nBestGain = 0;
    for (const auto& [nLt, nGt] : tags) {
        size_t nName = nLt + 1;
        if (nName < strToken.size() && strToken[nName] == '/')
            continue;
        while (nName < strToken.size() && IsAsciiAlnum(strToken[nName]))
            ++nName;
        if (nName - nLt - 1 < 2)
            continue; // "<b{*}>" would also be <br>, <body>
        const std::string strLoose =
            strToken.substr(0, nName) + std::string(kTokenWildcard) + strToken.substr(nGt);
        if (strLoose == strToken)
            continue;
        size_t nGain = 0;
        bool bClean = true;
        for (const long m : MatchedLinks(page, strLoose, linkAt)) {
            if (known.count(m))
                continue;
            if (m < 0 || !isResultLike(static_cast<size_t>(m))) {
                bClean = false;
                break;
            }
            ++nGain;
        }
        if (bClean && nGain > nBestGain) {
            nBestGain = nGain;
            *pGain = nGain;
            strBest = strLoose;
        }
    }
    return strBest;
}

// The end token for the start token chosen, and what the two find.
bool FinishTokens(const std::string& strPage, const std::string& strStart, const std::vector<CAnchor>& anchors,
                  const std::vector<size_t>& links, const CLinkCleaner& cleaner, CTokenProposal& proposal)
{
    const size_t nUpper = static_cast<size_t>(std::count_if(links.begin(), links.end(),
                                                            [&](size_t i) { return anchors[i].m_bUpperEnd; }));
    proposal.m_strStartToken = strStart;
    proposal.m_strEndToken = nUpper * 2 > links.size() ? "</A>" : "</a>";
    proposal.m_hits = ExtractWithTokens(strPage, proposal.m_strStartToken, proposal.m_strEndToken, cleaner);
    proposal.m_strEndToken = LongerEndToken(strPage, proposal, cleaner);
    proposal.m_hits = ExtractWithTokens(strPage, proposal.m_strStartToken, proposal.m_strEndToken, cleaner);
    return !proposal.m_hits.empty();
}

} // namespace

bool LearnGroupTokens(const std::string& strPage, const std::vector<CAnchor>& anchors,
                      const std::vector<size_t>& links, const CLinkCleaner& cleaner, CTokenProposal& proposal,
                      const std::function<bool(size_t)>& isResultLike)
{
    if (links.size() < 2)
        return false;
    std::unordered_set<size_t> wanted;
    for (const size_t i : links)
        wanted.insert(anchors[i].Href().m_nValue);
    const std::vector<std::string> candidates = StartCandidates(strPage, anchors, links);
    std::string strBest;
    auto rank = [](const CScore& s, const std::string& strToken) {
        return std::make_tuple(s.m_nFound - s.m_nOther, -static_cast<long>(CountWildcards(strToken)),
                               -static_cast<long>(strToken.size()));
    };
    CScore best;
    std::vector<std::pair<std::string, CScore>> scored;
    for (const std::string& strRaw : candidates) {
        const std::string strCandidate = CatalogueSafe(strRaw);
        if (strCandidate.empty())
            continue;
        const CScore score = Evaluate(strPage, strCandidate, wanted);
        if (score.m_nFound < 2)
            continue;
        scored.emplace_back(strCandidate, score);
        if (strBest.empty() || rank(score, strCandidate) > rank(best, strBest)) {
            best = score;
            strBest = strCandidate;
        }
    }
    if (strBest.empty())
        return false;
    // Results in another markup too (a first result set apart): of the tokens
    // that find the links as well as the best, the one that loosened takes
    // most more links like results, and nothing else.
    if (isResultLike) {
        // Each link by where its address starts.
        std::unordered_map<size_t, size_t> linkAt;
        for (size_t i = 0; i < anchors.size(); ++i)
            linkAt.emplace(anchors[i].Href().m_nValue, i);
        size_t nMostGain = 0;
        std::string strLoosest;
        for (const auto& [strCandidate, score] : scored) {
            if (score.m_nFound - score.m_nOther != best.m_nFound - best.m_nOther)
                continue;
            size_t nGain = 0;
            std::string strLoose = LoosenForOtherMarkup(strPage, strCandidate, linkAt, isResultLike, &nGain);
            if (nGain > nMostGain) {
                nMostGain = nGain;
                strLoosest = std::move(strLoose);
            }
        }
        if (nMostGain > 0) {
            strBest = std::move(strLoosest);
            best = Evaluate(strPage, strBest, wanted);
        }
    }
    // A generated class name changes with the engine's next deploy: the
    // wildcard stands for it where it finds the very same links.
    const std::string strGeneral = WildcardGeneratedNames(strBest);
    if (strGeneral != strBest) {
        const CScore score = Evaluate(strPage, strGeneral, wanted);
        if (score.m_nFound == best.m_nFound && score.m_nOther == best.m_nOther)
            strBest = strGeneral;
    }
    return FinishTokens(strPage, strBest, anchors, links, cleaner, proposal);
}
