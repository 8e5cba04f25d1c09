// SPDX-License-Identifier: MIT
#include "engines/SearchEngine.h"

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
