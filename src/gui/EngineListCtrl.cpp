// SPDX-License-Identifier: MIT
#include "gui/EngineListCtrl.h"

#include "engines/EngineCatalogue.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

namespace {

const wxColour kFailureColour(0xB0, 0x00, 0x00);

// The 18 x 19 tick boxes: an empty box, and the same box with an "X".
wxBitmap MakeTickBitmap(bool bTicked)
{
    wxBitmap bitmap(18, 19);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(wxPen(*wxBLACK, 1));
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(2, 3, 14, 14);
    if (bTicked) {
        dc.SetPen(wxPen(*wxBLACK, 2));
        dc.DrawLine(5, 6, 13, 14);
        dc.DrawLine(13, 6, 5, 14);
    }
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

} // namespace

CEngineListCtrl::CEngineListCtrl(wxWindow* pParent, wxWindowID nId)
    : wxListCtrl(pParent, nId, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxBORDER_SUNKEN),
      m_imageList(18, 19, false, 2)
{
    m_imageList.Add(MakeTickBitmap(false)); // m_nUncheckedImage
    m_imageList.Add(MakeTickBitmap(true));  // m_nCheckedImage
    SetImageList(&m_imageList, wxIMAGE_LIST_SMALL);
    InsertColumn(0, kEngineColumnHeading, wxLIST_FORMAT_LEFT);
    SetColumnWidth(0, MeasureText(kEngineColumnHeading));
    Bind(wxEVT_LEFT_DOWN, &CEngineListCtrl::OnLeftDown, this);
    Bind(wxEVT_RIGHT_UP, &CEngineListCtrl::OnRightUp, this);
    Bind(wxEVT_MOTION, &CEngineListCtrl::OnMotion, this);
    Bind(wxEVT_CHAR_HOOK, &CEngineListCtrl::OnKey, this);
}

void CEngineListCtrl::SetEngines(std::vector<CSearchEngine> engines, const std::vector<int>& images)
{
    DeleteAllItems();
    m_engines = std::move(engines);
    for (size_t i = 0; i < m_engines.size(); ++i) {
        const int nImage = i < images.size() ? images[i] : m_nUncheckedImage;
        InsertItem(static_cast<long>(i), ToWx(m_engines[i].m_strName), nImage);
    }
    m_outcomeTexts.assign(m_engines.size(), wxString());
    AutoSizeEngineColumn();
}

int CEngineListCtrl::InsertEngine(CSearchEngine engine)
{
    const auto nRow = static_cast<long>(FindInsertPosition(m_engines, engine.m_strName));
    InsertItem(nRow, ToWx(engine.m_strName), m_nUncheckedImage);
    m_engines.insert(m_engines.begin() + nRow, std::move(engine));
    m_outcomeTexts.insert(m_outcomeTexts.begin() + std::min<long>(nRow, static_cast<long>(m_outcomeTexts.size())), wxString());
    return static_cast<int>(nRow);
}

int CEngineListCtrl::ReplaceEngine(int nRow, CSearchEngine engine)
{
    if (nRow < 0 || nRow >= GetEngineCount())
        return -1;
    const int nImage = GetRowImage(nRow);
    const bool bSelected = GetItemState(nRow, wxLIST_STATE_SELECTED) != 0;
    DeleteEngine(nRow);
    const int nNewRow = InsertEngine(std::move(engine));
    SetRowImage(nNewRow, nImage);
    if (bSelected)
        SetItemState(nNewRow, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    return nNewRow;
}

void CEngineListCtrl::DeleteEngine(int nRow)
{
    if (nRow < 0 || nRow >= GetEngineCount())
        return;
    DeleteItem(nRow);
    m_engines.erase(m_engines.begin() + nRow);
    if (static_cast<size_t>(nRow) < m_outcomeTexts.size())
        m_outcomeTexts.erase(m_outcomeTexts.begin() + nRow);
}

int CEngineListCtrl::GetRowImage(int nRow) const
{
    wxListItem item;
    item.SetId(nRow);
    item.SetMask(wxLIST_MASK_IMAGE);
    return GetItem(item) ? item.GetImage() : -1;
}

void CEngineListCtrl::SetRowImage(int nRow, int nImage)
{
    SetItemImage(nRow, nImage);
}

int CEngineListCtrl::CountTickedEngines() const
{
    int nCount = 0;
    for (int i = 0; i < GetEngineCount(); ++i)
        nCount += IsTicked(i);
    return nCount;
}

std::vector<CSearchEngine> CEngineListCtrl::GetTickedEngines() const
{
    std::vector<CSearchEngine> ticked;
    for (int i = 0; i < GetEngineCount(); ++i)
        if (IsTicked(i))
            ticked.push_back(m_engines[static_cast<size_t>(i)]);
    return ticked;
}

void CEngineListCtrl::SetAllTicks(bool bTicked)
{
    for (int i = 0; i < GetEngineCount(); ++i)
        SetRowImage(i, bTicked ? m_nCheckedImage : m_nUncheckedImage);
}

int CEngineListCtrl::GetFirstSelectedRow() const
{
    return static_cast<int>(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

void CEngineListCtrl::ToggleFirstSelectedRow()
{
    const int nRow = GetFirstSelectedRow();
    if (nRow < 0)
        return;
    SetRowImage(nRow, IsTicked(nRow) ? m_nUncheckedImage : m_nCheckedImage);
}

int CEngineListCtrl::MeasureText(const wxString& strText) const
{
    wxClientDC dc(const_cast<CEngineListCtrl*>(this));
    dc.SetFont(GetFont());
    // The tick image stands in front of the text.
    return dc.GetTextExtent(strText).GetWidth() + dc.GetTextExtent("M").GetWidth() + 24;
}

void CEngineListCtrl::AutoSizeEngineColumn()
{
    int nWidth = MeasureText(kEngineColumnHeading);
    if (!m_engines.empty())
        nWidth = std::max(nWidth, MeasureText(ToWx(m_engines.front().m_strName)));
    if (GetColumnWidth(0) < nWidth)
        SetColumnWidth(0, nWidth & 0xFFFF);
}

void CEngineListCtrl::ShowOutcomes(const std::vector<CEngineOutcome>& outcomes)
{
    ClearOutcomes();
    for (const CEngineOutcome& outcome : outcomes) {
        for (int nRow = 0; nRow < GetEngineCount(); ++nRow) {
            if (m_engines[static_cast<size_t>(nRow)].m_strName != outcome.m_strEngine)
                continue;
            // After the name, where the narrow pane shows it.
            m_outcomeTexts[static_cast<size_t>(nRow)] = ToWx(outcome.Describe());
            SetItemText(nRow, ToWx(outcome.m_strEngine) + " - " + m_outcomeTexts[static_cast<size_t>(nRow)]);
            if (outcome.IsFailure())
                SetItemTextColour(nRow, kFailureColour);
            break;
        }
    }
}

void CEngineListCtrl::ClearOutcomes()
{
    m_outcomeTexts.assign(m_engines.size(), wxString());
    m_nTipRow = -1;
    RowsWindow()->UnsetToolTip();
    for (int nRow = 0; nRow < GetItemCount() && nRow < GetEngineCount(); ++nRow) {
        SetItemText(nRow, ToWx(m_engines[static_cast<size_t>(nRow)].m_strName));
        SetItemTextColour(nRow, GetForegroundColour());
    }
}

wxString CEngineListCtrl::GetOutcomeText(int nRow) const
{
    return nRow >= 0 && static_cast<size_t>(nRow) < m_outcomeTexts.size() ? m_outcomeTexts[static_cast<size_t>(nRow)]
                                                                            : wxString();
}

bool CEngineListCtrl::IsOutcomeFailure(int nRow) const
{
    return GetItemTextColour(nRow) == kFailureColour;
}

wxWindow* CEngineListCtrl::RowsWindow()
{
    // The list draws its rows in a child window of its own (below the header);
    // the pointer is over that one, so the tooltip goes there.
    for (wxWindow* pChild : GetChildren())
        if (static_cast<const void*>(pChild) == static_cast<const void*>(m_mainWin))
            return pChild;
    return this;
}

wxString CEngineListCtrl::GetRowTip(int nRow) const
{
    const wxString strOutcome = GetOutcomeText(nRow);
    return strOutcome.empty() ? wxString() : ToWx(m_engines[static_cast<size_t>(nRow)].m_strName) + ": " + strOutcome;
}

void CEngineListCtrl::OnMotion(wxMouseEvent& event)
{
    // The row under the pointer shows its whole outcome, which a narrow pane cuts.
    event.Skip();
    int nFlags = 0;
    long nRow = HitTest(event.GetPosition(), nFlags);
    if (!(nFlags & wxLIST_HITTEST_ONITEM))
        nRow = -1;
    if (nRow == m_nTipRow)
        return;
    m_nTipRow = nRow;
    const wxString strTip = nRow >= 0 ? GetRowTip(static_cast<int>(nRow)) : wxString();
    if (strTip.empty())
        RowsWindow()->UnsetToolTip();
    else
        RowsWindow()->SetToolTip(strTip);
}

void CEngineListCtrl::OnLeftDown(wxMouseEvent& event)
{
    int nFlags = 0;
    const long nHit = HitTest(event.GetPosition(), nFlags);
    event.Skip(); // the list selects the row first
    if (nHit >= 0 && (nFlags & wxLIST_HITTEST_ONITEM))
        CallAfter([this] { ToggleFirstSelectedRow(); });
}

void CEngineListCtrl::OnKey(wxKeyEvent& event)
{
    // Space ticks and unticks the focused row; the Menu key and Shift+F10 open
    // the pane's menu, as a right click does.
    const int nKey = event.GetKeyCode();
    if (nKey == WXK_SPACE && event.GetModifiers() == wxMOD_NONE) {
        const long nFocused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        if (nFocused >= 0) {
            SetItemState(nFocused, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            ToggleFirstSelectedRow();
        }
        return;
    }
    if ((nKey == WXK_MENU || nKey == WXK_WINDOWS_MENU || (nKey == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT)) &&
        m_onRightClick) {
        m_onRightClick();
        return;
    }
    event.Skip();
}

void CEngineListCtrl::OnRightUp(wxMouseEvent& event)
{
    event.Skip();
    if (m_onRightClick)
        CallAfter([this] { m_onRightClick(); });
}
