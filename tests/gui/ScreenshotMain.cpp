// SPDX-License-Identifier: MIT
// questrel_screenshot: the desktop program on the catalogue and profile of the
// XDG folders, a search started as if Search were pressed, and a screenshot of
// the finished search saved to $QUESTREL_SCREENSHOT (with ImageMagick's import).

#include "gui/SettingsStore.h"
#include "engines/EngineCatalogue.h"
#include "platform/InternetClient.h"
#include "gui/AppContext.h"
#include "gui/MainFrame.h"
#include "gui/QuestrelView.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <wx/app.h>
#include <wx/timer.h>

class CScreenshotApp : public wxApp
{
public:
    bool OnInit() override
    {
        InitNetworkLibrary();
        m_pSettings = std::make_unique<CSettingsStore>(CSettingsStore::GetDefaultPath());
        CAppContext context;
        context.m_pSettings = m_pSettings.get();
        context.m_strCataloguePath = GetUserCataloguePath();
        m_pFrame = new CMainFrame(context);
        SetMainFrame(m_pFrame);
        m_pFrame->SetSize(1100, 640);
        m_pFrame->Show();
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(400);
        return true;
    }
    int OnExit() override
    {
        CleanupNetworkLibrary();
        return wxApp::OnExit();
    }

private:
    void Step()
    {
        CQuestrelView& view = m_pFrame->GetFormView();
        if (m_nStep == 0)
            view.OnSearch();
        else if (view.IsSearching() && m_nStep < 100)
            return;
        else if (m_nStep >= 3) {
            const char* pszOut = std::getenv("QUESTREL_SCREENSHOT");
            const std::string strCommand =
                std::string("import -window root '") + (pszOut ? pszOut : "screenshot.png") + "'";
            const int nResult = std::system(strCommand.c_str());
            m_timer.Stop();
            m_pFrame->Close();
            if (nResult != 0)
                std::fprintf(stderr, "questrel_screenshot: import failed\n");
            return;
        }
        ++m_nStep;
    }

    std::unique_ptr<CSettingsStore> m_pSettings;
    CMainFrame* m_pFrame = nullptr;
    wxTimer m_timer;
    int m_nStep = 0;
};

wxIMPLEMENT_APP(CScreenshotApp);
