// SPDX-License-Identifier: MIT
#include "gui/ResultPrinting.h"

#include "gui/MessageBox.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"
#include "platform/TextUtil.h"
#include "results/PrintLayout.h"
#include "search/SearchTexts.h"
#include "platform/Translate.h"

#include <unordered_map>
#include <clocale>
#include <cstring>
#include <wx/datetime.h>
#include <wx/dc.h>
#include <wx/printdlg.h>
#include <wx/prntbase.h>
#include <wx/print.h>

namespace {

PrintHandler g_printHandler;

// The day in the user's locale's short form; in the C locale, whose form
// ("12/09/26") is ambiguous, as ISO 8601 (2026-12-09).
wxString PrintDate()
{
    const char* pszTime = std::setlocale(LC_TIME, nullptr);
    const bool bC = !pszTime || std::strcmp(pszTime, "C") == 0 || std::strcmp(pszTime, "POSIX") == 0;
    return bC ? wxDateTime::Now().FormatISODate() : wxDateTime::Now().FormatDate();
}

constexpr const char* kPrintTitle = N_("Internet Questrel Results");
constexpr int kPointSize = 9;
constexpr int kMaxCellLines = 8;   // a longer cell is cut with "..."
constexpr int kColumnGap = 12;     // between columns, in the page's logical units
const int kColumnShares[] = {50, 35, 15}; // percent of the width: description, URL, engine

// A text's width as the sum of its characters' widths, each measured once in
// each font: thousands of rows are laid out at once, and kerning only makes a
// line a little shorter than measured.
class CCharWidths
{
public:
    CCharWidths(wxDC& dc, const wxFont& normal, const wxFont& bold) : m_dc(dc), m_fonts{normal, bold} {}

    int Measure(std::string_view text, bool bBold)
    {
        const int nFont = bBold ? 1 : 0;
        int nWidth = 0;
        for (size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c < 128) {
                int& nKnown = m_ascii[nFont][c];
                if (nKnown < 0)
                    nKnown = Extent(text.substr(i, 1), nFont);
                nWidth += nKnown;
                ++i;
                continue;
            }
            const size_t nLength = std::max<size_t>(1, Utf8SequenceLength(text, i));
            const auto [it, bNew] = m_others[nFont].try_emplace(std::string(text.substr(i, nLength)), 0);
            if (bNew)
                it->second = Extent(it->first, nFont);
            nWidth += it->second;
            i += nLength;
        }
        return nWidth;
    }

private:
    int Extent(std::string_view character, int nFont)
    {
        m_dc.SetFont(m_fonts[nFont]);
        return m_dc.GetTextExtent(ToWx(std::string(character))).GetWidth();
    }

    wxDC& m_dc;
    wxFont m_fonts[2];
    std::vector<int> m_ascii[2] = {std::vector<int>(128, -1), std::vector<int>(128, -1)};
    std::unordered_map<std::string, int> m_others[2];
};

// One page of the list as a printer draws it. The page is laid out in the
// screen's units (MapScreenSizeToPageMargins), so the preview and the printer
// show the same pages.
class CResultPrintout : public wxPrintout
{
public:
    CResultPrintout(std::vector<CSearchHit> hits, const CHighlightWords& words, const wxPageSetupDialogData& pageSetup)
        : wxPrintout(TrWx(kPrintTitle)), m_hits(std::move(hits)), m_words(words), m_pageSetup(pageSetup),
          m_strDate(PrintDate())
    {
    }

    void OnPreparePrinting() override { Layout(); }
    bool HasPage(int nPage) override { return nPage >= 1 && nPage <= static_cast<int>(m_pages.size()); }
    void GetPageInfo(int* pMin, int* pMax, int* pFrom, int* pTo) override
    {
        *pMin = *pFrom = 1;
        *pMax = *pTo = static_cast<int>(m_pages.size());
    }
    bool OnPrintPage(int nPage) override;

private:
    struct CRow
    {
        std::vector<CPrintLine> m_cells[CResultRows::kColumnCount];
        int m_nLines = 1;
    };

    void Prepare(wxDC& dc, bool bBold) const { dc.SetFont(bBold ? m_boldFont : m_normalFont); }
    void Layout();
    void DrawRuns(wxDC& dc, const CPrintLine& line, int nX, int nY) const;

