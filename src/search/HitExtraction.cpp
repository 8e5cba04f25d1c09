#include "search/HitExtraction.h"

#include "platform/TextUtil.h"
#include "results/ResultRows.h"

#include <algorithm>

std::string StripTags(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    for (;;) {
        const size_t nLt = text.find('<', i);
        const size_t nGt = nLt == std::string_view::npos ? nLt : text.find('>', nLt + 1);
        if (nGt == std::string_view::npos) {
            out.append(text.substr(i));
            return out;
        }
        out.append(text.substr(i, nLt - i));
        i = nGt + 1;
    }
}

std::string RemoveChar(std::string_view text, char c)
{
    std::string out;
    out.reserve(text.size());
    for (const char ch : text)
        if (ch != c)
            out += ch;
    return out;
}

std::string RemoveSubstring(std::string_view text, std::string_view part)
{
    if (part.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    for (;;) {
        const size_t nAt = text.find(part, i);
        if (nAt == std::string_view::npos) {
            out.append(text.substr(i));
            return out;
        }
        out.append(text.substr(i, nAt - i));
        i = nAt + part.size();
    }
}

std::string CleanDescription(std::string_view raw)
{
    std::string text = RemoveChar(StripTags(raw), '\n');
    text.resize(Utf8SafeCutLength(text, kMaxDescriptionLength));
    return RemoveSubstring(RemoveSubstring(text, "&nbsp;"), "&quot;");
}

int ExtractHits(const std::string& strPage, CResultRows& rows, std::string_view startToken,
                std::string_view endToken, const std::string& strEngineName, bool bRemoveDups,
                const CCancelSignal* pCancel)
{
    const std::string_view page(strPage);
    const size_t nTokenLength = startToken.size();
    int nCount = 0;
    size_t p = page.find(startToken);
    while (p != std::string_view::npos) {
        // A double quote as the second character after the token ends the page.
        if (p + nTokenLength + 1 < page.size() && page[p + nTokenLength + 1] == '"')
            break;
        // The token's last four characters begin the URL, never before the page.
        const size_t nUrlStart = (p + nTokenLength >= 4) ? p + nTokenLength - 4 : 0;
        const size_t nQuote = page.find('"', nUrlStart);
        if (nQuote == std::string_view::npos)
            break;
        const size_t nDescStart = nQuote + 2;
        const size_t nEnd = nDescStart <= page.size() ? page.find(endToken, nDescStart)
                                                      : std::string_view::npos;
        if (nEnd == std::string_view::npos)
            break;
        // The next hit is looked for after the first character of the end token,
        // and always after this occurrence, so the scan moves on.
        const size_t nNext = page.find(startToken, std::max(nEnd + 1, p + 1));

        const std::string_view url = page.substr(nUrlStart, nQuote - nUrlStart);
        if (!bRemoveDups || !rows.ContainsUrl(url)) {
            CSearchHit hit{CleanDescription(page.substr(nDescStart, nEnd - nDescStart)),
                           std::string(url), strEngineName};
            const auto result = rows.AppendHit(std::move(hit), bRemoveDups, pCancel);
            if (result == CResultRows::AppendResult::Cancelled)
                break;
            if (result == CResultRows::AppendResult::Added)
                ++nCount;
        }
        p = nNext;
    }
    return nCount;
}
