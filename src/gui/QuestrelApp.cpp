// SPDX-License-Identifier: MIT
#include "gui/QuestrelApp.h"

#include "engines/CatalogueUpdate.h"

#include "gui/QuestrelDoc.h"
#include "gui/SettingsStore.h"
#include "platform/InternetClient.h"
#include "search/SearchTexts.h"
#include "gui/AppContext.h"
#include "gui/DesktopIntegration.h"
#include "gui/MainFrame.h"
#include "gui/MessageBox.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"
#include "gui/Language.h"
#include "platform/Translate.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <wx/clipbrd.h>

wxIMPLEMENT_APP_NO_MAIN(CQuestrelApp);

namespace {

constexpr const char* kUsage = N_(
    "usage: questrel [/a] [FILE.qrl]\n"
    "       questrel --help | --version\n"
    "\n"
    "Internet Questrel: a meta-search tool for the web.\n"
    "  /a          engine editing: New, Edit and Delete Engine in the File menu\n"
    "  FILE.qrl    a saved search to open\n"
    "See also questrel-cli --help for searching from a terminal.\n");

} // namespace

// --help and --version are answered before any window (or display) is needed.
int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("questrel %s\n", QUESTREL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            InitTranslations(LocaleDirectoryFor(FindShareDirectory()));
            std::fputs(Tr(kUsage), stdout);
            return 0;
        }
    }
    return wxEntry(argc, argv);
}

bool CQuestrelApp::OnInit()
{
    SetAppName("questrel");
    SetAppDisplayName(kAppTitle);

    const std::string strShareDir = FindShareDirectory();
    TakeUserLanguage(strShareDir);
    if (!InitNetworkLibrary()) {
        ShowMessageBox(nullptr, TrWx(kMsgStartupFailed), kAppCaption, wxOK | wxICON_ERROR);
        return false;
    }
    m_bNetworkStarted = true;
    m_pSettings = std::make_unique<CSettingsStore>(CSettingsStore::GetDefaultPath());

    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i].ToStdString(wxConvUTF8));
    std::vector<const char*> argPointers;
    for (const std::string& strArg : args)
        argPointers.push_back(strArg.c_str());
    const CCommandLine commandLine = ParseCommandLine(argc, argPointers.data());

    CAppContext context;
    context.m_pSettings = m_pSettings.get();
    CCatalogueUpdate update;
    context.m_strCataloguePath = PrepareCatalogue(strShareDir, &update);
    context.m_strShareDir = strShareDir;
    context.m_nEnginesUpdated = update.m_nUpdated;
    context.m_newerShipped = update.m_newerShipped;
    context.m_strHelpDir = strShareDir.empty() ? std::string() : strShareDir + "help/";
    context.m_bEngineEditing = commandLine.m_bEngineEditing;

    m_pModel = std::make_unique<CAppModel>(context);
    auto* pFrame = new CMainFrame(*m_pModel);
    SetTopWindow(pFrame);
    pFrame->Show();
    pFrame->FocusQueryField();
    if (!commandLine.m_strDocument.empty())
        pFrame->GetDocument().OpenNamedDocument(commandLine.m_strDocument);

    if (IsBuildTreeShareDirectory(strShareDir) && !IsDesktopRegistered()) {
        char szPath[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", szPath, sizeof szPath - 1);
        if (n > 0)
            RegisterDesktopIntegration(szPath, strShareDir);
    }
    return true;
}

int CQuestrelApp::OnExit()
{
    m_pModel.reset();
    m_pSettings.reset();
    // Copied hits stay on the clipboard after the program ends (handed to the
    // desktop's clipboard manager, where there is one).
    wxTheClipboard->Flush();
    if (m_bNetworkStarted)
        CleanupNetworkLibrary();
    return wxApp::OnExit();
}
