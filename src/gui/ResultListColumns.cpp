// SPDX-License-Identifier: MIT
// The result list's columns: their headings and renderers, the widths they
// grow to by themselves and those the user gave them, and the tooltips of
// their cells.
#include "gui/ResultListCtrl.h"

#include "gui/ResultRowsModel.h"
#include "gui/WxText.h"
#include "results/RankOrder.h"

#include <algorithm>
#include <gtk/gtk.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/utils.h>

void CResultListCtrl::SetColumnCount(unsigned nCount)
{
    m_nColumnCount = nCount;
    m_pColumnFields.assign(nCount, nullptr);
}

void CResultListCtrl::BindColumn(unsigned nIndex, const wxString& strHeading, std::string* pField)
{
    if (nIndex >= m_nColumnCount)
        return;
    auto* pRenderer = new wxDataViewTextRenderer("string", wxDATAVIEW_CELL_INERT);
    pRenderer->EnableMarkup(true);
    pRenderer->EnableEllipsize(wxELLIPSIZE_END); // a cut text ends with "..."; the tooltip has it whole
    auto* pColumn = new wxDataViewColumn(strHeading, pRenderer, nIndex,
                                         MeasureText(strHeading) + 16, wxALIGN_LEFT,
                                         wxDATAVIEW_COL_RESIZABLE);
    AppendColumn(pColumn);
    m_pColumnFields[nIndex] = pField;
    m_userWidths.resize(m_nColumnCount, 0);
    m_columnWidths.resize(GetColumnCount(), 0);
    m_columnWidths[GetColumnCount() - 1] = MeasureText(strHeading) + 16;
}

int CResultListCtrl::GetKeptColumnWidth(unsigned nColumn) const
{
    return nColumn < m_columnWidths.size() ? m_columnWidths[nColumn] : 0;
}

int CResultListCtrl::MeasureText(const wxString& strText) const
{
    wxClientDC dc(const_cast<CResultListCtrl*>(this));
    dc.SetFont(GetFont());
    return dc.GetTextExtent(strText).GetWidth() + dc.GetTextExtent("M").GetWidth();
}

void CResultListCtrl::MeasureRows(int nFrom, int nTo)
{
    // Only the first rows are measured: enough to size the columns, and a flood
    // of rows costs nothing here.
    nTo = std::min(nTo, kMeasuredRows);
    if (nFrom >= nTo)
        return;
    if (nFrom == 0)
        NoteUserColumnWidths(); // a new search: what the user did to the last one's columns stays
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    const int nExtra = dc.GetTextExtent("M").GetWidth();
    // A column widens by itself up to a share of the view; the user may widen it further.
    const int nMaxAuto = std::max(GetClientSize().GetWidth() * kMaxAutoWidthPercent / 100, 200);
    const unsigned nColumns = std::min<unsigned>(GetColumnCount(), m_nColumnCount);
    std::vector<int> widths(m_columnWidths.begin(), m_columnWidths.begin() + std::min<size_t>(nColumns, m_columnWidths.size()));
    for (int nRow = nFrom; nRow < nTo; ++nRow) {
        CSearchHit hit;
        if (!m_rows.GetRow(nRow, hit))
            break;
        for (unsigned i = 0; i < widths.size(); ++i) {
            const std::string& strCell = i == 0 ? hit.m_strDescription : i == 1 ? hit.m_strUrl : hit.m_strEngine;
            const int nWidth = std::min(dc.GetTextExtent(ToWx(strCell.substr(0, 255))).GetWidth() + nExtra, nMaxAuto);
            widths[i] = std::max(widths[i], nWidth);
        }
    }
    // The widths are kept here: the native column reports its width only after layout.
    for (unsigned i = 0; i < widths.size(); ++i) {
        if (m_columnWidths[i] < widths[i] && !IsUserSized(i)) {
            m_columnWidths[i] = widths[i] & 0xFFFF;
            GetColumn(i)->SetWidth(m_columnWidths[i]);
        }
    }
    FitColumnsToWidth();
}

bool CResultListCtrl::IsUserSized(unsigned nColumn) const
{
    return nColumn < m_userWidths.size() && m_userWidths[nColumn] > 0;
}

