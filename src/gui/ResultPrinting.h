// SPDX-License-Identifier: MIT
#pragma once

// Printing the result list (File > Print..., Print Preview, Print Setup...)
// through the toolkit's printing: what the list shows, in its order - each
// hit's description, URL and engine, the query's words in bold - with the
// query and the date at the top of each page and its number at the bottom.

#include "results/HighlightWords.h"
#include "results/ResultRows.h"

#include <functional>
#include <memory>
#include <vector>
#include <wx/cmndata.h>

class wxPrintout;
class wxWindow;

class CResultPrinting
{
public:
    explicit CResultPrinting(wxWindow* pParent);
    ~CResultPrinting();

    // Asks for the printer (the print dialog) and prints; false when cancelled or failed.
    bool Print(const std::vector<CSearchHit>& hits, const CHighlightWords& words);
    // The pages in a preview window.
    void Preview(const std::vector<CSearchHit>& hits, const CHighlightWords& words);
    // Paper, orientation and margins for the prints that follow.
    void PageSetup();

    // The printout of these hits under the page setup of the moment.
    std::unique_ptr<wxPrintout> MakePrintout(const std::vector<CSearchHit>& hits, const CHighlightWords& words) const;

private:
    wxWindow* m_pParent;
    wxPageSetupDialogData m_pageSetup; // holds the printer's settings too
};

// Tests take the printouts instead of the print, preview and setup dialogs
// (pPrintout is null for the setup).
enum class EPrintCommand
{
    Print,
    Preview,
    Setup,
};
using PrintHandler = std::function<void(EPrintCommand nCommand, wxPrintout* pPrintout)>;
void SetPrintHandler(PrintHandler handler);
