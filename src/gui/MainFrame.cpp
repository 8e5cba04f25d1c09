// SPDX-License-Identifier: MIT
#include "gui/MainFrame.h"

#include "gui/ProfileSettings.h"
#include "gui/CatalogueEditor.h"
#include "gui/Commands.h"
#include "gui/QuestrelDoc.h"
#include "gui/SettingsStore.h"
#include "engines/CatalogueUpdate.h"
#include "engines/EngineCatalogue.h"
#include "gui/EngineDlg.h"
#include "platform/FileUtil.h"
#include "platform/ShellOpen.h"
#include "results/LinkOpening.h"
#include "platform/TextUtil.h"
#include "search/SearchTexts.h"
#include "workbench/EngineCheck.h"
#include "search/TemplateFormat.h"
#include "gui/AboutDlg.h"
#include "gui/AppIcon.h"
#include "gui/CommOptionsDlg.h"
#include "gui/EngineListCtrl.h"
#include "gui/MessageBox.h"
#include "gui/QuestrelView.h"
#include "gui/ResultListCtrl.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"
#include "gui/WindowPlacement.h"

#include <algorithm>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

namespace {

// The status bar's fields after the message.
constexpr int kHitsField = 1;
constexpr int kFirstLockField = 2;

} // namespace

CMainFrame::CMainFrame(CAppModel& model)
    : wxFrame(nullptr, wxID_ANY, kAppTitle, wxDefaultPosition, wxSize(900, 600)), m_model(model), m_lockTimer(this)
{
    SetIcons(GetAppIconBundle());
    // The panes, with the catalogue loaded, before the bars and the options.
    m_pSplitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                       wxSP_LIVE_UPDATE | wxSP_3D);
    m_pEngineView = new CEngineListCtrl(m_pSplitter, wxID_ANY);
    m_pFormView = new CQuestrelView(m_pSplitter, m_model, *this, *m_pEngineView);
    m_pFormView->SetSearchStateHandler([this] { UpdateCommandStates(); });
    m_model.Attach(this, [this](int nOptionId) { OnModelChanged(nOptionId); });
    m_pSplitter->SetMinimumPaneSize(60);
    m_pSplitter->SplitVertically(m_pEngineView, m_pFormView, GetDefaultEnginePaneWidth());
    m_pSplitter->Bind(wxEVT_SPLITTER_SASH_POS_CHANGED, [this](wxSplitterEvent& event) {
        event.Skip();
        if (!m_bSplitterSizing) // the splitter's own squeeze while it is sized is no choice of the user's
            m_nSashPosition = event.GetSashPosition();
    });
    m_pSplitter->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        m_bSplitterSizing = true;
        CallAfter([this] {
            m_bSplitterSizing = false;
            if (m_pSplitter->GetSashPosition() != m_nSashPosition &&
                m_pSplitter->GetClientSize().GetWidth() > m_nSashPosition + m_pSplitter->GetMinimumPaneSize())
                m_pSplitter->SetSashPosition(m_nSashPosition);
        });
    });
    m_pCatalogue = std::make_unique<CCatalogueEditor>(*this, *m_pEngineView, m_model, *this);
    m_pEngineView->SetRightClickHandler([this] { m_pCatalogue->ShowEngineMenu(); });
    m_pEngineView->SetReturnHandler([this] { m_pFormView->OnSearch(); });
    m_pCatalogue->LoadEngines();
    if (GetSettings().IsUnreadable())
        ShowMessageBox(this, FormatTemplate(Tr(kMsgProfileUnreadable), {CTemplateArg::Text(GetSettings().GetPath())}),
                       kAppCaption, wxOK | wxICON_EXCLAMATION);

    CreateMenus();
    CreateToolBarAndStatusBar();
    OnModelChanged(0);
    RestoreWindowPlacement();
    if (m_model.GetContext().m_nEnginesUpdated > 0)
        ShowStatusText(ToWx(FormatTemplate(TrN(kMsgEnginesUpdated, m_model.GetContext().m_nEnginesUpdated),
                                           {CTemplateArg::Int(m_model.GetContext().m_nEnginesUpdated)})));
    m_pCatalogue->TellNewerShippedDefinitions();

    // The first document: the form's values from the profile.
    m_pDocument = std::make_unique<CQuestrelDoc>(*this, m_model, *this, *m_pEngineView, *m_pFormView);
    m_pDocument->SetTitleHandler([this] { UpdateTitle(); });
    m_pDocument->OnNewDocument(false);
    UpdateTitle();

    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { UpdateLockIndicators(); });
    m_lockTimer.Start(250);
    DragAcceptFiles(true);
    Bind(wxEVT_DROP_FILES, [this](wxDropFilesEvent& event) {
        if (event.GetNumberOfFiles() > 0)
            m_pDocument->OpenNamedDocument(FromWx(event.GetFiles()[0]));
    });
}

