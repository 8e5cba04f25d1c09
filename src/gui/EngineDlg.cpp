// SPDX-License-Identifier: MIT
#include "gui/EngineDlg.h"

#include "engines/SearchEngine.h"
#include "platform/TextUtil.h"
#include "search/SearchTexts.h"
#include "gui/LearnDlg.h"
#include "gui/MessageBox.h"
#include "search/SearchSettings.h"
#include "gui/WxText.h"
#include "search/QueryComposer.h"
#include "workbench/EngineCheck.h"
#include "platform/Translate.h"
#include "search/TemplateFormat.h"

#include <wx/button.h>
#include <wx/datetime.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CEngineDlg::CEngineDlg(wxWindow* pParent, CSessionOptions sessionOptions)
    : wxDialog(pParent, wxID_ANY, TrWx("Engine")), m_sessionOptions(std::move(sessionOptions))
{
    // Controls are made in tab order; the sizer puts them in their places on
    // screen (the next-page edit shows above the prefix but comes last in tab order).
    const wxSize wide(420, -1);
    m_pName = new wxTextCtrl(this, IDC_ENGINE_NAME, wxEmptyString, wxDefaultPosition, wide);
    m_pStartToken = new wxTextCtrl(this, IDC_START_TOKEN, wxEmptyString, wxDefaultPosition, wide);
    m_pEndToken = new wxTextCtrl(this, IDC_END_TOKEN, wxEmptyString, wxDefaultPosition, wide);
    m_pUrl = new wxTextCtrl(this, IDC_ENGINE_URL, wxEmptyString, wxDefaultPosition, wide);
    m_pSearchType = new wxChoice(this, IDC_SEARCH_TYPE);
    for (const char* pszText : kSearchTypeTexts)
        m_pSearchType->Append(TrWx(pszText));
    m_pPrefix = new wxTextCtrl(this, IDC_PREFIX, wxEmptyString, wxDefaultPosition, wide);
    m_pSuffix = new wxTextCtrl(this, IDC_SUFFIX, wxEmptyString, wxDefaultPosition, wide);
    auto* pOk = new wxButton(this, wxID_OK);
    auto* pCancel = new wxButton(this, wxID_CANCEL);
    pOk->SetDefault();
    m_pNextPage = new wxTextCtrl(this, IDC_NEXT_PAGE, wxEmptyString, wxDefaultPosition, wide);

    auto* pGrid = new wxFlexGridSizer(2, 6, 8);
    pGrid->AddGrowableCol(1);
    auto row = [this, pGrid](const char* pszLabel, wxWindow* pControl) {
        pGrid->Add(new wxStaticText(this, wxID_ANY, TrWx(pszLabel)), 0, wxALIGN_CENTER_VERTICAL);
        pGrid->Add(pControl, 1, wxEXPAND);
    };
    row(N_("Engine"), m_pName);
    row(N_("Token that Identifies Data"), m_pStartToken);
    row(N_("Token that identifies end of data"), m_pEndToken);
    row(N_("URL"), m_pUrl);
    row(N_("Search Type"), m_pSearchType);
    row(N_("Next Page Command"), m_pNextPage);
    row(N_("Search Command Prefix"), m_pPrefix);
    row(N_("Search Command Suffix"), m_pSuffix);

    // The workbench: learn, try, fetch again; the preview below.
    auto* pLearn = new wxButton(this, IDC_LEARN_FROM_PAGE, TrWx("&Learn from a Result Page..."));
    m_pTest = new wxButton(this, IDC_TEST_ENGINE, TrWx("&Test"));
    m_pFetchAgain = new wxButton(this, IDC_FETCH_AGAIN, TrWx("&Fetch Again"));
    m_pPreview = new wxTextCtrl(this, IDC_PREVIEW, wxEmptyString, wxDefaultPosition, wxSize(-1, 130),
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    m_pPreview->SetName(TrWx("Preview"));
    ShowPreview(Tr("Learn from a result page to fill the fields, or press Fetch Again to try them on the engine."));
    pLearn->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnLearnFromPage(); });
    m_pTest->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnTest(); });
    m_pFetchAgain->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFetchAgain(); });
    auto* pBench = new wxBoxSizer(wxHORIZONTAL);
    pBench->Add(pLearn, 0, wxRIGHT, 8);
    pBench->Add(m_pTest, 0, wxRIGHT, 8);
    pBench->Add(m_pFetchAgain);

    auto* pButtons = new wxBoxSizer(wxHORIZONTAL);
    pButtons->Add(pOk, 0, wxRIGHT, 8);
    pButtons->Add(pCancel);
    auto* pTop = new wxBoxSizer(wxVERTICAL);
    pTop->Add(pGrid, 0, wxEXPAND | wxALL, 10);
    pTop->Add(new wxStaticText(this, wxID_ANY,
                               TrWx("In a token, {*} stands for any text inside one tag, such as a class name "
                                    "that changes with each version of the engine's pages.")),
              0, wxLEFT | wxRIGHT, 10);
    pTop->Add(pBench, 0, wxALL, 10);
    pTop->Add(m_pPreview, 1, wxEXPAND | wxLEFT | wxRIGHT, 10);
    pTop->Add(pButtons, 0, wxALIGN_CENTER | wxALL, 10);
    SetSizerAndFit(pTop);
}

