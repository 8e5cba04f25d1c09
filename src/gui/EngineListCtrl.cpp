// SPDX-License-Identifier: MIT
#include "gui/EngineListCtrl.h"

#include "engines/EngineCatalogue.h"
#include "gui/Accessibility.h"
#include "gui/ShellTexts.h"
#include "gui/ThemeColours.h"
#include "gui/WxText.h"
#include "search/TemplateFormat.h"

#include <algorithm>
#include <gtk/gtk.h>
#include <wx/settings.h>
#include <wx/dcclient.h>
#include <wx/utils.h>

// The pane's rows as the list asks for them: the tick, and the text.
class CEngineRowsModel : public wxDataViewVirtualListModel
{
public:
    explicit CEngineRowsModel(CEngineListCtrl& pane) : wxDataViewVirtualListModel(0), m_pane(pane) {}

    unsigned GetColumnCount() const override { return 2; }
    wxString GetColumnType(unsigned nColumn) const override
    {
        return nColumn == CEngineListCtrl::kTickColumn ? "bool" : "string";
    }
    void GetValueByRow(wxVariant& variant, unsigned nRow, unsigned nColumn) const override
    {
        if (nRow >= m_pane.m_engines.size())
            return;
        if (nColumn == CEngineListCtrl::kTickColumn)
            variant = m_pane.IsTicked(static_cast<int>(nRow));
        else
            variant = m_pane.GetRowText(static_cast<int>(nRow));
    }
    // A click on the box.
    bool SetValueByRow(const wxVariant& variant, unsigned nRow, unsigned nColumn) override
    {
        if (nColumn != CEngineListCtrl::kTickColumn || nRow >= m_pane.m_engines.size())
            return false;
        m_pane.m_rows[nRow].m_nImage = variant.GetBool() ? CEngineListCtrl::m_nCheckedImage : CEngineListCtrl::m_nUncheckedImage;
        return true;
    }
    bool GetAttrByRow(unsigned nRow, unsigned nColumn, wxDataViewItemAttr& attr) const override
    {
        if (nColumn != CEngineListCtrl::kNameColumn || !m_pane.IsOutcomeFailure(static_cast<int>(nRow)))
            return false;
        attr.SetColour(GetFailureColour());
        return true;
    }

private:
    CEngineListCtrl& m_pane;
};

CEngineListCtrl::CEngineListCtrl(wxWindow* pParent, wxWindowID nId)
    : wxDataViewCtrl(pParent, nId, wxDefaultPosition, wxDefaultSize, wxDV_SINGLE | wxBORDER_SUNKEN),
      m_pModel(new CEngineRowsModel(*this))
{
    AssociateModel(m_pModel);
    m_pModel->DecRef(); // the control holds the reference
    AppendToggleColumn(wxEmptyString, kTickColumn, wxDATAVIEW_CELL_ACTIVATABLE, kTickColumnWidth, wxALIGN_CENTER, 0);
    AppendTextColumn(TrWx(kEngineColumnHeading), kNameColumn, wxDATAVIEW_CELL_INERT, MeasureHeading(),
                     wxALIGN_LEFT, wxDATAVIEW_COL_RESIZABLE);
    SetAccessibleName(this, TrWx("Search engines"));
    ShowFocusedRow(*this);
    ShowTicksAsX();
    g_signal_connect(GtkGetTreeView(), "button-press-event", G_CALLBACK(OnTreeButtonPress), this);
    Bind(wxEVT_MOTION, &CEngineListCtrl::OnMotion, this);
    Bind(wxEVT_CHAR_HOOK, &CEngineListCtrl::OnKey, this);
    // A screen reader's "toggle" activates the row: it toggles. A double click
    // activates it too, but its two clicks have toggled it already.
    Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED, [this](wxDataViewEvent& event) {
        const int nRow = RowOf(event.GetItem());
        if (nRow < 0 || IsMouseEventUnderWay())
            return;
        SetRowImage(nRow, IsTicked(nRow) ? m_nUncheckedImage : m_nCheckedImage);
    });
    Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU, [this](wxDataViewEvent&) {
        if (m_onRightClick)
            CallAfter([this] { m_onRightClick(); });
    });
}

