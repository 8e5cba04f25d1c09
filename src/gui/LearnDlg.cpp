// SPDX-License-Identifier: MIT
#include "gui/LearnDlg.h"

#include "gui/MessageBox.h"
#include "gui/WxText.h"
#include "search/PageRefusal.h"
#include "search/SearchTexts.h"
#include "workbench/EngineLearner.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CLearnDlg::CLearnDlg(wxWindow* pParent, CSessionOptions options)
    : wxDialog(pParent, wxID_ANY, "Learn from a Result Page"), m_options(std::move(options))
{
    const wxSize wide(460, -1);
    auto* pHint = new wxStaticText(this, wxID_ANY,
                                   "Search the engine in your browser, then give the query you typed and the\n"
                                   "address of its result page. The page is read and every field proposed.");
    m_pQuery = new wxTextCtrl(this, IDC_LEARN_QUERY, wxEmptyString, wxDefaultPosition, wide);
    m_pAddress = new wxTextCtrl(this, IDC_LEARN_ADDRESS, wxEmptyString, wxDefaultPosition, wide);
    m_pStatus = new wxStaticText(this, IDC_LEARN_STATUS, wxEmptyString, wxDefaultPosition, wide,
                                 wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    m_pStart = new wxButton(this, IDC_LEARN_START, "&Learn");
    m_pStop = new wxButton(this, IDC_LEARN_STOP, "S&top");
    auto* pCancel = new wxButton(this, wxID_CANCEL, "Cancel");
    m_pStart->SetDefault();
    m_pStop->Disable();

    auto* pGrid = new wxFlexGridSizer(2, 6, 8);
    pGrid->AddGrowableCol(1);
    pGrid->Add(new wxStaticText(this, wxID_ANY, "&Query"), 0, wxALIGN_CENTER_VERTICAL);
    pGrid->Add(m_pQuery, 1, wxEXPAND);
    pGrid->Add(new wxStaticText(this, wxID_ANY, "&Address of the result page"), 0, wxALIGN_CENTER_VERTICAL);
    pGrid->Add(m_pAddress, 1, wxEXPAND);
    auto* pButtons = new wxBoxSizer(wxHORIZONTAL);
    pButtons->Add(m_pStart, 0, wxRIGHT, 8);
    pButtons->Add(m_pStop, 0, wxRIGHT, 8);
    pButtons->Add(pCancel);
    auto* pTop = new wxBoxSizer(wxVERTICAL);
    pTop->Add(pHint, 0, wxALL, 10);
    pTop->Add(pGrid, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    pTop->Add(m_pStatus, 0, wxEXPAND | wxALL, 10);
    pTop->Add(pButtons, 0, wxALIGN_CENTER | wxBOTTOM, 10);
    SetSizerAndFit(pTop);

    m_pStart->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StartLearning(); });
    m_pStop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StopLearning(); });
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        m_pQuery->ChangeValue(ToWx(m_strQuery));
        m_pAddress->ChangeValue(ToWx(m_strAddress));
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
}

void CLearnDlg::StartLearning()
{
    if (IsLearning())
        return;
    m_strQuery = FromWx(m_pQuery->GetValue());
    m_strAddress = FromWx(m_pAddress->GetValue());
    CSearchEngine split;
    if (m_strQuery.find_first_not_of(" \t") == std::string::npos) {
        SetStatus("Please give the query you searched.");
        m_pQuery->SetFocus();
        return;
    }
    if (!SplitAddressAroundQuery(m_strAddress, m_strQuery, split)) {
        SetStatus("The query is not in the address: give the address the browser shows for it.");
        m_pAddress->SetFocus();
        return;
    }
    m_bLearned = false;
    m_bFetched = false;
    m_bWaiting = true;
    SetBusy(true);
    SetStatus("Fetching " + m_strAddress + " ...");
    // The learning keeps its result apart: a stopped one still winding down
    // never writes into the next one's.
    auto pResult = std::make_shared<CLearnResult>();
    CLearnRequest request;
    request.m_strName = "Learned";
    request.m_strQuery = m_strQuery;
    request.m_strAddress = m_strAddress;
    m_task.Start(
        *this,
        [options = m_options, request, pResult](CCancelSignal& cancel) {
            *pResult = LearnEngine(request, [&options, &cancel](const std::string& strAddress, CPageAnswer& answer) {
                return FetchResultPage(options, strAddress, &cancel, answer);
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
    SetStatus("Stopped.");
}

void CLearnDlg::OnFetched()
{
    m_bWaiting = false;
    SetBusy(false);
    if (!m_bFetched)
        return;
    switch (m_result.m_nVerdict) {
    case LearnVerdict::Learned: break;
    case LearnVerdict::Refused: SetStatus("The engine refused: " + m_result.m_strReason + "."); return;
    case LearnVerdict::Failed: SetStatus("The page could not be fetched: " + m_result.m_strReason); return;
    default: SetStatus("Nothing was learned: " + DescribeLearnFailure(m_result, m_strQuery) + "."); return;
    }
    m_learned = m_result.m_engine;
    m_learned.m_strName.clear();
    m_bLearned = true;
    SetStatus(std::to_string(m_result.m_hits.size()) + " hits found on the page" +
              (m_result.m_strPagingNote.empty() ? std::string(".") : "; " + m_result.m_strPagingNote + "."));
    if (IsModal())
        EndModal(wxID_OK);
}
