// SPDX-License-Identifier: MIT
// questrel_screenshot: the desktop program on the catalogue and profile of the
// XDG folders, a search started as if Search were pressed, and a screenshot of
// the finished search saved to $QUESTREL_SCREENSHOT (with ImageMagick's import).
// With $QUESTREL_LEARN_ADDRESS and $QUESTREL_LEARN_QUERY, the engine dialog
// instead, its fields learned from that result page and its preview shown.
// With $QUESTREL_PRINT_PREVIEW, the print preview of the finished search.
// With $QUESTREL_SCREENSHOT_OWN_SIZE, the window keeps the size it takes on a
// first start (else 1100x640).

#include "gui/SettingsStore.h"
#include "engines/EngineCatalogue.h"
#include "platform/InternetClient.h"
#include "gui/AppContext.h"
#include "gui/MainFrame.h"
#include "gui/EngineDlg.h"
#include "gui/LearnDlg.h"
#include "gui/QuestrelView.h"
#include "workbench/EngineLearner.h"
#include "search/PageRequest.h"
#include "gui/Language.h"

#include <wx/utils.h>

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
        TakeUserLanguage(QUESTREL_SHARE_DIR); // the window in the language of LANG
        InitNetworkLibrary();
        m_pSettings = std::make_unique<CSettingsStore>(CSettingsStore::GetDefaultPath());
        CAppContext context;
        context.m_pSettings = m_pSettings.get();
        context.m_strCataloguePath = GetUserCataloguePath();
        m_pModel = std::make_unique<CAppModel>(context);
        m_pFrame = new CMainFrame(*m_pModel);
        if (!wxGetEnv("QUESTREL_SCREENSHOT_OWN_SIZE", nullptr)) // else the window's own first size
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
    // The engine dialog over the window, learned from the page as its button would.
    void ShowLearnedDialog(const std::string& strAddress, const std::string& strQuery)
    {
        const CPageAnswer answer =
            FetchAnswer(m_pFrame->GetModel().GetSessionOptions(), {strAddress, nullptr}).value_or(CPageAnswer{});
        CLearnRequest request;
        request.m_strName = "Sample Learned";
        request.m_strQuery = strQuery;
        request.m_strAddress = strAddress;
        const CSearchEngine engine = LearnFromPage(request, answer, nullptr).m_engine;
        m_pDialog = new CEngineDlg(m_pFrame, m_pFrame->GetModel().GetSessionOptions());
        m_pDialog->SetFromEngine(engine);
        m_pDialog->TransferDataToWindow();
        m_pDialog->SetProbePage(strQuery, answer);
        m_pDialog->OnTest();
        m_pDialog->Show();
    }

    void Step()
    {
        CQuestrelView& view = m_pFrame->GetFormView();
        const char* pszLearn = std::getenv("QUESTREL_LEARN_ADDRESS");
        const char* pszQuery = std::getenv("QUESTREL_LEARN_QUERY");
        if (m_nStep == 0 && pszLearn && std::getenv("QUESTREL_LEARN_LISTS")) {
            // The Learn dialog itself, after learning: the lists it considered.
            m_pLearn = new CLearnDlg(m_pFrame, m_pFrame->GetModel().GetSessionOptions());
            m_pLearn->m_strQuery = pszQuery ? pszQuery : "";
            m_pLearn->m_strAddress = pszLearn;
            m_pLearn->InitDialog();
            m_pLearn->Show();
            m_pLearn->StartLearning();
        } else if (m_nStep == 0 && pszLearn) {
            ShowLearnedDialog(pszLearn, pszQuery ? pszQuery : "");
        } else if (m_nStep == 0)
            view.OnSearch();
        else if (view.IsSearching() && m_nStep < 100)
            return;
        else if (m_nStep == 2 && std::getenv("QUESTREL_PRINT_PREVIEW"))
            view.OnPrint(wxID_PREVIEW); // the search's result list as it would print
        else if (m_nStep >= 3) {
            const char* pszOut = std::getenv("QUESTREL_SCREENSHOT");
            const std::string strCommand =
                std::string("import -window root '") + (pszOut ? pszOut : "screenshot.png") + "'";
            const int nResult = std::system(strCommand.c_str());
            m_timer.Stop();
            if (m_pDialog)
                m_pDialog->Destroy();
            if (m_pLearn)
                m_pLearn->Destroy();
            m_pFrame->Close();
            if (nResult != 0)
                std::fprintf(stderr, "questrel_screenshot: import failed\n");
            return;
        }
        ++m_nStep;
    }

    std::unique_ptr<CSettingsStore> m_pSettings;
    std::unique_ptr<CAppModel> m_pModel;
    CMainFrame* m_pFrame = nullptr;
    CEngineDlg* m_pDialog = nullptr;
    CLearnDlg* m_pLearn = nullptr;
    wxTimer m_timer;
    int m_nStep = 0;
};

wxIMPLEMENT_APP(CScreenshotApp);
