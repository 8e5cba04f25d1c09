// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <wx/app.h>

class CAppModel;
class CSettingsStore;

// The application: start-up in order (network library, profile, command line,
// catalogue, main frame with its document and form, a named document), and
// the desktop registration when it is missing.
class CQuestrelApp : public wxApp
{
public:
    bool OnInit() override;
    int OnExit() override;

private:
    std::unique_ptr<CSettingsStore> m_pSettings;
    std::unique_ptr<CAppModel> m_pModel; // shared by the window's parts
    bool m_bNetworkStarted = false;
};

wxDECLARE_APP(CQuestrelApp);
