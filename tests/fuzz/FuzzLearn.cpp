// SPDX-License-Identifier: MIT
// Result pages read by the learner: whatever the page, it proposes tokens that
// find what it says they find, or nothing, and paging it can describe.

#include "engines/SearchEngine.h"
#include "search/extract/TokenPattern.h"
#include "workbench/EngineLearner.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strPage(reinterpret_cast<const char*>(pData), nSize);
    const std::string strAddress = "https://www.engine.example/search?q=red+apple&src=web";
    CSearchEngine engine;
    if (!SplitAddressAroundQuery(strAddress, "red apple", engine))
        __builtin_trap();
    CTokenProposal proposal;
    if (LearnTokens(strPage, strAddress, engine, "red apple", proposal, nullptr)) {
        if (proposal.m_strStartToken.empty() || proposal.m_strEndToken.empty() || proposal.m_hits.empty())
            __builtin_trap();
        if (CTokenPattern(proposal.m_strStartToken).Count(strPage, 1) == 0) // may hold {*}
            __builtin_trap();
    }
    LearnPaging(strPage, "red apple", static_cast<int>(proposal.m_hits.size()), engine);
    if (engine.m_nSearchType < 0 || engine.m_nSearchType >= kSearchTypeCount)
        __builtin_trap();
    return 0;
}