void CEngineDlg::ShowPreview(const std::string& strText)
{
    m_pPreview->ChangeValue(ToWx(strText));
}

std::string CEngineDlg::GetPreviewText() const
{
    return FromWx(m_pPreview->GetValue());
}

void CEngineDlg::SetProbePage(const std::string& strQuery, const CPageAnswer& answer)
{
    m_strProbeQuery = strQuery;
    m_probe = answer;
    m_bHasProbe = true;
}

void CEngineDlg::OnLearnFromPage()
{
    TransferDataFromWindow();
    CLearnDlg learn(this, m_sessionOptions);
    learn.m_strQuery = m_strProbeQuery;
    learn.m_strAddress = m_bHasProbe ? m_probe.m_strAddress : std::string();
    if (RunModalDialog(learn) != wxID_OK || !learn.HasLearned())
        return;
    // Every field but the name, which stays the user's when given.
    const std::string strName = m_strName;
    SetFromEngine(learn.m_learned);
    if (!TrimWhiteSpace(strName).empty())
        m_strName = strName;
    TransferDataToWindow();
    SetProbePage(learn.m_strQuery, learn.m_answer);
    OnTest();
}

void CEngineDlg::OnTest()
{
    if (!m_bHasProbe) {
        ShowPreview(Tr("There is no page to try the fields on yet: learn from a result page, or press Fetch Again."));
        return;
    }
    TransferDataFromWindow();
    CSearchEngine engine;
    CopyToEngine(engine);
    engine.m_strName = m_strName.empty() ? std::string("engine") : m_strName;
    const CEngineCheck check = DiagnoseEngine(engine, m_strProbeQuery, m_probe);
    // Which try this is and when: a test that changes nothing still shows it ran.
    std::string strText =
        std::string(Tr(VerdictName(check.m_nVerdict))) + ": " + DescribeDetailForUser(check) +
        FormatTemplate(Tr("  (page %s, %d bytes; try %d at %s)"),
                       {CTemplateArg::Text(check.m_strAddress), CTemplateArg::Int(static_cast<long long>(check.m_nPageBytes)),
                        CTemplateArg::Int(++m_nTests), CTemplateArg::Text(FromWx(wxDateTime::Now().FormatISOTime()))}) +
        "\n";
    for (size_t i = 0; i < check.m_hits.size() && i < 8; ++i)
        strText += std::to_string(i + 1) + ". " + Utf8Prefix(check.m_hits[i].m_strDescription, 120) + "\n    " +
                   check.m_hits[i].m_strUrl + "\n";
    ShowPreview(strText);
}

void CEngineDlg::OnFetchAgain()
{
    if (m_fetch.IsRunning())
        return;
    TransferDataFromWindow();
    CSearchEngine engine;
    CopyToEngine(engine);
    const std::string strQuery = m_strProbeQuery.empty() ? std::string("weather") : m_strProbeQuery;
    const std::string strAddress =
        BuildFirstPageAddress(engine, ComposeQueryTerm(strQuery, kOptionAllWords), kDefaultHitLimit);
    ShowPreview(FormatTemplate(Tr("Fetching %s ..."), {CTemplateArg::Text(strAddress)}));
    m_pFetchAgain->Disable();
    auto pAnswer = std::make_shared<CPageAnswer>();
    m_fetch.Start(
        *this,
        [options = m_sessionOptions, strAddress, strToken = engine.m_strStartToken, pAnswer](CCancelSignal& cancel) {
            // As a search would have the page: again in the browser engine when it needs one.
            *pAnswer = FetchAnswer(options, {strAddress, &cancel, BrowserRule::WallOrNoList, strToken})
                           .value_or(CPageAnswer{});
        },
        [this, strQuery, pAnswer] {
            m_pFetchAgain->Enable();
            SetProbePage(strQuery, *pAnswer);
            OnTest();
        });
}

void CEngineDlg::SetFromEngine(const CSearchEngine& engine)
{
    m_strUrl = engine.m_strUrl;
    m_strName = engine.m_strName;
    m_strPrefix = engine.m_strPrefix;
    m_strSuffix = engine.m_strSuffix;
    m_strEndToken = engine.m_strEndToken;
    m_strStartToken = engine.m_strStartToken;
    m_strNextPage = engine.m_strNextPage;
    m_nSearchType = engine.m_nSearchType;
}

