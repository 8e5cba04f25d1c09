// SPDX-License-Identifier: MIT
#include "gui/ResultListCtrl.h"

#include "gui/ResultRowsModel.h"
#include "gui/Accessibility.h"
#include "gui/MessageBox.h"
#include "gui/WxText.h"
#include "results/HitExport.h"
#include "results/RankOrder.h"

#include <algorithm>
#include <gtk/gtk.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/utils.h>

// ---------------------------------------------------------------------------

CResultListCtrl::CResultListCtrl(wxWindow* pParent, wxWindowID nId, CResultRows& rows)
    : wxDataViewCtrl(pParent, nId, wxDefaultPosition, wxDefaultSize,
                     wxDV_MULTIPLE | wxDV_ROW_LINES | wxBORDER_SUNKEN),
      m_rows(rows), m_pModel(new CResultRowsModel(*this, rows, m_highlight))
{
    AssociateModel(m_pModel);
    m_pModel->DecRef(); // the control holds the reference
    SetAccessibleName(this, TrWx("Search results"));
    ShowFocusedRow(*this);
    Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& event) {
        event.Skip();
        m_pModel->UpdateColours(); // the desktop's theme changed
        Refresh();
    });
    Bind(wxEVT_CHAR_HOOK, &CResultListCtrl::OnKey, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        CallAfter([this] { FitColumnsToWidth(); });
    });
    Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU, &CResultListCtrl::OnContextMenu, this);
    Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED, [this](wxDataViewEvent& event) {
        if (event.GetItem().IsOk() && m_open)
            m_open(StoreRowOf(static_cast<int>(m_pModel->GetRow(event.GetItem()))));
    });
    Bind(wxEVT_DATAVIEW_COLUMN_HEADER_CLICK, &CResultListCtrl::OnHeaderClick, this);
    GetMainWindow()->Bind(wxEVT_MOTION, &CResultListCtrl::OnMouseMove, this);
    if (GetMainWindow() != this)
        Bind(wxEVT_MOTION, &CResultListCtrl::OnMouseMove, this);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) {
        const int nRow = GetFirstSelectedRow();
        if (nRow >= 0 && m_open)
            m_open(nRow);
    }, ID_RESULT_OPEN);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { CopySelection(1); }, ID_RESULT_COPY_LINK);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { CopySelection(0); }, ID_RESULT_COPY_DESCRIPTION);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { CopySelection(-1); }, ID_RESULT_COPY_ROW);
}

CResultListCtrl::~CResultListCtrl() = default;

void CResultListCtrl::ReadRowIntoFields(int nRow)
{
    for (unsigned i = 0; i < m_nColumnCount; ++i)
        if (m_pColumnFields[i])
            *m_pColumnFields[i] = m_rows.GetCell(nRow, static_cast<int>(i));
}

void CResultListCtrl::SetHighlightWords(const std::string& strQuery)
{
    m_highlight.SetText(strQuery);
    Refresh();
}

std::vector<int> CResultListCtrl::GetSelectedRows() const
{
    wxDataViewItemArray items;
    GetSelections(items);
    std::vector<int> shown;
    shown.reserve(items.size());
    for (const wxDataViewItem& item : items)
        if (item.IsOk())
            shown.push_back(static_cast<int>(m_pModel->GetRow(item)));
    std::sort(shown.begin(), shown.end()); // in the order the user sees
    std::vector<int> rows;
    rows.reserve(shown.size());
    for (const int nShown : shown)
        rows.push_back(StoreRowOf(nShown));
    return rows;
}

int CResultListCtrl::StoreRowOf(int nShown) const
{
    if (m_order.IsIdentity() || m_shown.empty())
        return nShown;
    return nShown >= 0 && static_cast<size_t>(nShown) < m_shown.size() ? m_shown[static_cast<size_t>(nShown)] : -1;
}

int CResultListCtrl::ShownRowOf(int nRow) const
{
    if (m_order.IsIdentity() || m_shown.empty())
        return nRow;
    return nRow >= 0 && static_cast<size_t>(nRow) < m_shownOf.size() ? m_shownOf[static_cast<size_t>(nRow)] : -1;
}

std::vector<CFoundBy> CResultListCtrl::GetFoundBy(int nRow) const
{
    if (nRow >= 0 && static_cast<size_t>(nRow) < m_foundBy.size())
        return m_foundBy[static_cast<size_t>(nRow)];
    return m_rows.GetFoundBy(nRow);
}