CMainFrame::~CMainFrame()
{
    m_model.Attach(nullptr, {});
}

void CMainFrame::CreateMenus()
{
    SetMenuBar(CreateMenuBar(m_model.GetContext().m_bEngineEditing));

    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pDocument->OnFileNew(); }, wxID_NEW);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pDocument->OnFileOpen(); }, wxID_OPEN);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pDocument->OnFileSave(); }, wxID_SAVE);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pDocument->OnFileSaveAs(); }, wxID_SAVEAS);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pFormView->OnExportResults(); }, ID_EXPORT_RESULTS);
    for (const int nId : {wxID_PRINT, wxID_PREVIEW, wxID_PRINT_SETUP})
        Bind(wxEVT_MENU, [this, nId](wxCommandEvent&) { m_pFormView->OnPrint(nId); }, nId);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnNewEngine(); }, ID_NEW_ENGINE);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnEditEngine(); }, ID_EDIT_ENGINE);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnDeleteEngine(); }, ID_DELETE_ENGINE);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnSelectAllEngines(); }, ID_SELECT_ALL_ENGINES);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnClearAllEngines(); }, ID_CLEAR_ALL_ENGINES);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnCheckEngines(); }, ID_CHECK_ENGINES);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnRestoreShippedDefinition(); }, ID_RESTORE_SHIPPED);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pCatalogue->OnMendEngine(); }, ID_MEND_ENGINE);
    for (const int nId : CAppModel::GetOptionIds())
        Bind(wxEVT_MENU, [this, nId](wxCommandEvent&) { OnToggleOption(nId); }, nId);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnCommunication(); }, ID_COMMUNICATION);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnHelp(1); }, ID_HELP_CONTENTS);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnHelp(4); }, ID_HELP_HOWTO);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnAbout(); }, wxID_ABOUT);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) {
        GetToolBar()->Show(!GetToolBar()->IsShown());
        SetMenuCheck(GetToolBar()->IsShown(), ID_VIEW_TOOLBAR);
        SendSizeEvent();
    }, ID_VIEW_TOOLBAR);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) {
        GetStatusBar()->Show(!GetStatusBar()->IsShown());
        SetMenuCheck(GetStatusBar()->IsShown(), ID_VIEW_STATUS_BAR);
        SendSizeEvent();
    }, ID_VIEW_STATUS_BAR);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { SetSashPosition(GetDefaultEnginePaneWidth()); }, ID_WINDOW_SPLIT);
    // F6 / Shift+F6 cycle query field -> engine list -> result list and back.
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { MoveToPane(+1); }, ID_NEXT_PANE);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { MoveToPane(-1); }, ID_PREV_PANE);
    // Escape stops a running search.
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_pFormView->OnStop(); }, ID_STOP_SEARCH);
    wxAcceleratorEntry entries[] = {
        {wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
        {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},
        {wxACCEL_NORMAL, WXK_ESCAPE, ID_STOP_SEARCH},
    };
    SetAcceleratorTable(wxAcceleratorTable(3, entries));
}

