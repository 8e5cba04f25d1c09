// SPDX-License-Identifier: MIT
#pragma once

// "Communication Options": how the internet session is opened.

#include <string>
#include <wx/dialog.h>

class wxRadioButton;
class wxSpinCtrl;
class wxTextCtrl;

enum : int
{
    IDC_PROXY_ADDRESS = 1020,
    IDC_PROXY_PORT = 1021,
    IDC_PRECONFIGURED = 1022,
    IDC_DIRECT = 1023,
    IDC_USE_PROXY = 1024,
    IDC_USER_AGENT = 1026,
    IDC_TIMEOUT = 1027,
};

class CCommOptionsDlg : public wxDialog
{
public:
    CCommOptionsDlg(wxWindow* pParent, int nMethod, const std::string& strProxy,
                    const std::string& strPort, const std::string& strUserAgent);

    int m_nMethod = 0; // any code but 1 and 3 shows as the preconfigured settings
    std::string m_strProxy;
    std::string m_strPort;
    std::string m_strUserAgent; // trimmed; empty asks for the program's own
    int m_nTimeoutSeconds = 20; // 1 to 600

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;
    // OK with the proxy method and no proxy address: the message, focus on the
    // address, and the dialog stays open.
    bool Validate() override;

    // What a click on a radio button does.
    void SelectMethod(int nMethod);
    wxRadioButton* GetRadio(int nId) const;
    wxTextCtrl* GetProxyEdit() const { return m_pProxy; }
    wxTextCtrl* GetPortEdit() const { return m_pPort; }
    wxTextCtrl* GetUserAgentEdit() const { return m_pUserAgent; }
    wxSpinCtrl* GetTimeoutEdit() const { return m_pTimeout; }

private:
    void UpdateEnabledState();

    wxRadioButton* m_pPreconfigured;
    wxRadioButton* m_pDirect;
    wxRadioButton* m_pUseProxy;
    wxTextCtrl* m_pProxy;
    wxTextCtrl* m_pPort;
    wxTextCtrl* m_pUserAgent;
    wxSpinCtrl* m_pTimeout;
};

// A proxy port as the dialog takes it: digits only, from 1 to 65535.
bool IsPortNumber(const std::string& strText);
