// SPDX-License-Identifier: MIT
#include "gui/CommOptionsDlg.h"

#include "platform/InternetClient.h"
#include "platform/TextUtil.h"
#include "search/SearchTexts.h"
#include "gui/MessageBox.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

CCommOptionsDlg::CCommOptionsDlg(wxWindow* pParent, int nMethod, const std::string& strProxy,
                                 const std::string& strPort, const std::string& strUserAgent)
    : wxDialog(pParent, wxID_ANY, TrWx("Communication Options")), m_nMethod(nMethod), m_strProxy(strProxy),
      m_strPort(strPort), m_strUserAgent(strUserAgent)
{
    m_pPreconfigured = new wxRadioButton(this, IDC_PRECONFIGURED, TrWx("Use preconfigured settings"),
                                         wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_pDirect = new wxRadioButton(this, IDC_DIRECT, TrWx("Direct connection to the Internet"));
    m_pUseProxy = new wxRadioButton(this, IDC_USE_PROXY, TrWx("Connect through a proxy server"));
    m_pProxy = new wxTextCtrl(this, IDC_PROXY_ADDRESS, wxEmptyString, wxDefaultPosition, wxSize(180, -1));
    // A port is digits only: other keys are refused as they are typed.
    m_pPort = new wxTextCtrl(this, IDC_PROXY_PORT, wxEmptyString, wxDefaultPosition, wxSize(70, -1), 0,
                             wxTextValidator(wxFILTER_DIGITS));
    m_pPort->SetToolTip(TrWx(kMsgEnterPort));
    m_pUserAgent = new wxTextCtrl(this, IDC_USER_AGENT, wxEmptyString, wxDefaultPosition, wxSize(260, -1));
    m_pTimeout = new wxSpinCtrl(this, IDC_TIMEOUT, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                wxSP_ARROW_KEYS, 1, kMaxTimeoutSeconds, kDefaultTimeoutSeconds);
    // Wide enough for "600" and both of the toolkit's buttons (a fixed width cut off "+").
    m_pTimeout->SetMinSize(m_pTimeout->GetSizeFromTextSize(m_pTimeout->GetTextExtent("6000").GetWidth()));
    auto* pOk = new wxButton(this, wxID_OK);
    auto* pCancel = new wxButton(this, wxID_CANCEL);
    pOk->SetDefault();

    auto* pLeft = new wxBoxSizer(wxVERTICAL);
    pLeft->Add(m_pPreconfigured, 0, wxBOTTOM, 4);
    pLeft->Add(m_pDirect, 0, wxBOTTOM, 4);
    pLeft->Add(m_pUseProxy, 0, wxBOTTOM, 10);
    auto* pProxyGrid = new wxFlexGridSizer(3, 2, 4);
    pProxyGrid->Add(new wxStaticText(this, wxID_ANY, TrWx("Address of proxy to use")));
    pProxyGrid->AddSpacer(0);
    pProxyGrid->Add(new wxStaticText(this, wxID_ANY, TrWx("Port")));
    pProxyGrid->Add(m_pProxy);
    pProxyGrid->Add(new wxStaticText(this, wxID_ANY, ":"), 0, wxALIGN_CENTER_VERTICAL);
    pProxyGrid->Add(m_pPort);
    pLeft->Add(pProxyGrid, 0, wxBOTTOM, 10);
    pLeft->Add(new wxStaticText(this, wxID_ANY, TrWx("User Agent (how requests name the program)")), 0, wxBOTTOM, 4);
    pLeft->Add(m_pUserAgent, 0, wxEXPAND | wxBOTTOM, 10);
    auto* pTimeoutRow = new wxBoxSizer(wxHORIZONTAL);
    pTimeoutRow->Add(new wxStaticText(this, wxID_ANY, TrWx("Give up on a server that does not answer after")), 0,
                     wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    pTimeoutRow->Add(m_pTimeout, 0, wxRIGHT, 6);
    pTimeoutRow->Add(new wxStaticText(this, wxID_ANY, TrWx("seconds")), 0, wxALIGN_CENTER_VERTICAL);
    pLeft->Add(pTimeoutRow);
    auto* pButtons = new wxBoxSizer(wxVERTICAL);
    pButtons->Add(pOk, 0, wxBOTTOM, 6);
    pButtons->Add(pCancel);
    auto* pTop = new wxBoxSizer(wxHORIZONTAL);
    pTop->Add(pLeft, 1, wxALL, 10);
    pTop->Add(pButtons, 0, wxALL, 10);
    SetSizerAndFit(pTop);

    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SelectMethod(kConnectPreconfigured); }, IDC_PRECONFIGURED);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SelectMethod(kConnectDirect); }, IDC_DIRECT);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SelectMethod(kConnectProxy); }, IDC_USE_PROXY);
}