void CEngineListCtrl::SetEngines(std::vector<CSearchEngine> engines, const std::vector<int>& images)
{
    m_engines = std::move(engines);
    m_rows.assign(m_engines.size(), CRowState());
    for (size_t i = 0; i < m_engines.size() && i < images.size(); ++i)
        m_rows[i].m_nImage = images[i];
    m_pModel->Reset(static_cast<unsigned>(m_engines.size()));
    // A current row from the start, so Space ticks at once (no arrow key first).
    if (!m_engines.empty())
        SetCurrentItem(m_pModel->GetItem(0));
    AutoSizeEngineColumn();
}

int CEngineListCtrl::InsertEngine(CSearchEngine engine)
{
    const size_t nRow = FindInsertPosition(m_engines, engine.m_strName);
    m_engines.insert(m_engines.begin() + static_cast<ptrdiff_t>(nRow), std::move(engine));
    m_rows.insert(m_rows.begin() + static_cast<ptrdiff_t>(nRow), CRowState());
    m_pModel->RowInserted(static_cast<unsigned>(nRow));
    return static_cast<int>(nRow);
}

int CEngineListCtrl::ReplaceEngine(int nRow, CSearchEngine engine)
{
    if (nRow < 0 || nRow >= GetEngineCount())
        return -1;
    const int nImage = GetRowImage(nRow);
    const bool bSelected = GetFirstSelectedRow() == nRow;
    DeleteEngine(nRow);
    const int nNewRow = InsertEngine(std::move(engine));
    SetRowImage(nNewRow, nImage);
    if (bSelected)
        SelectRow(nNewRow);
    return nNewRow;
}

void CEngineListCtrl::DeleteEngine(int nRow)
{
    if (nRow < 0 || nRow >= GetEngineCount())
        return;
    const auto nAt = static_cast<ptrdiff_t>(nRow);
    m_engines.erase(m_engines.begin() + nAt);
    m_rows.erase(m_rows.begin() + nAt);
    m_pModel->RowDeleted(static_cast<unsigned>(nRow));
}

int CEngineListCtrl::GetRowImage(int nRow) const
{
    return nRow >= 0 && nRow < GetEngineCount() ? m_rows[static_cast<size_t>(nRow)].m_nImage : -1;
}

void CEngineListCtrl::SetRowImage(int nRow, int nImage)
{
    if (nRow < 0 || nRow >= GetEngineCount())
        return;
    m_rows[static_cast<size_t>(nRow)].m_nImage = nImage;
    // The whole row, not only its cell: a screen reader hears of it only so.
    m_pModel->RowChanged(static_cast<unsigned>(nRow));
}

