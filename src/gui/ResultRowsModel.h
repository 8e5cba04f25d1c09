// SPDX-License-Identifier: MIT
#pragma once

// The rows as the result list asks for them. A cell is the hit's text as
// markup: its words one blank apart, the query's words in a box of the
// highlight colours. The list draws it with the toolkit's own text cell, so a
// screen reader reads each cell's text. The list maps its places to the store's
// rows (the order shown may be another); the Found By column counts engines.

#include "results/HighlightWords.h"
#include "results/ResultRows.h"

#include <string>
#include <wx/dataview.h>

class CResultListCtrl;

class CResultRowsModel : public wxDataViewVirtualListModel
{
public:
    CResultRowsModel(const CResultListCtrl& list, CResultRows& rows, const CHighlightWords& words);

    unsigned GetColumnCount() const override { return CResultRows::kColumnCount + 1; }
    wxString GetColumnType(unsigned) const override { return "string"; }
    void GetValueByRow(wxVariant& variant, unsigned nShown, unsigned nColumn) const override;
    bool SetValueByRow(const wxVariant&, unsigned, unsigned) override { return false; }

    wxString CellMarkup(const std::string& strCell) const;
    // Takes the highlight's colours from the theme again (the desktop's theme changed).
    void UpdateColours();

private:
    const CResultListCtrl& m_list;
    CResultRows& m_rows;
    const CHighlightWords& m_words;
    wxString m_strWordOpen;
};