    std::vector<CSearchHit> m_hits;
    CHighlightWords m_words;
    wxPageSetupDialogData m_pageSetup;
    wxString m_strDate;
    wxFont m_normalFont{wxFontInfo(kPointSize).Family(wxFONTFAMILY_SWISS)};
    wxFont m_boldFont{wxFontInfo(kPointSize).Family(wxFONTFAMILY_SWISS).Bold()};
    wxRect m_area;          // the page inside its margins
    int m_nLineHeight = 1;
    int m_columnX[CResultRows::kColumnCount + 1] = {};
    std::vector<CRow> m_rows;
    std::vector<std::pair<size_t, size_t>> m_pages;
};

void CResultPrintout::Layout()
{
    wxDC* pDC = GetDC();
    m_rows.clear();
    m_pages.assign(1, {0, 0});
    if (!pDC)
        return;
    MapScreenSizeToPageMargins(m_pageSetup);
    m_area = GetLogicalPageMarginsRect(m_pageSetup);
    Prepare(*pDC, false);
    m_nLineHeight = std::max(1, pDC->GetCharHeight());
    int nX = m_area.x;
    for (size_t i = 0; i < CResultRows::kColumnCount; ++i) {
        m_columnX[i] = nX;
        nX += m_area.width * kColumnShares[i] / 100;
    }
    m_columnX[CResultRows::kColumnCount] = m_area.GetRight() + kColumnGap;
    CCharWidths charWidths(*pDC, m_normalFont, m_boldFont);
    const PrintMeasure measure = [&charWidths](std::string_view text, bool bBold) {
        return charWidths.Measure(text, bBold);
    };
    std::vector<int> heights;
    for (const CSearchHit& hit : m_hits) {
        CRow row;
        const std::string* cells[] = {&hit.m_strDescription, &hit.m_strUrl, &hit.m_strEngine};
        for (size_t i = 0; i < CResultRows::kColumnCount; ++i) {
            const int nWidth = m_columnX[i + 1] - m_columnX[i] - kColumnGap;
            row.m_cells[i] = WrapPrintCell(ToValidUtf8(*cells[i]), m_words, nWidth, kMaxCellLines, measure);
            row.m_nLines = std::max(row.m_nLines, static_cast<int>(row.m_cells[i].size()));
        }
        heights.push_back(row.m_nLines * m_nLineHeight + m_nLineHeight / 2);
        m_rows.push_back(std::move(row));
    }
    // Above the rows: the header's line, a rule, the headings; below: a rule and the page number.
    const int nBody = m_area.height - 6 * m_nLineHeight;
    m_pages = PaginatePrintRows(heights, std::max(nBody, m_nLineHeight));
}

void CResultPrintout::DrawRuns(wxDC& dc, const CPrintLine& line, int nX, int nY) const
{
    // The layout's widths are sums of single characters; drawn, a word comes
    // out narrower (or, rarely, wider). Each run keeps the gap the layout gave
    // it from the end of the run before as drawn: a space between words, none
    // between the bold and plain parts of one.
    int nLaidEnd = 0;  // where the run before ends, as laid out
    int nDrawnEnd = 0; // and as drawn
    for (const CPrintRun& run : line) {
        Prepare(dc, run.m_bBold);
        const wxString strText = ToWx(run.m_strText);
        const int nAt = nDrawnEnd + (run.m_nX - nLaidEnd);
        dc.DrawText(strText, nX + nAt, nY);
        nLaidEnd = run.m_nX + run.m_nWidth;
        nDrawnEnd = nAt + dc.GetTextExtent(strText).GetWidth();
    }
}

