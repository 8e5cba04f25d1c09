// SPDX-License-Identifier: MIT
#include "gui/QuestrelView.h"

#include "platform/FileUtil.h"
#include "platform/ShellOpen.h"
#include "results/HitExport.h"
#include "platform/Url.h"
#include "results/LinkOpening.h"
#include "gui/ResultListCtrl.h"
#include "gui/ResultPrinting.h"
#include "search/TemplateFormat.h"
#include "results/ResultsPage.h"
#include "search/QueryComposer.h"
#include "search/SearchTexts.h"
#include "gui/Accessibility.h"
#include "gui/EngineListCtrl.h"
#include "gui/GuiSearchHost.h"
#include "gui/AppModel.h"
#include "gui/Commands.h"
#include "gui/StatusSink.h"
#include "gui/MessageBox.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"

#include <algorithm>
#include <filesystem>
#include <wx/activityindicator.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/valtext.h>

#include <climits>

CQuestrelView::CQuestrelView(wxWindow* pParent, CAppModel& model, IStatusSink& status, CEngineListCtrl& engines)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL), m_model(model), m_status(status),
      m_engines(engines)
{
    CreateControls();
    m_pResultList->SetColumnCount(3);
    m_pResultList->BindColumn(0, TrWx(kColumnDescription), &m_strDescription);
    m_pResultList->BindColumn(1, TrWx(kColumnUrl), &m_strUrl);
    m_pResultList->BindColumn(2, TrWx(kColumnEngine), &m_strEngine);
    m_pResultList->AppendFoundByColumn(TrWx(kColumnFoundBy));
    m_rows.SetChangeListener([this] { m_pResultList->RequestSync(); });
    m_pStopButton->Disable();
}

CQuestrelView::~CQuestrelView()
{
    // The worker ends before the session and the rows it uses go.
    CancelSearch();
    m_rows.SetChangeListener(nullptr);
    CloseInternetSession();
}

void CQuestrelView::CreateControls()
{
    auto* pTop = new wxBoxSizer(wxVERTICAL);

    auto* pRow1 = new wxBoxSizer(wxHORIZONTAL);
    pRow1->Add(new wxStaticText(this, wxID_ANY, TrWx("Search For")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    m_pQueryEdit = new wxTextCtrl(this, IDC_SEARCH_FOR, wxEmptyString, wxDefaultPosition,
                                  wxSize(280, -1), wxTE_PROCESS_ENTER);
    pRow1->Add(m_pQueryEdit, 1, wxALIGN_CENTER_VERTICAL);
    m_pSearchButton = new wxButton(this, IDC_SEARCH, TrWx("&Search"));
    m_pSearchButton->SetDefault();
    pRow1->Add(m_pSearchButton, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
    // Search and Stop are never enabled together: the toolkit gives Alt+S to the one that is.
    m_pStopButton = new wxButton(this, IDC_STOP, TrWx("&Stop"));
    pRow1->Add(m_pStopButton, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 2);
    m_pAnimation = new wxActivityIndicator(this, IDC_ANIMATION, wxDefaultPosition, wxSize(24, 24));
    pRow1->Add(m_pAnimation, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 8);
    pTop->Add(pRow1, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);

    auto* pRow2 = new wxBoxSizer(wxHORIZONTAL);
    m_pMaxHitsLabel = new wxStaticText(this, IDC_MAX_HITS_LABEL, TrWx("Max. Hits"));
    pRow2->Add(m_pMaxHitsLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    m_pMaxHitsEdit = new wxTextCtrl(this, IDC_MAX_HITS, wxEmptyString, wxDefaultPosition, wxSize(60, -1),
                                    0, wxTextValidator(wxFILTER_DIGITS));
    pRow2->Add(m_pMaxHitsEdit, 0, wxALIGN_CENTER_VERTICAL);
    pRow2->Add(new wxStaticText(this, wxID_ANY, TrWx("Options")), 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 8);
    m_pOptions = new wxChoice(this, IDC_OPTIONS);
    // The list is sorted: index 0 is "all words", 1 "any word", 2 "entire phrase".
    for (const char* pszText : kSearchOptionTexts)
        m_pOptions->Append(TrWx(pszText));
    pRow2->Add(m_pOptions, 1, wxALIGN_CENTER_VERTICAL);
    pTop->Add(pRow2, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);

    auto* pRow3 = new wxBoxSizer(wxHORIZONTAL);
    m_pAllHits = new wxCheckBox(this, IDC_ALL_HITS, TrWx("All Hits"), wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT);
    pRow3->Add(m_pAllHits, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 40);
    m_pClearButton = new wxButton(this, IDC_CLEAR_RESULTS, TrWx("&Clear Results"));
    pRow3->Add(m_pClearButton, 0, wxALIGN_CENTER_VERTICAL);
    pTop->Add(pRow3, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);

    // The result list fills the rest of the form, 5 pixels below Clear Results.
    m_pResultList = new CResultListCtrl(this, IDC_RESULTS, m_rows);
    pTop->Add(m_pResultList, 1, wxEXPAND | wxTOP, 5);
    SetSizer(pTop);

    // The labels stand beside their controls; screen readers get them as names.
    SetAccessibleName(m_pQueryEdit, TrWx("Search For"));
    SetAccessibleName(m_pMaxHitsEdit, TrWx("Max. Hits"));
    SetAccessibleName(m_pOptions, TrWx("Options"));
    SetAccessibleName(m_pAllHits, TrWx("All Hits"));

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSearch(); }, IDC_SEARCH);
    Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { OnSearch(); }, IDC_SEARCH_FOR);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnStop(); }, IDC_STOP);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClearResults(); }, IDC_CLEAR_RESULTS);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnAllHitsClicked(); }, IDC_ALL_HITS);
    m_pResultList->SetOpenHandler([this](int nRow) { OpenResult(nRow); });
}