std::vector<CSearchHit> CResultListCtrl::GetShownHits(std::vector<std::vector<CFoundBy>>* pFoundBy) const
{
    std::vector<CSearchHit> hits = m_rows.GetRows();
    std::vector<std::vector<CFoundBy>> foundBy = pFoundBy ? m_rows.GetFoundBy() : std::vector<std::vector<CFoundBy>>();
    if (!m_order.IsIdentity() && m_shown.size() == hits.size()) {
        std::vector<CSearchHit> shown;
        std::vector<std::vector<CFoundBy>> shownFoundBy;
        shown.reserve(hits.size());
        for (const int nRow : m_shown) {
            shown.push_back(std::move(hits[static_cast<size_t>(nRow)]));
            if (pFoundBy && static_cast<size_t>(nRow) < foundBy.size())
                shownFoundBy.push_back(std::move(foundBy[static_cast<size_t>(nRow)]));
        }
        hits.swap(shown);
        foundBy.swap(shownFoundBy);
    }
    if (pFoundBy)
        *pFoundBy = std::move(foundBy);
    return hits;
}

void CResultListCtrl::SetRankOrder(bool bRank)
{
    if (m_order.m_bRank == bRank)
        return;
    const std::vector<int> selected = GetSelectedRows(); // by the order shown until now
    m_order.m_bRank = bRank;
    SyncReordered(&selected);
}

void CResultListCtrl::ClickColumnHeader(int nColumn)
{
    const std::vector<int> selected = GetSelectedRows();
    m_order.ClickColumn(nColumn);
    SyncReordered(&selected);
    ShowSortIndicator(); // after the model's reset, which clears it
}

void CResultListCtrl::OnHeaderClick(wxDataViewEvent& event)
{
    if (const wxDataViewColumn* pColumn = event.GetDataViewColumn())
        ClickColumnHeader(static_cast<int>(pColumn->GetModelColumn()));
}

void CResultListCtrl::ShowSortIndicator()
{
    for (unsigned i = 0; i < GetColumnCount(); ++i) {
        wxDataViewColumn* pColumn = GetColumn(i);
        if (static_cast<int>(pColumn->GetModelColumn()) == m_order.m_nSortColumn)
            pColumn->SetSortOrder(m_order.m_bAscending);
        else if (pColumn->IsSortKey())
            pColumn->UnsetAsSortKey();
    }
}

std::vector<CSearchHit> CResultListCtrl::GetSelectedHits() const
{
    std::vector<CSearchHit> hits;
    for (const int nRow : GetSelectedRows()) {
        CSearchHit hit;
        if (m_rows.GetRow(nRow, hit))
            hits.push_back(std::move(hit));
    }
    return hits;
}

int CResultListCtrl::GetFirstSelectedRow() const
{
    const std::vector<int> rows = GetSelectedRows();
    return rows.empty() ? -1 : rows.front();
}

void CResultListCtrl::SelectRow(int nRow)
{
    const int nShown = ShownRowOf(nRow);
    if (nShown < 0 || nShown >= m_nShown)
        return;
    const wxDataViewItem item = m_pModel->GetItem(static_cast<unsigned>(nShown));
    UnselectAll();
    Select(item);
    SetCurrentItem(item);
}

void CResultListCtrl::OnKey(wxKeyEvent& event)
{
    const int nKey = event.GetKeyCode();
    if (nKey == WXK_MENU || nKey == WXK_WINDOWS_MENU || (nKey == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT)) {
        ShowContextMenu();
        return;
    }
    if ((nKey == 'C' || nKey == WXK_INSERT) && event.GetModifiers() == wxMOD_CONTROL) {
        CopySelection(-1);
        return;
    }
    event.Skip();
}

void CResultListCtrl::OnContextMenu(wxDataViewEvent& event)
{
    // A right click on a row that is not selected selects it alone first.
    if (event.GetItem().IsOk() && !IsSelected(event.GetItem()))
        SelectRow(StoreRowOf(static_cast<int>(m_pModel->GetRow(event.GetItem()))));
    ShowContextMenu();
}

