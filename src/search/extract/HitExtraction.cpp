// SPDX-License-Identifier: MIT
#include "search/extract/HitExtraction.h"

#include "platform/CancelSignal.h"
#include "platform/TextUtil.h"
#include "results/ResultRows.h"
#include "search/extract/HitLink.h"
#include "search/extract/HtmlText.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>
#include <vector>

std::string CleanDescription(std::string_view raw)
{
    std::string text = HtmlToText(raw, kMaxDescriptionLength);
    if (text.size() > kMaxDescriptionLength) {
        text.resize(Utf8SafeCutLength(text, kMaxDescriptionLength));
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
    }
    return text;
}

namespace {

bool EndsWithAttributeQuote(std::string_view token)
{
    return token.size() >= 2 && token[token.size() - 2] == '=' &&
           (token.back() == '"' || token.back() == '\'');
}

// A token that ends with "=" is followed by an unquoted value (href=https://...).
bool EndsWithUnquotedValue(std::string_view token)
{
    return !token.empty() && token.back() == '=';
}

} // namespace

namespace {

// Where one hit stands on the page.
struct CHitSpan
{
    size_t m_nUrlStart = 0;
    size_t m_nUrlEnd = 0;
    size_t m_nDescStart = 0;
    size_t m_nDescEnd = 0;
};

// The hits' places as the tokens find them, in page order.
std::vector<CHitSpan> FindHitSpans(std::string_view page, std::string_view startToken, std::string_view endToken,
                                   const CCancelSignal* pCancel, bool* pTokenFound)
{
    std::vector<CHitSpan> spans;
    const CTokenPattern start(startToken);
    const CTokenPattern end(endToken);
    const bool bUnquoted = EndsWithUnquotedValue(startToken);
    const bool bLinkAfterToken = bUnquoted || EndsWithAttributeQuote(startToken);
    size_t nTokenLength = 0;
    size_t p = start.Find(page, 0, &nTokenLength);
    *pTokenFound = p != std::string_view::npos;
    // Where the end token was found last: the page is searched for it once,
    // not again from every hit (a page without it would cost its size per hit).
    size_t nLastEnd = 0;
    size_t nLastEndFrom = std::string_view::npos;
    while (p != std::string_view::npos) {
        // Stop acts between two hits, however long the page.
        if (pCancel && pCancel->IsSignalled())
            break;
        // A double quote as the second character after the token ends the page.
        if (p + nTokenLength + 1 < page.size() && page[p + nTokenLength + 1] == '"')
            break;
        // Where the link starts: right after a token that opens the attribute
        // value, else at the token's last four characters (never before the page).
        size_t nUrlStart = p + nTokenLength;
        if (!bLinkAfterToken)
            nUrlStart = nUrlStart >= 4 ? nUrlStart - 4 : 0;
        const char chQuote = (nUrlStart > 0 && page[nUrlStart - 1] == '\'') ? '\'' : '"';
        // An unquoted link ends at a blank or at the end of its tag.
        const size_t nQuote = bUnquoted ? page.find_first_of(" \t\r\n>", nUrlStart) : page.find(chQuote, nUrlStart);
        if (nQuote == std::string_view::npos)
            break;
        // The description starts after the ">" that closes the link's tag.
        const size_t nTagEnd = page[nQuote] == '>' ? nQuote : page.find('>', nQuote + 1);
        if (nTagEnd == std::string_view::npos)
            break;
        const size_t nDescStart = nTagEnd + 1;
        // It ends at the end token; but a hit never swallows the next one: when
        // the next hit starts first (or the end token never comes), the
        // description ends there (or at the end of the page).
        size_t nEndLength = 0;
        if (nLastEndFrom == std::string_view::npos || nDescStart < nLastEndFrom ||
            (nLastEnd != std::string_view::npos && nLastEnd < nDescStart)) {
            nLastEnd = end.Find(page, nDescStart, &nEndLength);
            nLastEndFrom = nDescStart;
        }
        const size_t nEnd = nLastEnd;
        size_t nNextLength = 0;
        // (after this hit's token in any case: a short token may start its link,
        // and so its description, before itself)
        const size_t nNextStart = start.Find(page, std::max(nDescStart, p + 1), &nNextLength);
        size_t nDescEnd = nEnd;
        if (nEnd == std::string_view::npos || (nNextStart != std::string_view::npos && nNextStart < nEnd))
            nDescEnd = nNextStart == std::string_view::npos ? page.size() : nNextStart;
        spans.push_back({nUrlStart, nQuote, nDescStart, nDescEnd});
        p = nNextStart;
        nTokenLength = nNextLength;
    }
    return spans;
}

// The address every hit of the page goes through, with its target in a
// parameter (a redirect of the engine's served under another host name than
// the one it was asked by); empty when the hits do not share one.
std::string PageRedirector(std::string_view page, const std::vector<CHitSpan>& spans, const CLinkCleaner& links)
{
    constexpr size_t kLook = 64;
    const size_t n = std::min(spans.size(), kLook);
    if (n < 3)
        return {};
    std::string strFirst;
    size_t nSame = 0;
    for (size_t i = 0; i < n; ++i) {
        const std::string strRedirector =
            CLinkCleaner::RedirectorOf(links.Resolve(page.substr(spans[i].m_nUrlStart, spans[i].m_nUrlEnd - spans[i].m_nUrlStart)));
        if (strRedirector.empty())
            continue;
        if (strFirst.empty())
            strFirst = strRedirector;
        nSame += strRedirector == strFirst;
    }
    return nSame * 10 >= n * 9 ? strFirst : std::string();
}

} // namespace