// ---------------------------------------------------------------------------
// Values

void CQuestrelView::TransferToForm()
{
    const CSearchSettings& settings = m_model.GetSearchSettings();
    m_pQueryEdit->ChangeValue(ToWx(settings.m_strQuery));
    SetSearchOption(settings.m_nSearchOption);
    m_pMaxHitsEdit->ChangeValue(wxString::Format("%d", settings.m_nHitLimit));
    m_pAllHits->SetValue(settings.m_bAllHits);
    UpdateHitLimitState(); // the field follows the box after every load
}

bool CQuestrelView::TransferFromForm()
{
    CSearchSettings settings = m_model.GetSearchSettings();
    settings.m_strQuery = FromWx(m_pQueryEdit->GetValue());
    settings.m_nSearchOption = GetSearchOption();
    settings.m_bAllHits = m_pAllHits->GetValue();
    const wxString strHits = m_pMaxHitsEdit->GetValue().Strip(wxString::both);
    long nValue = 0;
    bool bValid = true;
    if (settings.m_bAllHits) {
        // A disabled field is not validated: All Hits does not use it.
        if (strHits.ToLong(&nValue) && IsValidHitLimit(nValue))
            settings.m_nHitLimit = static_cast<int>(nValue);
    } else if (strHits.empty() || !strHits.ToLong(&nValue) || nValue < INT_MIN || nValue > INT_MAX) {
        ShowMessageBox(this, TrWx(kMsgEnterInteger), kAppCaption, wxOK | wxICON_EXCLAMATION);
        bValid = false;
    } else {
        // Kept even when out of range: a saved document keeps what the field said.
        settings.m_nHitLimit = static_cast<int>(nValue);
        if (!IsValidHitLimit(nValue)) {
            ShowMessageBox(this, TrWx(kMsgEnterIntegerRange), kAppCaption, wxOK | wxICON_EXCLAMATION);
            bValid = false;
        }
    }
    m_model.StoreSearchSettings(settings);
    if (!bValid)
        m_pMaxHitsEdit->SetFocus();
    return bValid;
}

int CQuestrelView::GetSearchOption() const
{
    return m_pOptions->GetSelection();
}

void CQuestrelView::SetSearchOption(int nOption)
{
    m_pOptions->SetSelection(nOption >= 0 && nOption < 3 ? nOption : wxNOT_FOUND);
}

void CQuestrelView::UpdateHitLimitState()
{
    m_pMaxHitsEdit->Enable(!m_pAllHits->GetValue());
    m_pMaxHitsLabel->Enable(!m_pAllHits->GetValue());
}

