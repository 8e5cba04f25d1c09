// SPDX-License-Identifier: MIT
#pragma once

// The result list: a virtual view of the result rows store, three columns
// ("Description", "URL", "Engine") drawn by a renderer that boxes the query's
// words. Rows are never copied into widgets, so 20 000 rows stay smooth.
//
// The store may change on the search worker; the control learns of it through
// RequestSync (any thread), which posts one coalesced update to the UI thread.

#include "results/HighlightWords.h"
#include "results/ResultRows.h"

#include <atomic>
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
    void InsertRowFromFields(int nRow);
    void SetRowFromFields(int nRow);
    void ReadRowIntoFields(int nRow);
    // Widens each column to the row's cell (first 255 characters) + one "M", up to
    // 60% of the view; columns only grow. Only the first rows count.
    void AutoSizeColumns(int nRow);
    static constexpr int kMeasuredRows = 500;
    static constexpr int kMaxAutoWidthPercent = 60;
    int MeasureText(const wxString& strText) const;
    int GetKeptColumnWidth(unsigned nColumn) const;

    void SetHighlightWords(const std::string& strQuery);
    const CHighlightWords& GetHighlightWords() const { return m_highlight; }

    int GetFirstSelectedRow() const;
    void SelectRow(int nRow);
    CResultRows& GetRows() { return m_rows; }

    // Thread-safe: brings the control up to date with the store soon (UI thread).
    void RequestSync();
    // UI thread: brings the control up to date now.
    void SyncRows();
    int GetShownRowCount() const { return m_nShown; }

private:
    CSearchHit HitFromFields() const;
    // Widens the columns for rows nFrom..nTo-1 (of the first kMeasuredRows), one DC for all.
    void MeasureRows(int nFrom, int nTo);

    CResultRows& m_rows;
    CResultRowsModel* m_pModel;
    CHighlightWords m_highlight;
    std::vector<std::string*> m_pColumnFields;
    unsigned m_nColumnCount = 0;
    std::vector<int> m_columnWidths;
    int m_nShown = 0;
    uint64_t m_nSyncedStructure = 0;
    std::atomic<bool> m_bSyncPending{false};
};
