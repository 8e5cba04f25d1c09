// SPDX-License-Identifier: MIT
#pragma once

// The result list: a virtual view of the result rows store, three columns
// ("Description", "URL", "Engine") whose cells box the query's words, and
// "Found By" (how many engines listed the hit; its tooltip names them with
// their positions). Rows are never copied into widgets, so 20 000 rows stay
// smooth. The rows are shown in the search's order (engine after engine, or by
// rank) or sorted by a column whose header was clicked (see CListOrder); a
// "row" in this interface is always the store's.
//
// The store may change on the search worker; the control learns of it through
// RequestSync (any thread), which posts one coalesced update to the UI thread.
//
// Several rows can be selected. A right click, the Menu key or Shift+F10 opens
// the hit's menu (Open, Copy Link, Copy Description, Copy Row); Ctrl+C copies
// the selected rows as lines of description TAB URL TAB engine.

#include "results/HighlightWords.h"
#include "results/ListOrder.h"
#include "results/ResultRows.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>
#include <wx/dataview.h>

class CResultRowsModel;

class CResultListCtrl : public wxDataViewCtrl
{
public:
    CResultListCtrl(wxWindow* pParent, wxWindowID nId, CResultRows& rows);
    ~CResultListCtrl() override;

    // Column binding to the view's row-text fields.
    void SetColumnCount(unsigned nCount);
    void BindColumn(unsigned nIndex, const wxString& strHeading, std::string* pField);
    void ReadRowIntoFields(int nRow);
    static constexpr int kMeasuredRows = 500;
    static constexpr int kMaxAutoWidthPercent = 60;
    int MeasureText(const wxString& strText) const;
    int GetKeptColumnWidth(unsigned nColumn) const;
    // The widths the user gave the bound columns by dragging their edges (0:
    // never dragged, the column grows by itself), kept from one search to the
    // next and in the profile. A column the user sized no longer grows.
    std::vector<int> GetUserColumnWidths();
    void SetUserColumnWidths(const std::vector<int>& widths);

    // The column "Found By", after the bound ones.
    void AppendFoundByColumn(const wxString& strHeading);

    // The search's order: by rank across engines, or engine after engine.
    void SetRankOrder(bool bRank);
    // As a click on a column's header does: sorted by it, reversed, the search's order again.
    void ClickColumnHeader(int nColumn);
    const CListOrder& GetListOrder() const { return m_order; }
    // The hits in the order shown (Copy, Export), and the engines that listed each.
    std::vector<CSearchHit> GetShownHits(std::vector<std::vector<CFoundBy>>* pFoundBy = nullptr) const;
    // The store's row shown at a place of the list and back; -1 when none.
    int StoreRowOf(int nShown) const;
    int ShownRowOf(int nRow) const;
    // The engines that listed a row, as of the last update.
    std::vector<CFoundBy> GetFoundBy(int nRow) const;

    void SetHighlightWords(const std::string& strQuery);
    const CHighlightWords& GetHighlightWords() const { return m_highlight; }

    // The selected rows in list order.
    std::vector<int> GetSelectedRows() const;
    std::vector<CSearchHit> GetSelectedHits() const;
    int GetFirstSelectedRow() const; // -1 when none
    // Selects this row alone and makes it the current row.
    void SelectRow(int nRow);
    CResultRows& GetRows() { return m_rows; }

    // Called to open a hit (double click, Enter, the menu's Open).
    void SetOpenHandler(std::function<void(int nRow)> open) { m_open = std::move(open); }
    void ShowContextMenu();
    // The selected rows' cells to the clipboard: one column, or whole rows (-1).
    void CopySelection(int nColumn);

    // Thread-safe: brings the control up to date with the store soon (UI thread).
    void RequestSync();
    // UI thread: brings the control up to date now.
    void SyncRows();
    int GetShownRowCount() const { return m_nShown; }
    // Scrolls the list so that the row at this place is the first shown, and
    // the place of the first row shown.
    void ScrollToTop(int nShown);
    int GetTopShownRow() const;

private:
    void OnKey(wxKeyEvent& event);
    void OnContextMenu(wxDataViewEvent& event);
    // Widens the columns for rows nFrom..nTo-1 (of the first kMeasuredRows), one DC for all.
    void MeasureRows(int nFrom, int nTo);
    // Brings a list shown in another order than the store's up to date: the
    // order is worked out again, the selection stays on its hits.
    void SyncReordered(const std::vector<int>* pSelected = nullptr); // the rows selected before the order changed
    void ShowStoreOrder(const std::vector<int>& selected, int nCount);
    void ShowAgain(const std::vector<int>& selected, int nCount);
    void OnHeaderClick(wxDataViewEvent& event);
    void ShowSortIndicator();
    void OnMouseMove(wxMouseEvent& event);
    // Notes the widths the user dragged the columns to since the last look.
    void NoteUserColumnWidths();
    bool IsUserSized(unsigned nColumn) const;
    // Sizes Description (and the URL column when it must give way) so that all
    // columns show in the list's width.
    void FitColumnsToWidth();
    static constexpr int kMinFittedWidth = 120;
    // The whole text of a cell cut by its column (empty when it shows whole).
    wxString CutCellText(int nRow, unsigned nColumn, int nColumnWidth) const;

    CResultRows& m_rows;
    CHighlightWords m_highlight; // before the model, which reads it
    CResultRowsModel* m_pModel;
    std::vector<std::string*> m_pColumnFields;
    unsigned m_nColumnCount = 0;
    std::vector<int> m_columnWidths;
    std::vector<int> m_userWidths; // of the bound columns; 0 where the user did not size it
    int m_nShown = 0;
    uint64_t m_nSyncedStructure = 0;
    CListOrder m_order;
    CListOrder m_shownFor; // the order m_shown was worked out for
    std::vector<int> m_shown;   // store row of each place, when the order is not the store's
    std::vector<int> m_shownOf; // place of each store row
    std::vector<std::vector<CFoundBy>> m_foundBy; // of each store row, when the order needs them
    uint64_t m_nSyncedVersion = 0;
    int m_nFoundByColumn = -1;
    std::atomic<bool> m_bSyncPending{false};
    std::function<void(int)> m_open;
};

enum : int
{
    ID_RESULT_OPEN = 2950,
    ID_RESULT_COPY_LINK,
    ID_RESULT_COPY_DESCRIPTION,
    ID_RESULT_COPY_ROW,
};