int CEngineListCtrl::CountTickedEngines() const
{
    return static_cast<int>(
        std::count_if(m_rows.begin(), m_rows.end(), [](const CRowState& row) { return row.m_nImage == m_nCheckedImage; }));
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

bool CEngineListCtrl::IsMouseEventUnderWay()
{
    GdkEvent* pEvent = gtk_get_current_event();
    if (!pEvent)
        return false;
    const GdkEventType type = pEvent->type;
    gdk_event_free(pEvent);
    return type == GDK_BUTTON_PRESS || type == GDK_2BUTTON_PRESS || type == GDK_3BUTTON_PRESS ||
           type == GDK_BUTTON_RELEASE;
}

void CEngineListCtrl::ShowTicksAsX()
{
    // A ticked box shows an "X", as the program's hint says ("Click on the box
    // and an 'X' will appear."), not the theme's check mark.
    GtkCssProvider* pCss = gtk_css_provider_new();
    gtk_css_provider_load_from_data(
        pCss, "check:checked { -gtk-icon-source: -gtk-icontheme(\"window-close-symbolic\"); }", -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(GtkGetTreeView()), GTK_STYLE_PROVIDER(pCss),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(pCss);
}

int CEngineListCtrl::RowOf(const wxDataViewItem& item) const
{
    return item.IsOk() ? static_cast<int>(m_pModel->GetRow(item)) : -1;
}

int CEngineListCtrl::GetFirstSelectedRow() const
{
    return RowOf(GetSelection());
}

void CEngineListCtrl::SelectRow(int nRow)
{
    UnselectAll();
    if (nRow < 0 || nRow >= GetEngineCount())
        return;
    const wxDataViewItem item = m_pModel->GetItem(static_cast<unsigned>(nRow));
    Select(item);
    SetCurrentItem(item);
    EnsureVisible(item);
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
    return dc.GetTextExtent(strText).GetWidth() + dc.GetTextExtent("M").GetWidth();
}

void CEngineListCtrl::AutoSizeEngineColumn()
{
    int nWidth = MeasureHeading(); // the heading as drawn: bold, wider than the list's font
    if (!m_engines.empty())
        nWidth = std::max(nWidth, MeasureText(ToWx(m_engines.front().m_strName)));
    wxDataViewColumn* pColumn = GetColumn(kNameColumn);
    if (pColumn && pColumn->GetWidth() < nWidth)
        pColumn->SetWidth(nWidth & 0xFFFF);
}

int CEngineListCtrl::MeasureHeading() const
{
    // The toolkit draws headings in bold with a padding: the bold text and two "M"s.
    wxClientDC dc(const_cast<CEngineListCtrl*>(this));
    dc.SetFont(GetFont().Bold());
    return dc.GetTextExtent(TrWx(kEngineColumnHeading)).GetWidth() + 2 * dc.GetTextExtent("M").GetWidth();
}

int CEngineListCtrl::GetWidthForHeading() const
{
    // Beside the tick column, a vertical scroll bar and the border.
    const int nScrollBar = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    return kTickColumnWidth + MeasureHeading() + std::max(nScrollBar, 0) + 4;
}

wxString CEngineListCtrl::GetRowText(int nRow) const
{
    if (nRow < 0 || nRow >= GetEngineCount())
        return wxString();
    const wxString strName = ToWx(m_engines[static_cast<size_t>(nRow)].m_strName);
    const wxString& strOutcome = m_rows[static_cast<size_t>(nRow)].m_strOutcome;
    // After the name, where the narrow pane shows it.
    return strOutcome.empty() ? strName : strName + " - " + strOutcome;
}

wxRect CEngineListCtrl::GetRowRect(int nRow) const
{
    if (nRow < 0 || nRow >= GetEngineCount())
        return wxRect();
    return GetItemRect(m_pModel->GetItem(static_cast<unsigned>(nRow)));
}

void CEngineListCtrl::SetOutcome(const std::string& strEngine, const std::string& strOutcome, bool bFailure)
{
    for (size_t nRow = 0; nRow < m_engines.size(); ++nRow) {
        if (m_engines[nRow].m_strName != strEngine)
            continue;
        m_rows[nRow].m_strOutcome = ToWx(strOutcome);
        m_rows[nRow].m_bFailure = bFailure;
        m_pModel->RowChanged(static_cast<unsigned>(nRow));
        return;
    }
}

void CEngineListCtrl::ShowOutcomes(const std::vector<CEngineOutcome>& outcomes)
{
    ClearOutcomes();
    for (const CEngineOutcome& outcome : outcomes)
        SetOutcome(outcome.m_strEngine, outcome.Describe(), outcome.IsFailure());
}

void CEngineListCtrl::ShowCheckVerdicts(const std::vector<CEngineCheck>& checks)
{
    ClearOutcomes();
    for (const CEngineCheck& check : checks) {
        const char* pszVerdict = check.m_nVerdict == CheckVerdict::Ok       ? Tr("works")
                                 : check.m_nVerdict == CheckVerdict::NoHits  ? Tr("definition broken")
                                 : check.m_nVerdict == CheckVerdict::Refused ? Tr("refused")
                                                                             : Tr("failed");
        SetOutcome(check.m_strEngine, std::string(pszVerdict) + ": " + DescribeDetailForUser(check),
                   check.m_nVerdict != CheckVerdict::Ok);
    }
}

void CEngineListCtrl::ClearOutcomes()
{
    for (size_t nRow = 0; nRow < m_engines.size(); ++nRow) {
        if (m_rows[nRow].m_strOutcome.empty())
            continue;
        m_rows[nRow].m_strOutcome.clear();
        m_rows[nRow].m_bFailure = false;
        m_pModel->RowChanged(static_cast<unsigned>(nRow));
    }
    m_nTipRow = -1;
    UnsetToolTip();
}

wxString CEngineListCtrl::GetOutcomeText(int nRow) const
{
    return nRow >= 0 && nRow < GetEngineCount() ? m_rows[static_cast<size_t>(nRow)].m_strOutcome : wxString();
}

bool CEngineListCtrl::IsOutcomeFailure(int nRow) const
{
    return nRow >= 0 && nRow < GetEngineCount() && m_rows[static_cast<size_t>(nRow)].m_bFailure;
}

wxString CEngineListCtrl::GetRowTip(int nRow) const
{
    const wxString strOutcome = GetOutcomeText(nRow);
    return strOutcome.empty() ? wxString() : ToWx(m_engines[static_cast<size_t>(nRow)].m_strName) + ": " + strOutcome;
}

wxPoint CEngineListCtrl::PointerPosition() const
{
    // The rows' mouse events come in the coordinates of the area below the
    // header, while hit-testing takes the control's; the pointer's place on the
    // screen is the same for both.
    return ScreenToClient(wxGetMousePosition());
}

void CEngineListCtrl::OnMotion(wxMouseEvent& event)
{
    // The row under the pointer shows its whole outcome, which a narrow pane cuts.
    event.Skip();
    wxDataViewItem item;
    wxDataViewColumn* pColumn = nullptr;
    HitTest(PointerPosition(), item, pColumn);
    const int nRow = RowOf(item);
    if (nRow == m_nTipRow)
        return;
    m_nTipRow = nRow;
    const wxString strTip = GetRowTip(nRow);
    if (strTip.empty())
        UnsetToolTip();
    else
        SetToolTip(strTip);
}

int CEngineListCtrl::OnTreeButtonPress(GtkWidget* pTree, GdkEventButton* pEvent, CEngineListCtrl* pPane)
{
    // A click on a row's name toggles it as a click on its box does (the box
    // toggles by itself). The tree view selects the row first.
    GtkTreeView* pView = GTK_TREE_VIEW(pTree);
    if (pEvent->type != GDK_BUTTON_PRESS || pEvent->button != 1 || pEvent->window != gtk_tree_view_get_bin_window(pView))
        return FALSE;
    GtkTreePath* pPath = nullptr;
    GtkTreeViewColumn* pColumn = nullptr;
    if (!gtk_tree_view_get_path_at_pos(pView, static_cast<gint>(pEvent->x), static_cast<gint>(pEvent->y), &pPath,
                                       &pColumn, nullptr, nullptr))
        return FALSE;
    gtk_tree_path_free(pPath);
    if (pColumn == GTK_TREE_VIEW_COLUMN(pPane->GetColumn(kNameColumn)->GetGtkHandle()))
        pPane->CallAfter([pPane] { pPane->ToggleFirstSelectedRow(); });
    return FALSE;
}

void CEngineListCtrl::OnKey(wxKeyEvent& event)
{
    // Space ticks and unticks the current row; the Menu key and Shift+F10 open
    // the pane's menu, as a right click does.
    const int nKey = event.GetKeyCode();
    if (nKey == WXK_SPACE && event.GetModifiers() == wxMOD_NONE) {
        const int nCurrent = RowOf(GetCurrentItem());
        if (nCurrent >= 0) {
            SelectRow(nCurrent);
            ToggleFirstSelectedRow();
        }
        return;
    }
    // The list would take Return as activating the row, which toggles it: a
    // user pressing Return to search would lose an engine without a word.
    if ((nKey == WXK_RETURN || nKey == WXK_NUMPAD_ENTER) && event.GetModifiers() == wxMOD_NONE) {
        if (m_onReturn)
            m_onReturn();
        return;
    }
    if ((nKey == WXK_MENU || nKey == WXK_WINDOWS_MENU || (nKey == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT)) &&
        m_onRightClick) {
        m_onRightClick();
        return;
    }
    event.Skip();
}
