// SPDX-License-Identifier: MIT
#include "gui/LearnDlg.h"

#include "gui/MessageBox.h"
#include "gui/WxText.h"
#include "platform/TextUtil.h"
#include "search/BrowserPages.h"
#include "search/PageRefusal.h"
#include "search/SearchTexts.h"
#include "workbench/EngineLearner.h"
#include "platform/Translate.h"
#include "search/TemplateFormat.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CLearnDlg::CLearnDlg(wxWindow* pParent, CSessionOptions options)
    : wxDialog(pParent, wxID_ANY, TrWx("Learn from a Result Page"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_options(std::move(options))
{
    const wxSize wide(520, -1);
    auto* pHint = new wxStaticText(this, wxID_ANY,
                                   TrWx("Search the engine in your browser, then give the query you typed and the\n"
                                        "address of its result page. The page is read and every field proposed."));
    m_pQuery = new wxTextCtrl(this, IDC_LEARN_QUERY, wxEmptyString, wxDefaultPosition, wide);
    m_pAddress = new wxTextCtrl(this, IDC_LEARN_ADDRESS, wxEmptyString, wxDefaultPosition, wide);
    m_pExample = new wxTextCtrl(this, IDC_LEARN_EXAMPLE, wxEmptyString, wxDefaultPosition, wide);
    m_pExample->SetHint(TrWx("optional: the address of one result, when the guess takes the wrong links"));
    m_pStatus = new wxStaticText(this, IDC_LEARN_STATUS, wxEmptyString, wxDefaultPosition, wide,
                                 wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    m_pGroups = new wxListBox(this, IDC_LEARN_GROUPS, wxDefaultPosition, wxSize(-1, 110));
    m_pPreview = new wxTextCtrl(this, IDC_LEARN_PREVIEW, wxEmptyString, wxDefaultPosition, wxSize(-1, 130),
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    m_pStart = new wxButton(this, IDC_LEARN_START, TrWx("&Learn"));
    m_pStop = new wxButton(this, IDC_LEARN_STOP, TrWx("S&top"));
    m_pOk = new wxButton(this, wxID_OK);
    auto* pCancel = new wxButton(this, wxID_CANCEL);
    m_pStart->SetDefault();
    m_pStop->Disable();
    m_pOk->Disable();

    auto* pGrid = new wxFlexGridSizer(2, 6, 8);
    pGrid->AddGrowableCol(1);
    pGrid->Add(new wxStaticText(this, wxID_ANY, TrWx("&Query")), 0, wxALIGN_CENTER_VERTICAL);
    pGrid->Add(m_pQuery, 1, wxEXPAND);
    pGrid->Add(new wxStaticText(this, wxID_ANY, TrWx("&Address of the result page")), 0, wxALIGN_CENTER_VERTICAL);
    pGrid->Add(m_pAddress, 1, wxEXPAND);
    pGrid->Add(new wxStaticText(this, wxID_ANY, TrWx("One &result's address")), 0, wxALIGN_CENTER_VERTICAL);
    pGrid->Add(m_pExample, 1, wxEXPAND);
    auto* pButtons = new wxBoxSizer(wxHORIZONTAL);
    pButtons->Add(m_pStart, 0, wxRIGHT, 8);
    pButtons->Add(m_pStop, 0, wxRIGHT, 8);
    pButtons->Add(m_pOk, 0, wxRIGHT, 8);
    pButtons->Add(pCancel);
    auto* pTop = new wxBoxSizer(wxVERTICAL);
    pTop->Add(pHint, 0, wxALL, 10);
    pTop->Add(pGrid, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    pTop->Add(m_pStatus, 0, wxEXPAND | wxALL, 10);
    pTop->Add(new wxStaticText(this, wxID_ANY, TrWx("Lists of &links on the page (the one taken is selected)")), 0,
              wxLEFT | wxRIGHT, 10);
    pTop->Add(m_pGroups, 1, wxEXPAND | wxALL, 10);
    pTop->Add(new wxStaticText(this, wxID_ANY, TrWx("&Hits the definition finds")), 0, wxLEFT | wxRIGHT, 10);
    pTop->Add(m_pPreview, 1, wxEXPAND | wxALL, 10);
    pTop->Add(pButtons, 0, wxALIGN_CENTER | wxBOTTOM, 10);
    SetSizerAndFit(pTop);

    m_pStart->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StartLearning(); });
    m_pStop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StopLearning(); });
    m_pGroups->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) { PickGroup(event.GetSelection()); });
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        m_pQuery->ChangeValue(ToWx(m_strQuery));
        m_pAddress->ChangeValue(ToWx(m_strAddress));
        m_pExample->ChangeValue(ToWx(m_strExample));
        event.Skip();
    });
}

