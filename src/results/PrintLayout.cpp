// SPDX-License-Identifier: MIT
#include "results/PrintLayout.h"

#include "platform/TextUtil.h"

namespace {

// A word cut into runs of normal and bold text at the query's words.
std::vector<CPrintRun> WordRuns(std::string_view word, const CHighlightWords& words)
{
    std::vector<CPrintRun> runs;
    for (const auto& [piece, bQueryWord] : words.SplitAtSpans(word))
        runs.push_back({std::string(piece), bQueryWord});
    return runs;
}

// The length of the longest start of the text (whole characters, at least one)
// that fits the width; widths grow with the length, so halving finds it.
size_t FittingPrefix(std::string_view text, bool bBold, int nWidth, const PrintMeasure& measure)
{
    std::vector<size_t> ends; // where each character ends
    for (size_t i = 0; i < text.size();) {
        i += std::max<size_t>(1, Utf8SequenceLength(text, i));
        ends.push_back(std::min(i, text.size()));
    }
    if (ends.empty())
        return 0;
    size_t nLow = 0, nHigh = ends.size() - 1; // ends[nLow] is kept whatever its width
    while (nLow < nHigh) {
        const size_t nMid = (nLow + nHigh + 1) / 2;
        if (measure(text.substr(0, ends[nMid]), bBold) <= nWidth)
            nLow = nMid;
        else
            nHigh = nMid - 1;
    }
    return ends[nLow];
}

class CCellWrapper
{
public:
    // nMaxLines > 0: the wrapping stops one line past it (enough to know the
    // cell goes on), however long the text.
    CCellWrapper(int nWidth, int nMaxLines, const PrintMeasure& measure)
        : m_nWidth(nWidth), m_nStopAt(nMaxLines > 0 ? static_cast<size_t>(nMaxLines) + 1 : 0), m_measure(measure)
    {
        m_nSpace = measure(" ", false);
    }

    bool IsFull() const { return m_nStopAt > 0 && m_lines.size() >= m_nStopAt && !m_lines.back().empty(); }

    void AddWord(std::vector<CPrintRun> runs)
    {
        if (IsFull())
            return;
        int nWordWidth = 0;
        for (const CPrintRun& run : runs)
            nWordWidth += m_measure(run.m_strText, run.m_bBold);
        const int nGap = m_lines.empty() || m_lines.back().empty() ? 0 : m_nSpace;
        if (m_lines.empty() || m_nX + nGap + nWordWidth > m_nWidth) {
            if (m_lines.empty() || !m_lines.back().empty())
                NewLine();
        } else {
            m_nX += nGap;
        }
        // The word, cut where the line ends when it is wider than a line.
        for (CPrintRun& run : runs) {
            std::string_view rest = run.m_strText;
            while (!rest.empty()) {
                const int nLeft = m_nWidth - m_nX;
                size_t nFit = FittingPrefix(rest, run.m_bBold, nLeft, m_measure);
                // An address is cut after a '/', '?', '&', '-' or '.' where one
                // falls in the last two thirds of what fits, not inside a word.
                if (nFit < rest.size()) {
                    const size_t nBreak = rest.substr(0, nFit).find_last_of("/?&-.");
                    if (nBreak != std::string_view::npos && nBreak + 1 >= (nFit + 2) / 3)
                        nFit = nBreak + 1;
                }
                if (m_measure(rest.substr(0, nFit), run.m_bBold) > nLeft && m_nX > 0) {
                    NewLine();
                    continue;
                }
                const std::string strPart(rest.substr(0, nFit));
                const int nPartWidth = m_measure(strPart, run.m_bBold);
                m_lines.back().push_back({strPart, run.m_bBold, m_nX, nPartWidth});
                m_nX += nPartWidth;
                rest.remove_prefix(nFit);
                if (IsFull())
                    return;
                if (!rest.empty())
                    NewLine();
            }
        }
    }

    std::vector<CPrintLine> Take() { return std::move(m_lines); }

private:
    void NewLine()
    {
        m_lines.emplace_back();
        m_nX = 0;
    }

    int m_nWidth;
    size_t m_nStopAt;
    const PrintMeasure& m_measure;
    int m_nSpace = 0;
    int m_nX = 0;
    std::vector<CPrintLine> m_lines;
};

} // namespace

std::vector<CPrintLine> WrapPrintCell(std::string_view text, const CHighlightWords& words, int nWidth,
                                      int nMaxLines, const PrintMeasure& measure)
{
    // No character is narrower than a unit: a cell of so many lines never
    // shows more than this many bytes of its text (what is past it is not measured).
    if (nMaxLines > 0) {
        const size_t nShown = (static_cast<size_t>(nMaxLines) + 1) * static_cast<size_t>(std::max(nWidth, 1)) * 4;
        if (text.size() > nShown)
            text = text.substr(0, Utf8SafeCutLength(text, nShown));
    }
    CCellWrapper wrapper(std::max(nWidth, 1), nMaxLines, measure);
    for (const std::string_view word : SplitWords(text)) {
        if (wrapper.IsFull())
            break;
        wrapper.AddWord(WordRuns(word, words));
    }
    std::vector<CPrintLine> lines = wrapper.Take();
    if (nMaxLines > 0 && lines.size() > static_cast<size_t>(nMaxLines)) {
        lines.resize(static_cast<size_t>(nMaxLines));
        // The last line kept ends with "...", in place of what does not fit beside it.
        CPrintLine& last = lines.back();
        const int nEllipsis = measure("...", false);
        while (!last.empty()) {
            CPrintRun& run = last.back();
            if (run.m_nX + measure(run.m_strText, run.m_bBold) + nEllipsis <= nWidth)
                break;
            const int nRoom = nWidth - nEllipsis - run.m_nX;
            const size_t nKeep = nRoom > 0 ? FittingPrefix(run.m_strText, run.m_bBold, nRoom, measure) : 0;
            if (nKeep == 0 || measure(std::string_view(run.m_strText).substr(0, nKeep), run.m_bBold) > nRoom) {
                last.pop_back();
            } else {
                run.m_strText.resize(nKeep);
                run.m_nWidth = measure(run.m_strText, run.m_bBold);
            }
        }
        const int nX = last.empty() ? 0 : last.back().m_nX + measure(last.back().m_strText, last.back().m_bBold);
        last.push_back({"...", false, nX, nEllipsis});
    }
    return lines;
}

std::vector<std::pair<size_t, size_t>> PaginatePrintRows(const std::vector<int>& rowHeights, int nPageHeight)
{
    std::vector<std::pair<size_t, size_t>> pages;
    size_t nFirst = 0;
    int nUsed = 0;
    for (size_t i = 0; i < rowHeights.size(); ++i) {
        if (i > nFirst && nUsed + rowHeights[i] > nPageHeight) {
            pages.push_back({nFirst, i});
            nFirst = i;
            nUsed = 0;
        }
        nUsed += rowHeights[i];
    }
    pages.push_back({nFirst, rowHeights.size()}); // an empty list still has its page
    return pages;
}
