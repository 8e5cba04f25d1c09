// SPDX-License-Identifier: MIT
#include "engines/SearchEngine.h"

#include "search/HitExtraction.h"

const char* const kSearchTypeTexts[kSearchTypeCount] = {
    "Results are returned on multiple HTML pages",
    "Engine allow you so specify the number of results to return",
    "Specify the minimum result number to start returning",
    "All results are returned on the same page",
    "Pages are numbered from 1",
    "Pages are numbered from 0",
};

bool CSearchEngine::IsValid()
{
    m_bValid = !m_strName.empty() && !m_strStartToken.empty() && !m_strEndToken.empty() &&
               !m_strPrefix.empty();
    return m_bValid;
}

bool CSearchEngine::AddHitsFromPage(const std::string& strPage, CResultRows& rows, int /*nHitLimit*/,
                                    int& nCount, bool bRemoveDups, const CCancelSignal* pCancel,
                                    const CLinkCleaner* pLinks, CPageHits* pPageHits, int nMaxRows) const
{
    if (!m_bValid)
        return false;
    const CPageHits hits = ExtractPageHits(strPage, rows, m_strStartToken, m_strEndToken, m_strName,
                                           bRemoveDups, pCancel, pLinks, nMaxRows);
    nCount = hits.m_nAdded;
    if (pPageHits)
        *pPageHits = hits;
    return true;
}
