// SPDX-License-Identifier: MIT
#include "search/extract/TokenPattern.h"

#include <algorithm>
#include <vector>

CTokenPattern::CTokenPattern(std::string_view token)
{
    // The literal parts; a wildcard at either end adds nothing (the shortest
    // run there is empty).
    size_t i = 0;
    for (;;) {
        const size_t nWild = token.find(kTokenWildcard, i);
        const std::string_view part = token.substr(i, nWild == std::string_view::npos ? nWild : nWild - i);
        if (!part.empty())
            m_segments.emplace_back(part);
        if (nWild == std::string_view::npos)
            break;
        i = nWild + kTokenWildcard.size();
    }
}

size_t CTokenPattern::Find(std::string_view text, size_t nFrom, size_t* pLength) const
{
    if (m_segments.empty())
        return std::string_view::npos;
    const std::string& first = m_segments.front();
    // What was found for each segment from some place on: a later start never
    // searches the same stretch of text again, so near misses cost their
    // length once, not once per start.
    struct CSeen
    {
        size_t m_nFrom = std::string_view::npos;
        size_t m_nStop = 0;    // the first '<' or '>' at or after m_nFrom (or the text's end)
        size_t m_nSegmentFrom = std::string_view::npos; // where the segment was last looked for
        size_t m_nSegment = 0; // the first place of the segment from there (npos: none before the stop)
    };
    std::vector<CSeen> seen(m_segments.size());
    auto stopAt = [&text](CSeen& s, size_t nAt) {
        if (s.m_nFrom == std::string_view::npos || nAt < s.m_nFrom || nAt > s.m_nStop) {
            const size_t nStop = text.find_first_of("<>", nAt);
            s.m_nStop = nStop == std::string_view::npos ? text.size() : nStop;
            s.m_nFrom = nAt;
            s.m_nSegmentFrom = std::string_view::npos; // not looked for in this stretch yet
        }
        return s.m_nStop;
    };
    for (size_t nStart = text.find(first, nFrom); nStart != std::string_view::npos;
         nStart = text.find(first, nStart + 1)) {
        size_t nAt = nStart + first.size();
        bool bMatched = true;
        for (size_t s = 1; s < m_segments.size() && bMatched; ++s) {
            const std::string& segment = m_segments[s];
            // The run before the segment stays inside the tag: it ends at the
            // first '<' or '>', which the segment itself may begin with.
            CSeen& known = seen[s];
            const size_t nLimit = stopAt(known, nAt);
            if (known.m_nSegmentFrom == std::string_view::npos || nAt < known.m_nSegmentFrom ||
                (known.m_nSegment != std::string_view::npos && known.m_nSegment < nAt)) {
                const size_t nEnd = std::min(text.size(), nLimit + segment.size());
                known.m_nSegment = text.substr(0, nEnd).find(segment, nAt);
                known.m_nSegmentFrom = nAt;
            }
            const size_t nSegment = known.m_nSegment;
            if (nSegment == std::string_view::npos || nSegment > nLimit)
                bMatched = false;
            else
                nAt = nSegment + segment.size();
        }
        if (bMatched) {
            if (pLength)
                *pLength = nAt - nStart;
            return nStart;
        }
    }
    return std::string_view::npos;
}

size_t CTokenPattern::Count(std::string_view text, size_t nStopAt) const
{
    size_t n = 0;
    size_t nLength = 0;
    for (size_t i = Find(text, 0, &nLength); i != std::string_view::npos && n < nStopAt;
         i = Find(text, i + 1, &nLength))
        ++n;
    return n;
}