void CQuestrelView::OnAllHitsClicked()
{
    // The field follows the box at once; its value is checked when a search needs it.
    UpdateHitLimitState();
}

// ---------------------------------------------------------------------------
// Search and Stop

bool CQuestrelView::CollectChosenEngines(std::vector<CSearchEngine>& chosen) const
{
    chosen = m_engines.GetTickedEngines();
    return !chosen.empty();
}

void CQuestrelView::SetSearchingState(bool bSearching)
{
    // The keyboard stays in the window: the control with the focus is about to
    // be disabled, so the result list takes it (Escape stops from there), and
    // gets it back when the search ends, unless the user has moved it since.
    wxWindow* pFocus = wxWindow::FindFocus();
    if (bSearching) {
        const bool bInWindow = pFocus && wxGetTopLevelParent(pFocus) == wxGetTopLevelParent(this);
        m_pFocusBeforeSearch = bInWindow ? pFocus : static_cast<wxWindow*>(m_pQueryEdit);
        m_pResultList->SetFocus();
    }
    m_pQueryEdit->Enable(!bSearching);
    m_pSearchButton->Enable(!bSearching);
    m_pStopButton->Enable(bSearching);
    const bool bAllHits = m_pAllHits->GetValue();
    m_pMaxHitsEdit->Enable(!bSearching && !bAllHits);
    if (!bSearching)
        m_pMaxHitsLabel->Enable(!bAllHits);
    m_pOptions->Enable(!bSearching);
    m_pAllHits->Enable(!bSearching);
    m_engines.Enable(!bSearching);
    if (bSearching) {
        m_pAnimation->Start();
    } else {
        m_pAnimation->Stop();
        const bool bFocusWhereTheSearchPutIt = !pFocus || !pFocus->IsEnabled() || pFocus == m_pResultList ||
                                               m_pResultList->IsDescendant(pFocus);
        wxWindow* pBack = m_pFocusBeforeSearch.get();
        if (bFocusWhereTheSearchPutIt && pBack && pBack->IsEnabled() && pBack->IsShownOnScreen())
            pBack->SetFocus();
    }
}


void CQuestrelView::OnSearch()
{
    if (m_bSearching)
        return;
    if (m_searchRun.IsBusy()) {
        // A stopped worker is still winding down: the window does not wait for
        // it; the search starts when it has ended (OnWorkerEnded).
        m_bSearchWhenEnded = true;
        ShowStatusText(Tr(kStatusWaitingForStoppedSearch));
        return;
    }
    wxBusyCursor wait;
    if (!TransferFromForm())
        return;
    std::vector<CSearchEngine> chosen;
    if (!CollectChosenEngines(chosen)) {
        ShowMessageBox(this, TrWx(kMsgNoEngineChosen), kAppCaption, wxOK);
        return;
    }
    if (!PrepareSession())
        return;

    m_searchRun.Join(); // the worker has ended (IsBusy above): at once
    ++m_nSearchId;
    m_pHost = std::make_unique<CGuiSearchHost>(*this, m_nSearchId);
    CSearchJob job;
    if (!BuildSearchJob(m_model.GetSearchSettings(), std::move(chosen), job))
        return; // the form's validation has said why
    job.m_pSession = m_pSession.get();
    job.m_pSessionOwner = m_pSession;
    job.m_pHost = m_pHost.get();
    job.m_pResultList = &m_rows;
    // The desktop program keeps its results page in the user's cache, not in
    // whatever folder it was started from.
    job.m_strResultsPagePath = GetXdgCacheHome() + "/questrel/" + kResultsPageFileName;
    if (job.m_settings.m_bShowResultsPage) {
        std::error_code ec;
        std::filesystem::create_directories(GetXdgCacheHome() + "/questrel", ec);
    }
    m_pOutcomes = std::make_shared<CSearchOutcomes>();
    job.m_pOutcomes = m_pOutcomes;
    m_workerMessages.clear();
    m_bVerifiedSearch = job.m_settings.m_bVerifyLinks;

    SetSearchingState(true);
    m_status.ShowHitCount(-1);
    m_engines.ClearOutcomes();
    m_rows.DeleteAllRows();
    m_pResultList->SyncRows();
    m_pResultList->SetHighlightWords(m_model.GetSearchSettings().m_strQuery);
    m_bSearching = true;
    SearchStateChanged();
    m_searchRun.Start(std::move(job), [this] { CallAfter([this] { OnWorkerEnded(); }); });
}