wxRadioButton* CCommOptionsDlg::GetRadio(int nId) const
{
    return nId == IDC_DIRECT ? m_pDirect : nId == IDC_USE_PROXY ? m_pUseProxy : m_pPreconfigured;
}

bool CCommOptionsDlg::TransferDataToWindow()
{
    m_pProxy->ChangeValue(ToWx(m_strProxy));
    m_pPort->ChangeValue(ToWx(m_strPort));
    m_pUserAgent->ChangeValue(ToWx(m_strUserAgent));
    m_pTimeout->SetValue(ClampTimeoutSeconds(m_nTimeoutSeconds));
    wxRadioButton* pSelected = GetRadio(m_nMethod == kConnectDirect ? IDC_DIRECT
                                        : m_nMethod == kConnectProxy ? IDC_USE_PROXY
                                                                     : IDC_PRECONFIGURED);
    pSelected->SetValue(true);
    UpdateEnabledState();
    // The keyboard starts on the chosen method (its focus ring shows which),
    // once the dialog is on the screen: the toolkit gives a new dialog's focus
    // to its first control.
    CallAfter([pSelected] { pSelected->SetFocus(); });
    return true;
}

bool CCommOptionsDlg::TransferDataFromWindow()
{
    m_strProxy = FromWx(m_pProxy->GetValue());
    m_strPort = FromWx(m_pPort->GetValue());
    m_strUserAgent = TrimWhiteSpace(FromWx(m_pUserAgent->GetValue()));
    m_nTimeoutSeconds = ClampTimeoutSeconds(m_pTimeout->GetValue());
    if (m_nMethod == kConnectProxy) {
        m_strProxy = TrimWhiteSpace(m_strProxy);
        m_strPort = TrimWhiteSpace(m_strPort);
    }
    return true;
}

bool IsPortNumber(const std::string& strText)
{
    if (strText.empty() || strText.size() > 5 || strText.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int nPort = std::stoi(strText);
    return nPort >= 1 && nPort <= 65535;
}

bool CCommOptionsDlg::Validate()
{
    TransferDataFromWindow();
    if (m_nMethod == kConnectProxy && m_strProxy.empty()) {
        ShowMessageBox(this, TrWx(kMsgEnterProxy), kAppTitle, wxOK);
        m_pProxy->SetFocus();
        return false;
    }
    if (m_nMethod == kConnectProxy && !m_strPort.empty() && !IsPortNumber(m_strPort)) {
        ShowMessageBox(this, TrWx(kMsgEnterPort), kAppTitle, wxOK);
        m_pPort->SetFocus();
        return false;
    }
    return true;
}

void CCommOptionsDlg::SelectMethod(int nMethod)
{
    m_strProxy = FromWx(m_pProxy->GetValue());
    m_strPort = FromWx(m_pPort->GetValue());
    m_nMethod = nMethod;
    GetRadio(nMethod == kConnectDirect ? IDC_DIRECT : nMethod == kConnectProxy ? IDC_USE_PROXY : IDC_PRECONFIGURED)
        ->SetValue(true);
    UpdateEnabledState();
}

void CCommOptionsDlg::UpdateEnabledState()
{
    const bool bProxy = m_nMethod == kConnectProxy;
    m_pProxy->Enable(bProxy);
    m_pPort->Enable(bProxy);
}