CPageHits ExtractPageHits(const std::string& strPage, CResultRows& rows, std::string_view startToken,
                          std::string_view endToken, const std::string& strEngineName,
                          bool bRemoveDups, const CCancelSignal* pCancel, const CLinkCleaner* pLinks,
                          int nMaxRows, int nListedBefore)
{
    static const CLinkCleaner kDecodeOnly;
    const CLinkCleaner& links = pLinks ? *pLinks : kDecodeOnly;
    const std::string_view page(strPage);
    CPageHits result;
    const std::vector<CHitSpan> spans = FindHitSpans(page, startToken, endToken, pCancel, &result.m_bTokenFound);
    const std::string strRedirector = pLinks ? PageRedirector(page, spans, links) : std::string();
    for (const CHitSpan& span : spans) {
        if (pCancel && pCancel->IsSignalled())
            break;
        if (result.m_nAdded >= nMaxRows) {
            result.m_bCut = true;
            break;
        }
        // A link far too long, or one that would run something on the user's
        // machine, is no result: it is skipped and counts for nothing.
        if (span.m_nUrlEnd - span.m_nUrlStart > 4 * kMaxHitUrlBytes)
            continue;
        std::string strUrl = links.Clean(page.substr(span.m_nUrlStart, span.m_nUrlEnd - span.m_nUrlStart), strRedirector);
        if (!IsListableHitUrl(strUrl))
            continue;
        auto appended = CResultRows::AppendResult::Duplicate;
        // The hit's place among the hits its engine listed, duplicates included.
        const int nPosition = nListedBefore < 0 ? 0 : nListedBefore + result.m_nAdded + result.m_nDuplicates + 1;
        if (!bRemoveDups || !rows.ContainsUrl(strUrl)) {
            CSearchHit hit{CleanDescription(page.substr(span.m_nDescStart, span.m_nDescEnd - span.m_nDescStart)),
                           std::move(strUrl), strEngineName};
            appended = rows.AppendHit(std::move(hit), bRemoveDups, pCancel, nPosition);
        } else if (nPosition > 0) {
            // A duplicate adds its engine and place to the row listed.
            rows.NoteDuplicate(strUrl, strEngineName, nPosition);
        }
        if (appended == CResultRows::AppendResult::Cancelled)
            break;
        if (appended == CResultRows::AppendResult::Added)
            ++result.m_nAdded;
        else
            ++result.m_nDuplicates;
    }
    return result;
}
