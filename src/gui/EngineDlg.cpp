// SPDX-License-Identifier: MIT
#include "gui/EngineDlg.h"

#include "engines/SearchEngine.h"
#include "platform/TextUtil.h"
#include "search/SearchTexts.h"
#include "gui/MessageBox.h"
#include "gui/WxText.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CEngineDlg::CEngineDlg(wxWindow* pParent) : wxDialog(pParent, wxID_ANY, "Engine")
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
        m_pSearchType->Append(pszText);
    m_pPrefix = new wxTextCtrl(this, IDC_PREFIX, wxEmptyString, wxDefaultPosition, wide);
    m_pSuffix = new wxTextCtrl(this, IDC_SUFFIX, wxEmptyString, wxDefaultPosition, wide);
    auto* pOk = new wxButton(this, wxID_OK, "OK");
    auto* pCancel = new wxButton(this, wxID_CANCEL, "Cancel");
    pOk->SetDefault();
    m_pNextPage = new wxTextCtrl(this, IDC_NEXT_PAGE, wxEmptyString, wxDefaultPosition, wide);

    auto* pGrid = new wxFlexGridSizer(2, 6, 8);
    pGrid->AddGrowableCol(1);
    auto row = [this, pGrid](const char* pszLabel, wxWindow* pControl) {
        pGrid->Add(new wxStaticText(this, wxID_ANY, pszLabel), 0, wxALIGN_CENTER_VERTICAL);
        pGrid->Add(pControl, 1, wxEXPAND);
    };
    row("Engine", m_pName);
    row("Token that Identifies Data", m_pStartToken);
    row("Token that identifies end of data", m_pEndToken);
    row("URL", m_pUrl);
    row("Search Type", m_pSearchType);
    row("Next Page Command", m_pNextPage);
    row("Search Command Prefix", m_pPrefix);
    row("Search Command Suffix", m_pSuffix);

    auto* pButtons = new wxBoxSizer(wxHORIZONTAL);
    pButtons->Add(pOk, 0, wxRIGHT, 8);
    pButtons->Add(pCancel);
    auto* pTop = new wxBoxSizer(wxVERTICAL);
    pTop->Add(pGrid, 1, wxEXPAND | wxALL, 10);
    pTop->Add(pButtons, 0, wxALIGN_CENTER | wxBOTTOM, 10);
    SetSizerAndFit(pTop);
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
    m_pSearchType->SetSelection(m_nSearchType >= 0 && m_nSearchType < 4 ? m_nSearchType : wxNOT_FOUND);
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
        {"Engine", m_strName, m_pName, true},
        {"Token that Identifies Data", m_strStartToken, m_pStartToken, true},
        {"Token that identifies end of data", m_strEndToken, m_pEndToken, true},
        {"URL", m_strUrl, m_pUrl, false},
        {"Next Page Command", m_strNextPage, m_pNextPage, false},
        {"Search Command Prefix", m_strPrefix, m_pPrefix, true},
        {"Search Command Suffix", m_strSuffix, m_pSuffix, false},
    };
    auto refuse = [this](wxTextCtrl* pEdit, const std::string& strText) {
        ShowMessageBox(this, ToWx(strText), kAppTitle, wxOK | wxICON_EXCLAMATION);
        pEdit->SetFocus();
        return false;
    };
    for (const CField& field : fields) {
        if (field.m_strValue.find_first_of("\r\n") != std::string::npos)
            return refuse(field.m_pEdit, std::string("\"") + field.m_pszLabel +
                                             "\" must be one line: please remove the line break.");
        if (field.m_bRequired && TrimTrailingWhiteSpace(field.m_strValue).empty())
            return refuse(field.m_pEdit, std::string("Please fill in \"") + field.m_pszLabel +
                                             "\": an engine without it cannot be used.");
    }
    for (const std::string& strOther : m_otherNames)
        if (EqualsNoCase(TrimTrailingWhiteSpace(strOther), TrimTrailingWhiteSpace(m_strName)))
            return refuse(m_pName, "Another engine is already called \"" + strOther +
                                       "\". Please choose another name.");
    return true;
}