std::string CLearnDlg::GetStatusText() const
{
    return FromWx(m_pStatus->GetLabel());
}

void CLearnDlg::SetStatus(const std::string& strText)
{
    m_pStatus->SetLabel(ToWx(strText));
}

void CLearnDlg::SetBusy(bool bBusy)
{
    m_pStart->Enable(!bBusy);
    m_pStop->Enable(bBusy);
    m_pQuery->Enable(!bBusy);
    m_pAddress->Enable(!bBusy);
    m_pExample->Enable(!bBusy);
    m_pGroups->Enable(!bBusy);
}

void CLearnDlg::StartLearning()
{
    if (IsLearning())
        return;
    const bool bSamePage = m_bFetched && m_strQuery == FromWx(m_pQuery->GetValue()) &&
                           m_strAddress == FromWx(m_pAddress->GetValue()) && m_answer.m_nStatus == 200;
    m_strQuery = FromWx(m_pQuery->GetValue());
    m_strAddress = FromWx(m_pAddress->GetValue());
    m_strExample = FromWx(m_pExample->GetValue());
    CSearchEngine split;
    if (m_strQuery.find_first_not_of(" \t") == std::string::npos) {
        SetStatus(Tr("Please give the query you searched."));
        m_pQuery->SetFocus();
        return;
    }
    if (!SplitAddressAroundQuery(m_strAddress, m_strQuery, split)) {
        SetStatus(Tr("The query is not in the address: give the address the browser shows for it."));
        m_pAddress->SetFocus();
        return;
    }
    if (bSamePage) {
        // The page is here: only the example changed.
        RelearnFromPage(CLearnRequest{"Learned", m_strQuery, m_strAddress, m_strExample});
        return;
    }
    m_bLearned = false;
    m_bFetched = false;
    m_bWaiting = true;
    m_pOk->Disable();
    SetBusy(true);
    SetStatus(FormatTemplate(Tr("Fetching %s ..."), {CTemplateArg::Text(m_strAddress)}));
    // The learning keeps its result apart: a stopped one still winding down
    // never writes into the next one's.
    auto pResult = std::make_shared<CLearnResult>();
    CLearnRequest request;
    request.m_strName = "Learned";
    request.m_strQuery = m_strQuery;
    request.m_strAddress = m_strAddress;
    request.m_strExample = m_strExample;
    m_task.Start(
        *this,
        [options = m_options, request, pResult](CCancelSignal& cancel) {
            *pResult = LearnEngine(request, [&options, &cancel](CPageRequest page) {
                page.m_pCancel = &cancel;
                return FetchAnswer(options, page);
            });
        },
        [this, pResult] {
            m_result = std::move(*pResult);
            m_answer = m_result.m_answer;
            m_bFetched = true;
            OnFetched();
        });
}

void CLearnDlg::StopLearning()
{
    m_task.Cancel();
    m_bWaiting = false;
    SetBusy(false);
    SetStatus(Tr("Stopped."));
}

void CLearnDlg::OnFetched()
{
    m_bWaiting = false;
    SetBusy(false);
    if (m_bFetched)
        ShowResult();
}