void CResultListCtrl::ShowContextMenu()
{
    const bool bSelected = HasSelection();
    wxMenu menu;
    menu.Append(ID_RESULT_OPEN, TrWx("&Open"));
    menu.AppendSeparator();
    menu.Append(ID_RESULT_COPY_LINK, TrWx("Copy &Link"));
    menu.Append(ID_RESULT_COPY_DESCRIPTION, TrWx("Copy &Description"));
    menu.Append(ID_RESULT_COPY_ROW, TrWx("&Copy Row") + "\tCtrl+C");
    for (const int nId : {ID_RESULT_OPEN, ID_RESULT_COPY_LINK, ID_RESULT_COPY_DESCRIPTION, ID_RESULT_COPY_ROW})
        menu.Enable(nId, bSelected);
    ShowPopupMenu(this, menu);
}

void CResultListCtrl::CopySelection(int nColumn)
{
    const std::vector<CSearchHit> hits = GetSelectedHits();
    if (hits.empty())
        return;
    std::string strText;
    if (nColumn < 0) {
        strText = FormatHitsLines(hits);
    } else {
        for (const CSearchHit& hit : hits)
            strText += OneLineField(nColumn == 0 ? hit.m_strDescription : hit.m_strUrl) + '\n';
    }
    // A single cell goes without its line break, ready to paste into a field.
    if (hits.size() == 1 && nColumn >= 0)
        strText.pop_back();
    CopyToClipboard(wxString::FromUTF8(strText));
}

void CResultListCtrl::RequestSync()
{
    if (!m_bSyncPending.exchange(true))
        CallAfter([this] { SyncRows(); });
}

void CResultListCtrl::SyncRows()
{
    m_bSyncPending = false;
    if (!m_order.IsIdentity()) {
        SyncReordered();
        return;
    }
    uint64_t nStructure = 0;
    std::vector<int> deleted;
    int nCount = m_rows.GetChangesSince(m_nSyncedStructure, &nStructure, &deleted);
    if (nCount >= 0) {
        // Rows deleted one by one (link verification) go one by one, so the
        // selection stays on its hit and the view does not jump; nothing is
        // measured again.
        for (const int nRow : deleted) {
            if (nRow < m_nShown) {
                m_pModel->RowDeleted(static_cast<unsigned>(nRow));
                --m_nShown;
            }
        }
        // Rows appended since the last look keep the scroll position and selection.
        const int nFirstNew = m_nShown;
        for (int i = m_nShown; i < nCount; ++i)
            m_pModel->RowAppended();
        m_nShown = std::max(nCount, m_nShown);
        MeasureRows(nFirstNew, nCount);
        // Another engine may have listed a shown hit: its Found By cell changes.
        GetMainWindow()->Refresh();
    } else {
        nCount = -1 - nCount;
        m_pModel->Reset(static_cast<unsigned>(nCount));
        m_nShown = nCount;
        MeasureRows(0, nCount);
    }
    m_nSyncedStructure = nStructure;
}

namespace {

// The places, in the order shown before, of rows deleted one by one (each index
// as it was at its deletion), when those deletions alone turn the order shown
// before into the order now; false when they do not.
bool PlacesOfDeletions(std::vector<int> shown, const std::vector<int>& deleted, const std::vector<int>& now,
                       std::vector<int>& places)
{
    for (const int nDeleted : deleted) {
        const auto it = std::find(shown.begin(), shown.end(), nDeleted);
        if (it == shown.end())
            return false;
        places.push_back(static_cast<int>(it - shown.begin()));
        shown.erase(it);
        for (int& nRow : shown)
            nRow -= nRow > nDeleted ? 1 : 0;
    }
    return !deleted.empty() && shown == now;
}

} // namespace

void CResultListCtrl::ShowStoreOrder(const std::vector<int>& selected, int nCount)
{
    m_shown.clear();
    m_shownOf.clear();
    m_foundBy.clear();
    m_pModel->Reset(static_cast<unsigned>(nCount));
    m_nShown = nCount;
    for (const int nRow : selected)
        Select(m_pModel->GetItem(static_cast<unsigned>(nRow)));
}

