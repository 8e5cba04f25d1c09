// SPDX-License-Identifier: MIT
#include "GuiFixture.h"

#include "engines/EngineCatalogue.h"
#include "platform/FileUtil.h"
#include "platform/ShellOpen.h"
#include "gui/MessageBox.h"
#include "gui/QuestrelView.h"
#include "gui/WxText.h"
#include "gui/ResultPrinting.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/dcmemory.h>
#include <wx/prntbase.h>

namespace qtest {

CGuiFixture::CGuiFixture()
{
    ::setenv("XDG_CONFIG_HOME", m_dir.File("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", m_dir.File("data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", m_dir.File("cache").c_str(), 1);
    m_strCatalogue = m_dir.File("data/questrel/engines.dat");
    m_pSettings = std::make_unique<CSettingsStore>(m_dir.File("config/questrel/questrel.ini"));
    SetMessageBoxHandler([this](const wxString& strText, const wxString& strCaption, long nStyle) {
        m_messages.push_back({FromWx(strText), FromWx(strCaption), nStyle});
        if (m_onMessage)
            m_onMessage(m_messages.back());
        if (m_nAnswer)
            return m_nAnswer;
        return (nStyle & wxYES_NO) ? wxYES : wxOK;
    });
    SetModalDialogHandler([this](wxDialog& dialog) {
        return m_dialogHandler ? m_dialogHandler(dialog) : wxID_CANCEL;
    });
    SetChooseFileHandler([this](bool bSave, const wxString& strDefault) {
        m_fileAsks.push_back(bSave ? "save " + FromWx(strDefault) : "open");
        return m_fileHandler ? ToWx(m_fileHandler(bSave)) : wxString();
    });
    SetPopupMenuHandler([this](wxMenu& menu) {
        std::vector<std::string> labels;
        for (const wxMenuItem* pItem : menu.GetMenuItems())
            if (!pItem->IsSeparator())
                labels.push_back(FromWx(pItem->GetItemLabelText()));
        m_popupMenus.push_back(labels);
        return m_popupHandler ? m_popupHandler(menu) : wxID_NONE;
    });
    SetClipboardHandler([this](const wxString& strText) { m_clipboard.push_back(FromWx(strText)); });
    SetPrintHandler([this](EPrintCommand nCommand, wxPrintout* pPrintout) {
        m_prints.push_back(nCommand == EPrintCommand::Print ? "print" : nCommand == EPrintCommand::Preview ? "preview" : "setup");
        if (pPrintout)
            m_printedPages.push_back(DrawPrintout(*pPrintout));
    });
    SetShellOpenHandler([this](const std::string& strTarget) {
        std::lock_guard<std::mutex> lock(m_openedMutex);
        m_opened.push_back(strTarget);
        return m_nOpenResult;
    });
}

CGuiFixture::~CGuiFixture()
{
    if (m_pFrame) {
        m_pFrame->GetFormView().CancelSearch();
        delete m_pFrame;
    }
    Pump();
    SetMessageBoxHandler(nullptr);
    SetModalDialogHandler(nullptr);
    SetChooseFileHandler(nullptr);
    SetPopupMenuHandler(nullptr);
    SetClipboardHandler(nullptr);
    SetPrintHandler(nullptr);
    SetShellOpenHandler(nullptr);
}

CMainFrame& CGuiFixture::StartFrame(const std::vector<CSearchEngine>& catalogue, bool bEngineEditing)
{
    if (!catalogue.empty())
        SaveEngines(m_strCatalogue, catalogue);
    CAppContext context;
    context.m_pSettings = m_pSettings.get();
    context.m_strCataloguePath = m_strCatalogue;
    context.m_strHelpDir = m_dir.File("help/");
    context.m_bEngineEditing = bEngineEditing;
    context.m_strShareDir = m_strShareDir;
    context.m_nEnginesUpdated = m_nEnginesUpdated;
    context.m_newerShipped = m_newerShipped;
    m_pModel = std::make_unique<CAppModel>(context);
    m_pFrame = new CMainFrame(*m_pModel);
    m_pFrame->SetStatusObserver([this](const wxString& strText) { m_statusTexts.push_back(FromWx(strText)); });
    m_pFrame->Show();
    Pump();
    return *m_pFrame;
}

void CGuiFixture::CloseFrame()
{
    if (!m_pFrame)
        return;
    wxCloseEvent event(wxEVT_CLOSE_WINDOW, m_pFrame->GetId());
    event.SetEventObject(m_pFrame);
    event.SetCanVeto(true);
    m_pFrame->GetEventHandler()->ProcessEvent(event);
    delete m_pFrame;
    m_pFrame = nullptr;
    Pump();
}

std::unique_ptr<CSettingsStore> CGuiFixture::ReopenSettings() const
{
    return std::make_unique<CSettingsStore>(m_pSettings->GetPath());
}

std::vector<std::string> CGuiFixture::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const CShownMessage& message : m_messages)
        texts.push_back(message.m_strText);
    return texts;
}

void Pump()
{
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
}

bool PumpUntil(const std::function<bool()>& predicate, int nTimeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;) {
        Pump();
        if (predicate())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<wxImage> DrawPrintout(wxPrintout& printout)
{
    const wxSize page(794, 1123); // A4 at 96 dots per inch
    wxBitmap bitmap(page);
    wxMemoryDC dc(bitmap);
    printout.SetDC(&dc);
    printout.SetPPIScreen(96, 96);
    printout.SetPPIPrinter(96, 96);
    printout.SetPageSizePixels(page.x, page.y);
    printout.SetPageSizeMM(210, 297);
    printout.SetPaperRectPixels(wxRect(page));
    printout.OnPreparePrinting();
    int nMin = 0, nMax = 0, nFrom = 0, nTo = 0;
    printout.GetPageInfo(&nMin, &nMax, &nFrom, &nTo);
    std::vector<wxImage> pages;
    printout.OnBeginPrinting();
    if (printout.OnBeginDocument(nMin, nMax)) {
        for (int nPage = nMin; nPage <= nMax && printout.HasPage(nPage); ++nPage) {
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            printout.OnPrintPage(nPage);
            dc.SelectObject(wxNullBitmap);
            pages.push_back(bitmap.ConvertToImage());
            dc.SelectObject(bitmap);
        }
        printout.OnEndDocument();
    }
    printout.OnEndPrinting();
    printout.SetDC(nullptr);
    return pages;
}

CWindowManager::CWindowManager(int nTopMargin)
{
    const char* const pszOpenbox = "/usr/bin/openbox";
    std::string strConfig;
    if (::access(pszOpenbox, X_OK) != 0 || !ReadFileBytes("/etc/xdg/openbox/rc.xml", strConfig, 1 << 20))
        return;
    const size_t nFrom = strConfig.find("<margins>");
    const size_t nTo = strConfig.find("</margins>");
    if (nFrom != std::string::npos && nTo != std::string::npos)
        strConfig.replace(nFrom, nTo - nFrom, "<margins><top>" + std::to_string(nTopMargin) + "</top>");
    const std::string strConfigPath = m_dir.File("rc.xml");
    WriteFile(strConfigPath, strConfig);
    m_nPid = ::fork();
    if (m_nPid == 0) {
        ::execl(pszOpenbox, "openbox", "--sm-disable", "--config-file", strConfigPath.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the manager takes the screen
}

CWindowManager::~CWindowManager()
{
    if (m_nPid <= 0)
        return;
    // A manager still starting up may not heed SIGTERM: it gets SIGKILL then,
    // rather than hold the test until its time-out.
    ::kill(m_nPid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(m_nPid, nullptr, WNOHANG) == m_nPid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(m_nPid, SIGKILL);
    ::waitpid(m_nPid, nullptr, 0);
}

} // namespace qtest