void CQuestrelView::OnWorkerEnded()
{
    if (m_searchRun.IsBusy())
        return;
    m_searchRun.Join();
    if (m_bSearchWhenEnded && !m_bSearching) {
        m_bSearchWhenEnded = false;
        OnSearch();
    }
}

void CQuestrelView::OnStop()
{
    if (!m_bSearching)
        return;
    wxBusyCursor wait;
    // The worker ends by itself at once; it is not waited for here (the next
    // search or the end of the program does), so the window never hangs on it.
    m_searchRun.Cancel();
    OnSearchFinished();
}

void CQuestrelView::CancelSearch()
{
    m_searchRun.Cancel();
    m_bSearchWhenEnded = false;
    // The worker must end before the rows and the session it uses go; the
    // window does not stay on the screen, unanswering, meanwhile.
    if (m_searchRun.IsBusy())
        if (wxWindow* pTop = wxGetTopLevelParent(this))
            pTop->Hide();
    m_searchRun.Join();
    m_bSearching = false;
}

void CQuestrelView::OnSearchFinished()
{
    if (!m_bSearching)
        return; // once per search
    m_bSearching = false;
    TransferToForm();
    SetSearchingState(false);
    SearchStateChanged();
    m_status.ShowHitCount(m_rows.GetRowCount());
    if (m_pOutcomes) {
        m_pOutcomes->CancelPending(); // after Stop: what did not finish was cancelled
        std::vector<CEngineOutcome> outcomes = m_pOutcomes->Get();
        // -1: links were not verified.
        const int nDeadRemoved = m_bVerifiedSearch ? RecountAfterVerifying(outcomes, m_rows) : -1;
        m_engines.ShowOutcomes(outcomes);
        ReportFailures(outcomes, nDeadRemoved);
    }
    if (m_rows.GetRowCount() > 0 && m_model.IsOptionOn(ID_TOGGLE_SHOW_HINTS)) {
        bool bDontShowAgain = false;
        ShowMessageBox(this, TrWx(kMsgResultsHint), TrWx(kHintCaption), wxOK, bDontShowAgain);
        if (bDontShowAgain)
            m_model.ToggleOption(ID_TOGGLE_SHOW_HINTS);
    }
}

void CQuestrelView::PostFromWorker(int nSearchId, std::function<void()> call)
{
    CallAfter([this, nSearchId, call = std::move(call)] {
        if (nSearchId == m_nSearchId)
            call();
    });
}

void CQuestrelView::ShowStatusTexts(const std::vector<std::string>& texts)
{
    m_status.ShowStatusTexts(texts);
}

void CQuestrelView::ShowStatusText(const std::string& strText)
{
    m_status.ShowStatusText(ToWx(strText));
}

void CQuestrelView::SearchStateChanged()
{
    if (m_onSearchState)
        m_onSearchState();
}

void CQuestrelView::NoteWorkerMessage(const std::string& strText)
{
    m_workerMessages.push_back(strText);
}

void CQuestrelView::ReportFailures(const std::vector<CEngineOutcome>& outcomes, int nDeadRemoved)
{
    // The search's summary in the status bar, unless it was stopped: the hits,
    // the dead links Verify Links removed, the engines that failed.
    const auto nFailed = std::count_if(outcomes.begin(), outcomes.end(),
                                       [](const CEngineOutcome& outcome) { return outcome.IsFailure(); });
    const bool bStopped = std::any_of(outcomes.begin(), outcomes.end(), [](const CEngineOutcome& outcome) {
        return outcome.m_nKind == CEngineOutcome::Kind::Cancelled;
    });
    if (!bStopped && (nFailed > 0 || nDeadRemoved >= 0)) {
        std::string strSummary = FormatTemplate(TrN(kStatusHitsFound, m_rows.GetRowCount()), {CTemplateArg::Int(m_rows.GetRowCount())});
        if (nDeadRemoved >= 0)
            strSummary += FormatTemplate(TrN(kStatusDeadRemoved, nDeadRemoved), {CTemplateArg::Int(nDeadRemoved)});
        if (nFailed > 0)
            strSummary += FormatTemplate(TrN(kStatusEnginesFailed, nFailed), {CTemplateArg::Int(nFailed),
                                                                CTemplateArg::Int(static_cast<long long>(outcomes.size()))});
        m_status.ShowStatusText(ToWx(strSummary + "."));
    }
    const std::string strText = FailureReport(outcomes, m_workerMessages);
    m_workerMessages.clear();
    if (!strText.empty() && m_model.IsOptionOn(ID_TOGGLE_REPORT_FAILURES))
        ShowMessageBox(wxGetTopLevelParent(this), ToWx(strText), kAppCaption, wxOK | wxICON_WARNING);
}