bool CResultPrintout::OnPrintPage(int nPage)
{
    wxDC* pDC = GetDC();
    if (!pDC || !HasPage(nPage))
        return false;
    wxDC& dc = *pDC;
    MapScreenSizeToPageMargins(m_pageSetup);
    dc.SetTextForeground(*wxBLACK);
    dc.SetPen(wxPen(*wxBLACK, 1));
    int nY = m_area.y;
    // The query and the date.
    Prepare(dc, false);
    const wxString strLabel = TrWx("Search for: ");
    dc.DrawText(strLabel, m_area.x, nY);
    const int nQueryX = m_area.x + dc.GetTextExtent(strLabel).GetWidth();
    Prepare(dc, true);
    dc.DrawText(ToWx(ToValidUtf8(m_words.GetText())), nQueryX, nY);
    Prepare(dc, false);
    dc.DrawText(m_strDate, m_area.GetRight() - dc.GetTextExtent(m_strDate).GetWidth(), nY);
    nY += m_nLineHeight + m_nLineHeight / 2;
    dc.DrawLine(m_area.x, nY, m_area.GetRight(), nY);
    nY += m_nLineHeight / 2;
    // The headings, then the page's rows.
    Prepare(dc, true);
    const char* headings[] = {kColumnDescription, kColumnUrl, kColumnEngine};
    for (size_t i = 0; i < CResultRows::kColumnCount; ++i)
        dc.DrawText(TrWx(headings[i]), m_columnX[i], nY);
    nY += m_nLineHeight + m_nLineHeight / 2;
    const auto [nFirst, nEnd] = m_pages[static_cast<size_t>(nPage - 1)];
    if (m_hits.empty()) {
        Prepare(dc, false);
        dc.DrawText(TrWx("No hits."), m_area.x, nY);
    }
    for (size_t r = nFirst; r < nEnd; ++r) {
        for (size_t i = 0; i < CResultRows::kColumnCount; ++i)
            for (size_t nLine = 0; nLine < m_rows[r].m_cells[i].size(); ++nLine)
                DrawRuns(dc, m_rows[r].m_cells[i][nLine], m_columnX[i], nY + static_cast<int>(nLine) * m_nLineHeight);
        nY += m_rows[r].m_nLines * m_nLineHeight + m_nLineHeight / 2;
    }
    // The page's number.
    const int nFooter = m_area.GetBottom() - m_nLineHeight;
    dc.DrawLine(m_area.x, nFooter - m_nLineHeight / 2, m_area.GetRight(), nFooter - m_nLineHeight / 2);
    Prepare(dc, false);
    const wxString strPage = wxString::Format(TrWx("Page %d of %d"), nPage, static_cast<int>(m_pages.size()));
    dc.DrawText(strPage, m_area.x + (m_area.width - dc.GetTextExtent(strPage).GetWidth()) / 2, nFooter);
    return true;
}

} // namespace

void SetPrintHandler(PrintHandler handler)
{
    g_printHandler = std::move(handler);
}

CResultPrinting::CResultPrinting(wxWindow* pParent) : m_pParent(pParent)
{
    m_pageSetup.SetMarginTopLeft(wxPoint(15, 15));
    m_pageSetup.SetMarginBottomRight(wxPoint(15, 15));
}

CResultPrinting::~CResultPrinting() = default;

std::unique_ptr<wxPrintout> CResultPrinting::MakePrintout(const std::vector<CSearchHit>& hits,
                                                          const CHighlightWords& words) const
{
    return std::make_unique<CResultPrintout>(hits, words, m_pageSetup);
}

bool CResultPrinting::Print(const std::vector<CSearchHit>& hits, const CHighlightWords& words)
{
    std::unique_ptr<wxPrintout> pPrintout = MakePrintout(hits, words);
    if (g_printHandler) {
        g_printHandler(EPrintCommand::Print, pPrintout.get());
        return true;
    }
    wxPrintDialogData printData(m_pageSetup.GetPrintData());
    wxPrinter printer(&printData);
    if (!printer.Print(m_pParent, pPrintout.get(), true)) {
        if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
            ShowMessageBox(m_pParent, TrWx(kMsgPrintFailed), kAppCaption, wxOK | wxICON_EXCLAMATION);
        return false;
    }
    m_pageSetup.SetPrintData(printer.GetPrintDialogData().GetPrintData());
    return true;
}

void CResultPrinting::Preview(const std::vector<CSearchHit>& hits, const CHighlightWords& words)
{
    if (g_printHandler) {
        g_printHandler(EPrintCommand::Preview, MakePrintout(hits, words).get());
        return;
    }
    wxPrintDialogData printData(m_pageSetup.GetPrintData());
    // The preview owns both printouts: one to show, one to print from the preview.
    auto* pPreview = new wxPrintPreview(MakePrintout(hits, words).release(), MakePrintout(hits, words).release(),
                                        &printData);
    if (!pPreview->IsOk()) {
        delete pPreview;
        ShowMessageBox(m_pParent, TrWx(kMsgPreviewFailed), kAppCaption, wxOK | wxICON_EXCLAMATION);
        return;
    }
    auto* pFrame = new wxPreviewFrame(pPreview, m_pParent, TrWx("Print Preview"), wxDefaultPosition, wxSize(800, 900));
    pFrame->Centre(wxBOTH);
    pFrame->InitializeWithModality(wxPreviewFrame_AppModal);
    pFrame->Show();
}

void CResultPrinting::PageSetup()
{
    if (g_printHandler) {
        g_printHandler(EPrintCommand::Setup, nullptr);
        return;
    }
    wxPageSetupDialog dialog(m_pParent, &m_pageSetup);
    if (dialog.ShowModal() == wxID_OK)
        m_pageSetup = dialog.GetPageSetupDialogData();
}