void CEngineDlg::CopyToEngine(CSearchEngine& engine) const
{
    engine.m_strUrl = m_strUrl;
    engine.m_strName = m_strName;
    engine.m_strPrefix = m_strPrefix;
    engine.m_strSuffix = m_strSuffix;
    engine.m_strEndToken = m_strEndToken;
    engine.m_strStartToken = m_strStartToken;
    engine.m_strNextPage = m_strNextPage;
    engine.m_nSearchType = m_nSearchType;
}

wxTextCtrl* CEngineDlg::GetEdit(int nId) const
{
    switch (nId) {
    case IDC_ENGINE_NAME: return m_pName;
    case IDC_START_TOKEN: return m_pStartToken;
    case IDC_END_TOKEN: return m_pEndToken;
    case IDC_ENGINE_URL: return m_pUrl;
    case IDC_PREFIX: return m_pPrefix;
    case IDC_SUFFIX: return m_pSuffix;
    case IDC_NEXT_PAGE: return m_pNextPage;
    default: return nullptr;
    }
}

bool CEngineDlg::TransferDataToWindow()
{
    m_pStartToken->ChangeValue(ToWx(m_strStartToken));
    m_pEndToken->ChangeValue(ToWx(m_strEndToken));
    m_pName->ChangeValue(ToWx(m_strName));
    m_pPrefix->ChangeValue(ToWx(m_strPrefix));
    m_pSuffix->ChangeValue(ToWx(m_strSuffix));
    m_pUrl->ChangeValue(ToWx(m_strUrl));
    m_pSearchType->SetSelection(m_nSearchType >= 0 && m_nSearchType < kSearchTypeCount ? m_nSearchType : wxNOT_FOUND);
    m_pNextPage->ChangeValue(ToWx(m_strNextPage));
    return true;
}

bool CEngineDlg::TransferDataFromWindow()
{
    m_strStartToken = FromWx(m_pStartToken->GetValue());
    m_strEndToken = FromWx(m_pEndToken->GetValue());
    m_strName = FromWx(m_pName->GetValue());
    m_strPrefix = FromWx(m_pPrefix->GetValue());
    m_strSuffix = FromWx(m_pSuffix->GetValue());
    m_strUrl = FromWx(m_pUrl->GetValue());
    m_nSearchType = m_pSearchType->GetSelection();
    m_strNextPage = FromWx(m_pNextPage->GetValue());
    return true;
}

bool CEngineDlg::Validate()
{
    TransferDataFromWindow();
    struct CField
    {
        const char* m_pszLabel;
        const std::string& m_strValue;
        wxTextCtrl* m_pEdit;
        bool m_bRequired;
    };
    const CField fields[] = {
        {N_("Engine"), m_strName, m_pName, true},
        {N_("Token that Identifies Data"), m_strStartToken, m_pStartToken, true},
        {N_("Token that identifies end of data"), m_strEndToken, m_pEndToken, true},
        {N_("URL"), m_strUrl, m_pUrl, false},
        {N_("Next Page Command"), m_strNextPage, m_pNextPage, false},
        {N_("Search Command Prefix"), m_strPrefix, m_pPrefix, true},
        {N_("Search Command Suffix"), m_strSuffix, m_pSuffix, false},
    };
    auto refuse = [this](wxTextCtrl* pEdit, const std::string& strText) {
        ShowMessageBox(this, ToWx(strText), kAppTitle, wxOK | wxICON_EXCLAMATION);
        pEdit->SetFocus();
        return false;
    };
    for (const CField& field : fields) {
        if (field.m_strValue.find_first_of("\r\n") != std::string::npos)
            return refuse(field.m_pEdit, FormatTemplate(Tr("\"%s\" must be one line: please remove the line break."),
                                                        {CTemplateArg::Text(Tr(field.m_pszLabel))}));
        if (field.m_bRequired && TrimTrailingWhiteSpace(field.m_strValue).empty())
            return refuse(field.m_pEdit, FormatTemplate(Tr("Please fill in \"%s\": an engine without it cannot be used."),
                                                        {CTemplateArg::Text(Tr(field.m_pszLabel))}));
    }
    for (const std::string& strOther : m_otherNames)
        if (EqualsNoCase(TrimTrailingWhiteSpace(strOther), TrimTrailingWhiteSpace(m_strName)))
            return refuse(m_pName, FormatTemplate(Tr("Another engine is already called \"%s\". Please choose another name."),
                                                  {CTemplateArg::Text(strOther)}));
    return true;
}
