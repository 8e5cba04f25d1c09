// SPDX-License-Identifier: MIT
#pragma once

// The printed result list's layout, apart from any drawing: each cell's text
// wrapped into lines of a column's width (the query's words in bold, as the
// list boxes them), and the rows shared out over pages. A row never straddles
// two pages; a cell longer than a page's worth of lines is cut with "...".

#include "results/HighlightWords.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct CPrintRun
{
    std::string m_strText;
    bool m_bBold = false;
    int m_nX = 0; // from the cell's left edge
    int m_nWidth = 0; // as measured for the layout
    bool operator==(const CPrintRun& other) const
    {
        return m_strText == other.m_strText && m_bBold == other.m_bBold && m_nX == other.m_nX;
    }
};
using CPrintLine = std::vector<CPrintRun>;

// The width of a text as printed, normal or bold.
using PrintMeasure = std::function<int(std::string_view text, bool bBold)>;

// The cell's lines: words are kept whole where they fit the width, a longer
// word (an address) is cut after a '/', '?', '&', '-' or '.' near where the
// width ends, else where it ends, between characters. At most
// nMaxLines lines; the last ends with "..." when text is left over.
std::vector<CPrintLine> WrapPrintCell(std::string_view text, const CHighlightWords& words, int nWidth,
                                      int nMaxLines, const PrintMeasure& measure);

// The rows of each page (first, one past the last) for rows of these heights
// on pages of this height; a row higher than a page has a page of its own.
std::vector<std::pair<size_t, size_t>> PaginatePrintRows(const std::vector<int>& rowHeights, int nPageHeight);
