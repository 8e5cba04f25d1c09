// SPDX-License-Identifier: MIT
#include "gui/ResultRowsModel.h"

#include "gui/ResultListCtrl.h"
#include "gui/ThemeColours.h"
#include "gui/WxText.h"
#include "platform/TextUtil.h"
#include "results/ListOrder.h"

namespace {

// "#rrggbb" for markup.
wxString MarkupColour(const wxColour& colour)
{
    return colour.GetAsString(wxC2S_HTML_SYNTAX);
}

} // namespace

CResultRowsModel::CResultRowsModel(const CResultListCtrl& list, CResultRows& rows, const CHighlightWords& words)
    : wxDataViewVirtualListModel(0), m_list(list), m_rows(rows), m_words(words)
{
    UpdateColours();
}

void CResultRowsModel::UpdateColours()
{
    const CHighlightColours colours = GetHighlightColours();
    m_strWordOpen = "<span foreground=\"" + MarkupColour(colours.m_text) + "\" background=\"" +
                    MarkupColour(colours.m_box) + "\">";
}

void CResultRowsModel::GetValueByRow(wxVariant& variant, unsigned nShown, unsigned nColumn) const
{
    const int nRow = m_list.StoreRowOf(static_cast<int>(nShown));
    if (nColumn == kFoundByColumn)
        variant = wxString::Format("%zu", m_list.GetFoundBy(nRow).size());
    else
        variant = CellMarkup(m_rows.GetCell(nRow, static_cast<int>(nColumn)));
}

wxString CResultRowsModel::CellMarkup(const std::string& strCell) const
{
    wxString strMarkup;
    for (const std::string_view word : SplitWords(strCell)) {
        if (!strMarkup.empty())
            strMarkup += ' ';
        for (const auto& [piece, bQueryWord] : m_words.SplitAtSpans(word)) {
            const wxString strPiece = ToWx(EscapeMarkup(piece));
            strMarkup += bQueryWord ? m_strWordOpen + strPiece + "</span>" : strPiece;
        }
    }
    return strMarkup;
}
