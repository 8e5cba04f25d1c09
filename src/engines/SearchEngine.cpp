// SPDX-License-Identifier: MIT
#include "engines/SearchEngine.h"
#include "platform/Translate.h"

const char* const kSearchTypeTexts[kSearchTypeCount] = {
    N_("Results are returned on multiple HTML pages"),
    N_("Engine allow you so specify the number of results to return"),
    N_("Specify the minimum result number to start returning"),
    N_("All results are returned on the same page"),
    N_("Pages are numbered from 1"),
    N_("Pages are numbered from 0"),
};

bool CSearchEngine::IsValid()
{
    m_bValid = !m_strName.empty() && !m_strStartToken.empty() && !m_strEndToken.empty() &&
               !m_strPrefix.empty();
    return m_bValid;
}
