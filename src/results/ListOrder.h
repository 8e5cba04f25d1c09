// SPDX-License-Identifier: MIT
#pragma once

// The order in which a list shows the rows: the search's order (engine after
// engine, or ranked across engines) and, over it, a column the user sorted by.
// Only the showing changes: the rows, and what documents store, keep the
// engines' order.

#include "results/ResultRows.h"

#include <vector>

// The columns a list may be sorted by: the rows' three and how many engines found the hit.
inline constexpr int kFoundByColumn = CResultRows::kColumnCount;

struct CListOrder
{
    bool m_bRank = false;   // the search's order is by rank
    int m_nSortColumn = -1; // -1: the search's order
    bool m_bAscending = true;

    bool IsIdentity() const { return !m_bRank && m_nSortColumn < 0; }
    // A click on a column's header: sorted by it (a text from A, Found By from
    // the most engines), then reversed, then the search's order again.
    void ClickColumn(int nColumn);
    bool operator==(const CListOrder&) const = default;
};

// The rows' indexes in the order shown. Text columns sort ignoring case and
// numbers in them by value ("Result 2" before "Result 10"), the
// Found By column by the number of engines; equal keys keep the search's order.
// The hits are read only to sort by a text column (they may be empty otherwise);
// the engines that found each row, for the rank and the Found By column.
std::vector<int> ShownOrder(const std::vector<CSearchHit>& hits, const std::vector<std::vector<CFoundBy>>& foundBy,
                            const CListOrder& order);
