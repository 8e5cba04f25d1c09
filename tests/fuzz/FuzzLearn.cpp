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
    CPageAnswer answer;
    answer.m_strText.assign(reinterpret_cast<const char*>(pData), nSize);
    answer.m_nStatus = 200;
    CLearnRequest request;
    request.m_strName = "Fuzz";
    request.m_strQuery = "red apple";
    request.m_strAddress = "https://www.engine.example/search?q=red+apple&src=web";
    const CLearnResult result = LearnFromPage(request, answer, nullptr);
    if (result.m_nVerdict == LearnVerdict::Learned) {
        const CSearchEngine& engine = result.m_engine;
        if (engine.m_strStartToken.empty() || engine.m_strEndToken.empty() || result.m_hits.empty())
            __builtin_trap();
        if (CTokenPattern(engine.m_strStartToken).Count(answer.m_strText, 1) == 0) // may hold {*}
            __builtin_trap();
        for (const char c : engine.m_strStartToken + engine.m_strEndToken)
            if (c == '\r' || c == '\n')
                __builtin_trap(); // the catalogue keeps a token on one line
        if (engine.m_nSearchType < 0 || engine.m_nSearchType >= kSearchTypeCount)
            __builtin_trap();
    } else if (result.m_nVerdict == LearnVerdict::BadAddress) {
        __builtin_trap();
    }
    return 0;
}
