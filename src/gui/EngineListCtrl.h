// SPDX-License-Identifier: MIT
#pragma once

// The engine pane: the catalogue as a list in name order, a tick box in front of
// each engine's name. Row i shows engine i of the catalogue list. A row's tick
// is its image index: m_nUncheckedImage (0) the empty box, m_nCheckedImage (1)
// the ticked one, the value kept in the profile.
//
// The list is the toolkit's own (a tree view with a check-box column), so a
// screen reader reads each engine's name and whether it is ticked.

#include "engines/SearchEngine.h"
#include "search/EngineOutcome.h"
#include "workbench/EngineCheck.h"

#include <functional>
#include <vector>
#include <wx/dataview.h>

class CEngineRowsModel;
typedef struct _GtkWidget GtkWidget;
typedef struct _GdkEventButton GdkEventButton;

class CEngineListCtrl : public wxDataViewCtrl
{
public:
    static constexpr int m_nUncheckedImage = 0;
    static constexpr int m_nCheckedImage = 1;
    // The columns: the tick box, then the name (and the outcome).
    static constexpr unsigned kTickColumn = 0;
    static constexpr unsigned kNameColumn = 1;
    static constexpr int kTickColumnWidth = 28;

    CEngineListCtrl(wxWindow* pParent, wxWindowID nId);

    // Fills the pane; images[i] (if given) is the tick of engines[i].
    void SetEngines(std::vector<CSearchEngine> engines, const std::vector<int>& images);
    const std::vector<CSearchEngine>& GetEngines() const { return m_engines; }
    int GetEngineCount() const { return static_cast<int>(m_engines.size()); }

    // Adds an engine at its place in name order, unticked; returns its row.
    int InsertEngine(CSearchEngine engine);
    // Changes the row's engine in place; the row keeps its tick and moves to
    // its place in name order. Returns the new row.
    int ReplaceEngine(int nRow, CSearchEngine engine);
    void DeleteEngine(int nRow);

    int GetRowImage(int nRow) const;
    void SetRowImage(int nRow, int nImage);
    // Keys of the pane: Space ticks the current row, Return searches, Menu /
    // Shift+F10 open its menu.
    void OnKey(wxKeyEvent& event);
    bool IsTicked(int nRow) const { return GetRowImage(nRow) == m_nCheckedImage; }
    int CountTickedEngines() const;
    std::vector<CSearchEngine> GetTickedEngines() const;
    void SetAllTicks(bool bTicked);

    int GetFirstSelectedRow() const;
    // Selects the row alone, makes it the current row and scrolls it into view
    // (-1: no selection).
    void SelectRow(int nRow);
    // A click on a row's name or box toggles the first selected row.
    void ToggleFirstSelectedRow();
    // Widens the name column to its heading or its first row's text (+ one "M"); never narrows it.
    void AutoSizeEngineColumn();
    // The pane's width that shows the tick column and the name column's heading whole.
    int GetWidthForHeading() const;
    // What the row shows: the name, and the outcome after it.
    wxString GetRowText(int nRow) const;
    // The row's rectangle in the control's client coordinates.
    wxRect GetRowRect(int nRow) const;

    // How each engine ended in the last search, after its name ("Bing - 10 hits");
    // a failure (HTTP or Internet error) in red. Engines the search did not ask
    // show their name alone.
    void ShowOutcomes(const std::vector<CEngineOutcome>& outcomes);
    // Check Engines' verdicts as the engines' outcomes: "works: 12 hits",
    // "definition broken: start token not on the page", "refused: HTTP 403
    // Forbidden", "failed: ..." (all but the first as failures).
    void ShowCheckVerdicts(const std::vector<CEngineCheck>& checks);
    void ClearOutcomes();
    wxString GetOutcomeText(int nRow) const;
    bool IsOutcomeFailure(int nRow) const;
    // The tooltip of a row: its name and whole outcome; empty without one.
    wxString GetRowTip(int nRow) const;

    // Called on a right click (the frame shows its pop-up menu).
    void SetRightClickHandler(std::function<void()> handler) { m_onRightClick = std::move(handler); }
    // Return in the pane: what Return in the query field does (a search), never a tick.
    void SetReturnHandler(std::function<void()> handler) { m_onReturn = std::move(handler); }

private:
    // The outcome shown after an engine's name (the first row of that name).
    void SetOutcome(const std::string& strEngine, const std::string& strOutcome, bool bFailure);
    friend class CEngineRowsModel;
typedef struct _GtkWidget GtkWidget;
typedef struct _GdkEventButton GdkEventButton;
    int RowOf(const wxDataViewItem& item) const;
    void ShowTicksAsX();
    // Whether the toolkit is handling a mouse button's event just now.
    static bool IsMouseEventUnderWay();
    wxPoint PointerPosition() const;
    static int OnTreeButtonPress(GtkWidget* pTree, GdkEventButton* pEvent, CEngineListCtrl* pPane);
    void OnMotion(wxMouseEvent& event);
    int MeasureHeading() const;
    int MeasureText(const wxString& strText) const;

    CEngineRowsModel* m_pModel;
    std::vector<CSearchEngine> m_engines;
    // What a row shows beside its engine (m_rows[i] goes with m_engines[i]).
    struct CRowState
    {
        int m_nImage = m_nUncheckedImage; // the tick
        wxString m_strOutcome;            // empty when none
        bool m_bFailure = false;
    };
    std::vector<CRowState> m_rows;
    std::function<void()> m_onRightClick;
    std::function<void()> m_onReturn;
    int m_nTipRow = -1;
};