void CMainFrame::CreateToolBarAndStatusBar()
{
    wxToolBar* pToolBar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
    auto tool = [pToolBar](int nId, const wxString& strLabel) {
        pToolBar->AddTool(nId, strLabel, GetToolbarBundle(nId), strLabel, wxITEM_NORMAL);
        pToolBar->SetToolLongHelp(nId, wxString::FromUTF8(CommandPrompt(nId)));
    };
    tool(wxID_NEW, TrWx("New"));
    tool(wxID_OPEN, TrWx("Open"));
    tool(wxID_SAVE, TrWx("Save"));
    pToolBar->AddSeparator();
    tool(wxID_ABOUT, TrWx("About"));
    pToolBar->Realize();

    // Message, hit count, then the CAP, NUM and SCRL indicators.
    wxStatusBar* pStatus = CreateStatusBar(5);
    const int widths[] = {-1, 110, 48, 48, 48};
    pStatus->SetStatusWidths(5, widths);
    SetStatusBarPane(0);
    ShowStatusText(TrWx(kIdleText));
    SetMenuCheck(true, ID_VIEW_TOOLBAR);
    SetMenuCheck(true, ID_VIEW_STATUS_BAR);
    UpdateLockIndicators();
}

void CMainFrame::OnModelChanged(int nOptionId)
{
    for (const int nId : CAppModel::GetOptionIds())
        if (nOptionId == 0 || nId == nOptionId)
            SetMenuCheck(m_model.IsOptionOn(nId), nId);
    if (nOptionId == 0 || nOptionId == ID_ORDER_BY_RANK)
        m_pFormView->GetResultList().SetRankOrder(m_model.GetSearchSettings().m_bOrderByRank);
    if (nOptionId == 0)
        m_pFormView->TransferToForm();
}

void CMainFrame::SetMenuCheck(bool bChecked, int nId)
{
    if (wxMenuItem* pItem = GetMenuBar() ? GetMenuBar()->FindItem(nId) : nullptr)
        if (pItem->IsCheckable())
            pItem->Check(bChecked);
}

void CMainFrame::ShowStatusText(const wxString& strText)
{
    m_strStatusText = strText;
    if (GetStatusBar())
        SetStatusText(strText, 0);
    if (m_statusObserver)
        m_statusObserver(strText);
}

void CMainFrame::ShowStatusTexts(const std::vector<std::string>& texts)
{
    if (texts.empty())
        return;
    // The bar shows the latest; painting each of thousands of progress texts
    // would hold the window.
    if (m_statusObserver)
        for (size_t i = 0; i + 1 < texts.size(); ++i)
            m_statusObserver(ToWx(texts[i]));
    ShowStatusText(ToWx(texts.back()));
}

wxString CMainFrame::GetStatusMessage() const
{
    return GetStatusBar() ? GetStatusBar()->GetStatusText(0) : wxString();
}

void CMainFrame::ShowHitCount(int nHits)
{
    if (GetStatusBar())
        SetStatusText(nHits < 0 ? wxString() : wxString::Format(TrWxN("%d hit", "%d hits", static_cast<unsigned long>(nHits)), nHits), kHitsField);
}

wxString CMainFrame::GetHitCountText() const
{
    return GetStatusBar() ? GetStatusBar()->GetStatusText(kHitsField) : wxString();
}

void CMainFrame::DoGiveHelp(const wxString& strText, bool bShow)
{
    // A highlighted menu item shows its prompt; when the menu closes, what the
    // bar said before returns (a search's summary stays readable).
    if (GetStatusBar())
        SetStatusText(bShow ? strText : m_strStatusText, 0);
}

