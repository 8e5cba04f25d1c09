// SPDX-License-Identifier: MIT
#include "results/ListOrder.h"

#include "platform/TextUtil.h"
#include "results/RankOrder.h"

#include <algorithm>
#include <numeric>

void CListOrder::ClickColumn(int nColumn)
{
    // Found By starts with the hits most engines found; a text column from A.
    const bool bFirstAscending = nColumn != kFoundByColumn;
    if (m_nSortColumn != nColumn) {
        m_nSortColumn = nColumn;
        m_bAscending = bFirstAscending;
    } else if (m_bAscending == bFirstAscending) {
        m_bAscending = !bFirstAscending;
    } else {
        m_nSortColumn = -1;
        m_bAscending = true;
    }
}

std::vector<int> ShownOrder(const std::vector<CSearchHit>& hits, const std::vector<std::vector<CFoundBy>>& foundBy,
                            const CListOrder& order)
{
    std::vector<int> shown;
    if (order.m_bRank) {
        shown = OrderByRank(foundBy);
    } else {
        shown.resize(std::max(hits.size(), foundBy.size()));
        std::iota(shown.begin(), shown.end(), 0);
    }
    const int nColumn = order.m_nSortColumn;
    if (nColumn < 0 || nColumn > kFoundByColumn)
        return shown;
    auto key = [&](int nRow) -> const std::string& {
        const CSearchHit& hit = hits[static_cast<size_t>(nRow)];
        return nColumn == 0 ? hit.m_strDescription : nColumn == 1 ? hit.m_strUrl : hit.m_strEngine;
    };
    auto count = [&](int nRow) {
        return static_cast<size_t>(nRow) < foundBy.size() ? foundBy[static_cast<size_t>(nRow)].size() : size_t(1);
    };
    std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
        if (nColumn == kFoundByColumn)
            return order.m_bAscending ? count(a) < count(b) : count(a) > count(b);
        const int nCompare = CompareNatural(key(a), key(b));
        return order.m_bAscending ? nCompare < 0 : nCompare > 0;
    });
    return shown;
}
