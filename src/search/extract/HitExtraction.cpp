// SPDX-License-Identifier: MIT
#include "search/extract/HitExtraction.h"

#include "platform/CancelSignal.h"
#include "platform/TextUtil.h"
#include "results/ResultRows.h"
#include "search/extract/HitLink.h"
#include "search/extract/HtmlText.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>

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

CPageHits ExtractPageHits(const std::string& strPage, CResultRows& rows, std::string_view startToken,
                          std::string_view endToken, const std::string& strEngineName,
                          bool bRemoveDups, const CCancelSignal* pCancel, const CLinkCleaner* pLinks,
                          int nMaxRows, int nListedBefore)
{
    static const CLinkCleaner kDecodeOnly;
    const CLinkCleaner& links = pLinks ? *pLinks : kDecodeOnly;
    const std::string_view page(strPage);
    const CTokenPattern start(startToken);
    const CTokenPattern end(endToken);
    const bool bUnquoted = EndsWithUnquotedValue(startToken);
    const bool bLinkAfterToken = bUnquoted || EndsWithAttributeQuote(startToken);
    CPageHits result;
    size_t nTokenLength = 0;
    size_t p = start.Find(page, 0, &nTokenLength);
    result.m_bTokenFound = p != std::string_view::npos;
    while (p != std::string_view::npos) {
        // Stop acts between two hits, however long the page.
        if (pCancel && pCancel->IsSignalled())
            break;
        if (result.m_nAdded >= nMaxRows) {
            result.m_bCut = true;
            break;
        }
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
        const size_t nEnd = end.Find(page, nDescStart, &nEndLength);
        size_t nNextLength = 0;
        // (after this hit's token in any case: a short token may start its link,
        // and so its description, before itself)
        const size_t nNextStart = start.Find(page, std::max(nDescStart, p + 1), &nNextLength);
        size_t nDescEnd = nEnd;
        const size_t nNext = nNextStart;
        if (nEnd == std::string_view::npos || (nNextStart != std::string_view::npos && nNextStart < nEnd))
            nDescEnd = nNextStart == std::string_view::npos ? page.size() : nNextStart;

        // A link far too long, or one that would run something on the user's
        // machine, is no result: it is skipped and counts for nothing.
        if (nQuote - nUrlStart > 4 * kMaxHitUrlBytes) {
            p = nNext;
            nTokenLength = nNextLength;
            continue;
        }
        std::string strUrl = links.Clean(page.substr(nUrlStart, nQuote - nUrlStart));
        if (!IsListableHitUrl(strUrl)) {
            p = nNext;
            nTokenLength = nNextLength;
            continue;
        }
        auto appended = CResultRows::AppendResult::Duplicate;
        // The hit's place among the hits its engine listed, duplicates included.
        const int nPosition = nListedBefore < 0 ? 0 : nListedBefore + result.m_nAdded + result.m_nDuplicates + 1;
        if (!bRemoveDups || !rows.ContainsUrl(strUrl)) {
            CSearchHit hit{CleanDescription(page.substr(nDescStart, nDescEnd - nDescStart)),
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
        p = nNext;
        nTokenLength = nNextLength;
    }
    return result;
}