void CResultListCtrl::ShowAgain(const std::vector<int>& selected, int nCount)
{
    // The list starts again from its top after a reset: the row at the top is
    // brought back there, so the view does not jump.
    const int nTop = GetTopShownRow();
    m_pModel->Reset(static_cast<unsigned>(nCount));
    m_nShown = nCount;
    if (nTop > 0 && nCount > 0)
        ScrollToTop(std::min(nTop, nCount - 1));
    for (const int nRow : selected) {
        const int nShown = ShownRowOf(nRow);
        if (nShown >= 0)
            Select(m_pModel->GetItem(static_cast<unsigned>(nShown)));
    }
}

void CResultListCtrl::SyncReordered(const std::vector<int>* pSelected)
{
    m_bSyncPending = false;
    uint64_t nStructure = 0;
    std::vector<int> deleted;
    const int nChanges = m_rows.GetChangesSince(m_nSyncedStructure, &nStructure, &deleted);
    const int nCount = nChanges >= 0 ? nChanges : -1 - nChanges;
    const uint64_t nVersion = m_rows.GetVersion();
    const bool bOrderChanged = !(m_order == m_shownFor);
    if (!bOrderChanged && nVersion == m_nSyncedVersion && m_nShown == nCount &&
        static_cast<int>(m_shown.size()) == nCount)
        return;
    const std::vector<int> selected = pSelected ? *pSelected : GetSelectedRows();
    m_nSyncedVersion = nVersion;
    m_nSyncedStructure = nStructure;
    m_shownFor = m_order;
    if (m_order.IsIdentity()) {
        ShowStoreOrder(selected, nCount); // the list shows the store as it is
        return;
    }
    // The order is worked out from the rows as they are now (a row may move when
    // another engine also lists it); the selection stays on its hits.
    const std::vector<int> previous = bOrderChanged ? std::vector<int>() : m_shown;
    m_foundBy = m_rows.GetFoundBy();
    const bool bTexts = m_order.m_nSortColumn >= 0 && m_order.m_nSortColumn < kFoundByColumn;
    m_shown = ShownOrder(bTexts ? m_rows.GetRows() : std::vector<CSearchHit>(), m_foundBy, m_order);
    m_shownOf.assign(m_shown.size(), -1);
    for (size_t i = 0; i < m_shown.size(); ++i)
        m_shownOf[static_cast<size_t>(m_shown[i])] = static_cast<int>(i);
    const int nFirstNew = m_nShown;
    std::vector<int> places;
    if (nChanges >= 0 && PlacesOfDeletions(previous, deleted, m_shown, places)) {
        // Rows deleted one by one (link verification) go one by one.
        for (const int nPlace : places)
            m_pModel->RowDeleted(static_cast<unsigned>(nPlace));
        m_nShown = nCount;
    } else if (!bOrderChanged && nChanges >= 0 && deleted.empty() && m_shown.size() >= previous.size() &&
               std::equal(previous.begin(), previous.end(), m_shown.begin())) {
        // Only rows added after the ones shown, in place: no reset.
        for (int i = m_nShown; i < nCount; ++i)
            m_pModel->RowAppended();
        m_nShown = nCount;
        Refresh();
    } else {
        // After deletions the rows' numbers moved: nothing is selected again.
        ShowAgain(nChanges >= 0 && !deleted.empty() ? std::vector<int>() : selected, nCount);
    }
    MeasureRows(std::min(nFirstNew, nCount), nCount);
}

void CResultListCtrl::ScrollToTop(int nShown)
{
    // The toolkit's own scroll puts the row at the top; the portable one only
    // makes it visible, wherever that lands.
    GtkTreePath* pPath = gtk_tree_path_new_from_indices(nShown, -1);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(GtkGetTreeView()), pPath, nullptr, TRUE, 0.0f, 0.0f);
    gtk_tree_path_free(pPath);
}

int CResultListCtrl::GetTopShownRow() const
{
    // The row under the top of the rows' area, a few pixels in: the one above it
    // may show a line of its border there.
    GtkTreeView* pTree = GTK_TREE_VIEW(const_cast<CResultListCtrl*>(this)->GtkGetTreeView());
    GtkTreePath* pPath = nullptr;
    if (!gtk_tree_view_get_path_at_pos(pTree, 1, 3, &pPath, nullptr, nullptr, nullptr) || !pPath)
        return 0;
    const int nRow = gtk_tree_path_get_depth(pPath) > 0 ? gtk_tree_path_get_indices(pPath)[0] : 0;
    gtk_tree_path_free(pPath);
    return nRow;
}