void CResultListCtrl::FitColumnsToWidth()
{
    // Every column shows in the list's width: the URL column gives way, and
    // Description takes what is left. A column the user sized keeps its
    // width (then the list may scroll sideways). Room is kept for the
    // vertical scroll bar, which comes and goes with the rows.
    const unsigned nColumns = std::min<unsigned>(GetColumnCount(), static_cast<unsigned>(m_columnWidths.size()));
    const int nAvailable = GetClientSize().GetWidth() - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    if (nColumns < 2 || nAvailable < 200)
        return;
    NoteUserColumnWidths();
    auto widthOf = [this](unsigned i) { return m_columnWidths[i] > 0 ? m_columnWidths[i] : GetColumn(i)->GetWidth(); };
    int nOthers = 0; // the columns after the URL
    for (unsigned i = 2; i < nColumns; ++i)
        nOthers += widthOf(i);
    // Of the room the Engine and Found By columns leave, the URL column takes at
    // most two fifths.
    const int nRoom = nAvailable - nOthers;
    int nUrl = widthOf(1);
    if (!IsUserSized(1))
        nUrl = std::max(std::min(kMinFittedWidth, nRoom / 3), std::min(nUrl, nRoom * 2 / 5));
    const int nDescription = IsUserSized(0) ? widthOf(0) : std::max(kMinFittedWidth, nRoom - nUrl);
    for (const auto& [nColumn, nWidth] : {std::pair<unsigned, int>{0, nDescription}, {1, nUrl}}) {
        if (m_columnWidths[nColumn] != nWidth) {
            m_columnWidths[nColumn] = nWidth;
            GetColumn(nColumn)->SetWidth(nWidth);
        }
    }
}

void CResultListCtrl::AppendFoundByColumn(const wxString& strHeading)
{
    auto* pColumn = new wxDataViewColumn(strHeading, new wxDataViewTextRenderer("string", wxDATAVIEW_CELL_INERT),
                                         kFoundByColumn, MeasureText(strHeading) + 16, wxALIGN_RIGHT,
                                         wxDATAVIEW_COL_RESIZABLE);
    AppendColumn(pColumn);
    m_nFoundByColumn = static_cast<int>(GetColumnCount()) - 1;
    m_columnWidths.resize(GetColumnCount(), 0);
    // Kept here: the last column's own width is all the room left of the list.
    m_columnWidths.back() = MeasureText(strHeading) + 16;
}

void CResultListCtrl::OnMouseMove(wxMouseEvent& event)
{
    event.Skip();
    // The Found By cell's tooltip names the engines and their positions; a cell
    // cut by its column shows its whole text.
    wxDataViewItem item;
    wxDataViewColumn* pColumn = nullptr;
    // The event's place is the rows' window's (below the header); HitTest takes the control's.
    HitTest(ScreenToClient(wxGetMousePosition()), item, pColumn);
    wxString strTip;
    if (item.IsOk() && pColumn) {
        const int nRow = StoreRowOf(static_cast<int>(m_pModel->GetRow(item)));
        const unsigned nColumn = pColumn->GetModelColumn();
        if (static_cast<int>(nColumn) == kFoundByColumn)
            strTip = ToWx(DescribeFoundBy(GetFoundBy(nRow)));
        else
            strTip = CutCellText(nRow, nColumn, pColumn->GetWidth());
    }
    if (GetMainWindow()->GetToolTipText() != strTip)
        GetMainWindow()->SetToolTip(strTip);
}

wxString CResultListCtrl::CutCellText(int nRow, unsigned nColumn, int nColumnWidth) const
{
    if (nColumn >= m_nColumnCount)
        return wxString();
    const wxString strText = ToWx(m_rows.GetCell(nRow, static_cast<int>(nColumn)));
    // The cell's padding: about one "M" as the columns are measured.
    return MeasureText(strText) > nColumnWidth ? strText : wxString();
}

void CResultListCtrl::NoteUserColumnWidths()
{
    // A column keeps the width this control gave it until the user drags its
    // edge: the toolkit then takes the dragged width as the column's own.
    for (unsigned i = 0; i < m_nColumnCount && i < GetColumnCount() && i < m_userWidths.size(); ++i) {
        const int nOwn = gtk_tree_view_column_get_fixed_width(GTK_TREE_VIEW_COLUMN(GetColumn(i)->GetGtkHandle()));
        if (nOwn > 0 && nOwn != m_columnWidths[i]) {
            m_userWidths[i] = nOwn;
            m_columnWidths[i] = nOwn;
        }
    }
}

std::vector<int> CResultListCtrl::GetUserColumnWidths()
{
    NoteUserColumnWidths();
    return m_userWidths;
}

void CResultListCtrl::SetUserColumnWidths(const std::vector<int>& widths)
{
    for (unsigned i = 0; i < widths.size() && i < m_userWidths.size() && i < GetColumnCount(); ++i) {
        if (widths[i] <= 0)
            continue;
        m_userWidths[i] = widths[i];
        m_columnWidths[i] = widths[i];
        GetColumn(i)->SetWidth(widths[i]);
    }
}
