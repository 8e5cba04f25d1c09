// Hit extraction and the cleaning steps on any page with any tokens.
// Input: two length bytes, the start token, the end token, then the page.

#include "results/ResultRows.h"
#include "search/HitExtraction.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    const std::string input(reinterpret_cast<const char*>(pData), nSize);
    size_t nPos = 2;
    const size_t nStart = std::min<size_t>(pData[0] % 24, input.size() - nPos);
    const std::string strStart = input.substr(nPos, nStart);
    nPos += nStart;
    const size_t nEnd = std::min<size_t>(pData[1] % 24, input.size() - nPos);
    const std::string strEnd = input.substr(nPos, nEnd);
    nPos += nEnd;
    const std::string strPage = input.substr(nPos);

    for (const bool bRemoveDups : {false, true}) {
        CResultRows rows;
        const int nAdded = ExtractHits(strPage, rows, strStart, strEnd, "Fuzz", bRemoveDups);
        if (nAdded != rows.GetRowCount())
            __builtin_trap();
        for (const CSearchHit& hit : rows.GetRows())
            if (hit.m_strDescription.size() > kMaxDescriptionLength ||
                hit.m_strUrl.size() > strPage.size())
                __builtin_trap();
    }
    CleanDescription(strPage);
    return 0;
}