// ---------------------------------------------------------------------------
// The internet session

bool CQuestrelView::PrepareSession()
{
    if (m_model.IsReconnectPending()) {
        if (ShowMessageBox(this, TrWx(kMsgReconnect), TrWx(kQuestionCaption), wxYES_NO | wxICON_QUESTION) == wxYES)
            CloseInternetSession();
        m_model.ClearReconnectPending();
    }
    if (!m_pSession)
        OnConnect();
    return m_pSession != nullptr;
}

bool CQuestrelView::OnConnect()
{
    if (m_bSearching)
        return false; // the running search uses the session
    wxBusyCursor wait;
    m_status.ShowStatusText(TrWx(kStatusCreateInternet));
    CloseInternetSession();
    const CSessionOptions options = m_model.GetSessionOptions();
    std::string strError;
    m_pSession = OpenInternetSession(options, &strError);
    if (!m_pSession) {
        ShowMessageBox(this, ToWx(strError.substr(0, 511)), TrWx(kMsgConnectionProblemCaption), wxOK);
        return false;
    }
    m_status.ShowStatusText(TrWx(kStatusConnectedInternet));
    return true;
}

void CQuestrelView::CloseInternetSession()
{
    m_pSession.reset();
}

// ---------------------------------------------------------------------------
// The result list

void CQuestrelView::OnClearResults()
{
    m_rows.DeleteAllRows();
    m_pResultList->SyncRows();
}

void CQuestrelView::OnResultDoubleClick()
{
    OpenResult(m_pResultList->GetFirstSelectedRow());
}

void CQuestrelView::OpenResult(int nRow)
{
    if (nRow < 0 || nRow >= m_rows.GetRowCount())
        return;
    m_pResultList->ReadRowIntoFields(nRow);
    if (!IsWebAddress(m_strUrl)) {
        ShowMessageBox(this, TrWx(kMsgNotAWebAddress), kAppCaption, wxOK);
        return;
    }
    const std::string strError = OpenFailureText(ShellOpen(m_strUrl), m_strUrl);
    if (!strError.empty())
        ShowMessageBox(this, ToWx(strError), kAppCaption, wxOK);
}

void CQuestrelView::OnExportResults()
{
    bool bJson = false;
    const wxString strPath = ChooseExportFile(this, bJson);
    if (strPath.empty())
        return;
    // The rows as they are shown now; a running search may add more later.
    std::vector<std::vector<CFoundBy>> foundBy;
    const std::vector<CSearchHit> hits = m_pResultList->GetShownHits(&foundBy);
    if (!WriteFileAtomically(FromWx(strPath), bJson ? FormatHitsJson(hits, &foundBy) : FormatHitsCsv(hits))) {
        ShowMessageBox(this, TrWx(kMsgFailedToExport), kAppCaption, wxOK | wxICON_EXCLAMATION);
        return;
    }
    m_status.ShowStatusText(wxString::Format(wxString::FromUTF8(TrN(kStatusExported, static_cast<long long>(hits.size()))),
                                             static_cast<int>(hits.size()), strPath));
}

void CQuestrelView::OnPrint(int nCommandId)
{
    if (!m_pPrinting)
        m_pPrinting = std::make_unique<CResultPrinting>(this);
    if (nCommandId == wxID_PRINT_SETUP) {
        m_pPrinting->PageSetup();
        return;
    }
    const std::vector<CSearchHit> hits = m_pResultList->GetShownHits();
    if (nCommandId == wxID_PREVIEW)
        m_pPrinting->Preview(hits, m_pResultList->GetHighlightWords());
    else
        m_pPrinting->Print(hits, m_pResultList->GetHighlightWords());
}