void CMainFrame::UpdateLockIndicators()
{
    wxStatusBar* pStatus = GetStatusBar();
    if (!pStatus)
        return;
    const std::pair<wxKeyCode, const char*> keys[] = {{WXK_CAPITAL, "CAP"}, {WXK_NUMLOCK, "NUM"}, {WXK_SCROLL, "SCRL"}};
    for (int i = 0; i < 3; ++i) {
        const wxString strText = wxGetKeyState(keys[i].first) ? keys[i].second : "";
        if (pStatus->GetStatusText(kFirstLockField + i) != strText)
            pStatus->SetStatusText(strText, kFirstLockField + i);
    }
}

void CMainFrame::UpdateTitle()
{
    SetTitle((m_pDocument ? m_pDocument->GetTitle() : TrWx(kUntitled)) + " - " + kAppTitle);
}

void CMainFrame::UpdateCommandStates()
{
    // File New and Open would replace the rows the worker is filling.
    const bool bSearching = m_pFormView->IsSearching();
    if (wxMenuBar* pBar = GetMenuBar()) {
        pBar->Enable(wxID_NEW, !bSearching);
        pBar->Enable(wxID_OPEN, !bSearching);
    }
    if (wxToolBar* pToolBar = GetToolBar()) {
        pToolBar->EnableTool(wxID_NEW, !bSearching);
        pToolBar->EnableTool(wxID_OPEN, !bSearching);
    }
}

// ---------------------------------------------------------------------------
// Options, connection, help

void CMainFrame::OnCommunication()
{
    const CSearchSettings& now = m_model.GetSearchSettings();
    CCommOptionsDlg dialog(this, now.m_nConnectMethod, now.m_strProxy, now.m_strPort, now.m_strUserAgent);
    dialog.m_nTimeoutSeconds = now.m_nTimeoutSeconds;
    if (RunModalDialog(dialog) != wxID_OK)
        return;
    CSearchSettings settings = now;
    settings.m_nTimeoutSeconds = dialog.m_nTimeoutSeconds;
    settings.m_strUserAgent = dialog.m_strUserAgent.empty() ? kDefaultUserAgent : dialog.m_strUserAgent;
    settings.m_nConnectMethod = dialog.m_nMethod;
    settings.m_strProxy = dialog.m_nMethod == kConnectProxy ? dialog.m_strProxy : std::string();
    settings.m_strPort = dialog.m_nMethod == kConnectProxy ? dialog.m_strPort : std::string();
    m_model.SetConnection(settings);
}

bool CMainFrame::OnHelp(int nTopic)
{
    const std::string& strHelpDir = m_model.GetContext().m_strHelpDir;
    const std::string strPage = strHelpDir + (nTopic == 4 ? "howto.html" : "index.html");
    std::string strWhy;
    if (strHelpDir.empty() || !FileExists(strPage))
        strWhy = FormatTemplate(Tr("The help file is not there: %s"),
                                {CTemplateArg::Text(strHelpDir.empty() ? Tr("(no help folder)") : strPage)});
    else
        strWhy = OpenFailureText(ShellOpen(strPage), strPage);
    if (!strWhy.empty()) {
        ShowMessageBox(this, TrWx(kMsgHelpFailed) + "\n\n" + ToWx(strWhy), kAppCaption, wxOK | wxICON_EXCLAMATION);
        return false;
    }
    return true;
}

void CMainFrame::OnAbout()
{
    CAboutDlg dialog(this);
    RunModalDialog(dialog);
}

// ---------------------------------------------------------------------------
// Closing

void CMainFrame::SaveSettingsAtExit()
{
    if (!m_model.IsOptionOn(ID_TOGGLE_SAVE_SETTINGS))
        return;
    ProfileValues values;
    for (int i = 0; i < m_pEngineView->GetEngineCount(); ++i)
        values.emplace_back(m_pEngineView->GetEngines()[static_cast<size_t>(i)].m_strName,
                            std::to_string(m_pEngineView->GetRowImage(i)));
    m_pFormView->TransferFromForm();
    for (auto& value : GetProfileValues(m_model.GetSearchSettings(), ProfileGroup::Form))
        values.push_back(std::move(value));
    GetSettings().WriteTexts(values); // the window is going: nowhere left to say it failed
}

