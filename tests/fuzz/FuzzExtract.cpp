// SPDX-License-Identifier: MIT
// Hit extraction, link cleaning and the description cleaning on any page with
// any tokens and any page address.
// Input: three length bytes, the start token, the end token, the page address,
// then the page.

#include "results/ResultRows.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/extract/HtmlText.h"

#include <cstddef>
#include <cstdint>

namespace {

std::string Take(const std::string& input, size_t& nPos, size_t nWanted)
{
    const size_t n = std::min(nWanted, input.size() - nPos);
    const std::string part = input.substr(nPos, n);
    nPos += n;
    return part;
}

// A cleaned description: no white space but single blanks, none at the ends.
void CheckDescription(const std::string& text)
{
    if (text.size() > kMaxDescriptionLength || (!text.empty() && (text.front() == ' ' || text.back() == ' ')))
        __builtin_trap();
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || text[i] == '\r' || text[i] == '\t' || (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' '))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 3)
        return 0;
    const std::string input(reinterpret_cast<const char*>(pData), nSize);
    size_t nPos = 3;
    const std::string strStart = Take(input, nPos, pData[0] % 24);
    const std::string strEnd = Take(input, nPos, pData[1] % 24);
    const std::string strPageUrl = "http://" + Take(input, nPos, pData[2] % 48);
    const std::string strPage = input.substr(nPos);

    const CLinkCleaner links(strPageUrl, "https://lite.search.example/lite/");
    for (const bool bRemoveDups : {false, true}) {
        CResultRows rows;
        const CPageHits hits =
            ExtractPageHits(strPage, rows, strStart, strEnd, "Fuzz", bRemoveDups, nullptr, &links);
        if (hits.m_nAdded != rows.GetRowCount() || (hits.m_nAdded > 0 && !hits.m_bTokenFound))
            __builtin_trap();
        for (const CSearchHit& hit : rows.GetRows())
            CheckDescription(hit.m_strDescription);
    }
    CheckDescription(CleanDescription(strPage));
    // The link steps on their own, with the page as one link.
    links.Clean(strPage);
    RedirectTarget(strPage);
    std::string strDecoded;
    Base64UrlDecode(strPage, &strDecoded);
    if (DecodeCharacterReferences(strPage).size() > strPage.size() * 2 + 4)
        __builtin_trap(); // no reference decodes to more than twice its length
    return 0;
}
