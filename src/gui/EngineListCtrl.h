// SPDX-License-Identifier: MIT
#pragma once

// The engine pane: the catalogue as a one-column report list in name order,
// with a tick box in front of each engine (image 0 the empty box, image 1 the
// ticked box, drawn with an "X"). Row i shows engine i of the catalogue list.

#include "engines/SearchEngine.h"
#include "search/EngineOutcome.h"

#include <functional>
#include <vector>
#include <wx/imaglist.h>
#include <wx/listctrl.h>

class CEngineListCtrl : public wxListCtrl
{
public:
    static constexpr int m_nUncheckedImage = 0;
    static constexpr int m_nCheckedImage = 1;

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
    // Keys of the pane: Space ticks the focused row, Menu / Shift+F10 open its menu.
    void OnKey(wxKeyEvent& event);
    bool IsTicked(int nRow) const { return GetRowImage(nRow) == m_nCheckedImage; }
    int CountTickedEngines() const;
    std::vector<CSearchEngine> GetTickedEngines() const;
    void SetAllTicks(bool bTicked);

    int GetFirstSelectedRow() const;
    // A click on a row toggles the first selected row.
    void ToggleFirstSelectedRow();
    // Widens the column to its heading or its first row's text (+ one "M"); never narrows it.
    void AutoSizeEngineColumn();

    // How each engine ended in the last search, after its name ("Bing - 10 hits");
    // a failure (HTTP or Internet error) in red. Engines the search did not ask
    // show their name alone.
    void ShowOutcomes(const std::vector<CEngineOutcome>& outcomes);
    void ClearOutcomes();
    wxString GetOutcomeText(int nRow) const;
    bool IsOutcomeFailure(int nRow) const;
    // The tooltip of a row: its name and whole outcome; empty without one.
    wxString GetRowTip(int nRow) const;
    wxWindow* RowsWindow();

    // Called on a right click (the frame shows its pop-up menu).
    void SetRightClickHandler(std::function<void()> handler) { m_onRightClick = std::move(handler); }

private:
    void OnLeftDown(wxMouseEvent& event);
    void OnRightUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    int MeasureText(const wxString& strText) const;

    wxImageList m_imageList;
    std::vector<CSearchEngine> m_engines;
    std::vector<wxString> m_outcomeTexts; // per row, empty when none
    std::function<void()> m_onRightClick;
    long m_nTipRow = -1;
};