void CLearnDlg::ShowResult()
{
    m_pGroups->Clear();
    for (const CLearnGroup& group : m_result.m_groups) {
        std::string strRow = FormatTemplate(TrN("%d hit:", "%d hits:", static_cast<unsigned long>(group.m_nHits)),
                                            {CTemplateArg::Int(group.m_nHits)});
        for (size_t i = 0; i < group.m_titles.size(); ++i)
            strRow += (i ? " \xc2\xb7 " : " ") + group.m_titles[i];
        for (size_t i = 0; i < group.m_hosts.size(); ++i)
            strRow += (i ? ", " : " \xe2\x80\x94 ") + group.m_hosts[i];
        m_pGroups->Append(ToWx(strRow));
    }
    if (m_result.m_nGroup >= 0 && m_result.m_nGroup < static_cast<int>(m_pGroups->GetCount()))
        m_pGroups->SetSelection(m_result.m_nGroup);
    std::string strPreview;
    for (size_t i = 0; i < m_result.m_hits.size(); ++i)
        strPreview += std::to_string(i + 1) + ". " + Utf8Prefix(m_result.m_hits[i].m_strDescription, 100) + "\n    " +
                      m_result.m_hits[i].m_strUrl + "\n";
    m_pPreview->ChangeValue(ToWx(strPreview));
    m_bLearned = m_result.m_nVerdict == LearnVerdict::Learned;
    m_pOk->Enable(m_bLearned);
    switch (m_result.m_nVerdict) {
    case LearnVerdict::Learned: break;
    case LearnVerdict::Refused:
        SetStatus(FormatTemplate(Tr("The engine refused: %s."), {CTemplateArg::Text(m_result.m_strReason)}));
        return;
    case LearnVerdict::Failed:
        SetStatus(FormatTemplate(Tr("The page could not be fetched: %s"), {CTemplateArg::Text(m_result.m_strReason)}));
        return;
    default:
        SetStatus(FormatTemplate(Tr("Nothing was learned: %s."),
                                 {CTemplateArg::Text(DescribeLearnFailure(m_result, m_strQuery))}));
        return;
    }
    m_learned = m_result.m_engine;
    m_learned.m_strName.clear();
    std::string strStatus = FormatTemplate(TrN("%d hit found on the page", "%d hits found on the page",
                                               m_result.m_hits.size()),
                                           {CTemplateArg::Int(static_cast<long long>(m_result.m_hits.size()))});
    if (m_result.m_answer.m_bByBrowser)
        strStatus += Tr(kLoadedByBrowser);
    for (const std::string& strNote : {m_result.m_strExampleNote, m_result.m_strPagingNote})
        if (!strNote.empty())
            strStatus += "; " + strNote;
    SetStatus(strStatus + ".");
    m_pOk->SetDefault();
}

void CLearnDlg::PickGroup(int nRow)
{
    if (!m_bFetched || IsLearning() || nRow < 0)
        return;
    CLearnRequest request{"Learned", m_strQuery, m_strAddress, ""};
    request.m_nGroup = nRow;
    RelearnFromPage(request);
}

void CLearnDlg::RelearnFromPage(const CLearnRequest& request)
{
    // The paging comes from the page alone: when it is the one checked
    // before, it stays checked.
    const CLearnResult before = std::move(m_result);
    m_result = LearnFromPage(request, m_answer, nullptr);
    const CSearchEngine& a = before.m_engine;
    const CSearchEngine& b = m_result.m_engine;
    if (a.m_nSearchType == b.m_nSearchType && a.m_strNextPage == b.m_strNextPage && a.m_strSuffix == b.m_strSuffix) {
        m_result.m_bPagingChecked = before.m_bPagingChecked;
        m_result.m_strPagingNote = before.m_strPagingNote;
    }
    ShowResult();
}

std::string CLearnDlg::GetPreviewText() const
{
    return FromWx(m_pPreview->GetValue());
}

int CLearnDlg::GetGroupCount() const
{
    return static_cast<int>(m_pGroups->GetCount());
}