void CMainFrame::SaveWindowPlacement()
{
    // Where the window was, unless it was made full-screen or tiny; the pane's
    // and the columns' widths in any case.
    const bool bNormal = !IsIconized() && !IsMaximized() && !IsFullScreen();
    m_model.NoteSettingsWritten(WriteWindowPlacement(GetSettings(), {GetRect(), bNormal, m_pSplitter->GetSashPosition(),
                                                             m_pFormView->GetResultList().GetUserColumnWidths(),
                                                             IsMaximized()}));
}

void CMainFrame::RestoreWindowPlacement()
{
    CWindowPlacement placement = ReadWindowPlacement(GetSettings(), GetRect());
    if (placement.m_nSash == 0) // none kept: the default for the window's size
        placement.m_nSash = DefaultEnginePaneWidth(placement.m_rect.width);
    SetSize(placement.m_rect);
    m_bPlaceAfterShow = placement.m_bPositioned;
    // The engine pane keeps its width (the one the user last gave it) through
    // every change of the window's size: a window manager sizes the window
    // after it is shown, passing through sizes too narrow for the pane, which
    // pushed the sash to the left for good.
    m_nSashPosition = placement.m_nSash;
    m_pSplitter->SetSashPosition(m_nSashPosition);
    m_pFormView->GetResultList().SetUserColumnWidths(placement.m_columnWidths);
    if (placement.m_bMaximized)
        Maximize();
}

bool CMainFrame::Show(bool bShow)
{
    if (bShow && !IsShown()) {
        PrepareFirstShow(*this);
        if (m_bPlaceAfterShow)
            MoveWhenMapped(*this, GetPosition());
    }
    m_bPlaceAfterShow = false;
    return wxFrame::Show(bShow);
}

void CMainFrame::MoveToPane(int nStep)
{
    wxWindow* const panes[] = {m_pFormView->FindWindow(IDC_SEARCH_FOR), m_pEngineView, &m_pFormView->GetResultList()};
    int nNow = 0;
    for (const wxWindow* pFocus = wxWindow::FindFocus(); pFocus; pFocus = pFocus->GetParent())
        for (int i = 0; i < 3; ++i)
            nNow = pFocus == panes[i] ? i : nNow;
    panes[(nNow + nStep + 3) % 3]->SetFocus();
}

void CMainFrame::FocusQueryField()
{
    if (wxWindow* pQuery = m_pFormView->FindWindow(IDC_SEARCH_FOR))
        pQuery->SetFocus();
}

int CMainFrame::GetDefaultEnginePaneWidth() const
{
    return DefaultEnginePaneWidth(GetSize().GetWidth());
}

int CMainFrame::DefaultEnginePaneWidth(int nWindowWidth) const
{
    // What the pane's heading needs, at least 200 pixels, but no more than 40%
    // of the window: on a small screen the form comes first.
    return std::max(200, std::min(m_pEngineView->GetWidthForHeading(), nWindowWidth * 2 / 5));
}

int CMainFrame::GetSashPosition() const
{
    return m_pSplitter->GetSashPosition();
}

void CMainFrame::SetSashPosition(int nPosition)
{
    m_nSashPosition = nPosition;
    m_pSplitter->SetSashPosition(nPosition);
}

void CMainFrame::OnClose(wxCloseEvent& event)
{
    // A running search ends, and its worker is joined, before anything goes.
    m_pFormView->CancelSearch();
    m_pCatalogue->CancelCheck();
    m_lockTimer.Stop();
    SaveWindowPlacement();
    SaveSettingsAtExit();
    event.Skip(); // the frame is destroyed
}
