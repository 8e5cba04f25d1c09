// SPDX-License-Identifier: MIT
#pragma once

#include <wx/image.h>

// A main frame on temporary folders, with every message box, dialog and file
// chooser answered by the test.

#include "TestFixtures.h"
#include "engines/SearchEngine.h"
#include "gui/CatalogueEditor.h"
#include "gui/MainFrame.h"
#include "gui/SettingsStore.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class wxDialog;
class wxMenu;
class wxPrintout;

namespace qtest {

// Changes the window's search settings and shows them, as opening a document would.
inline void ChangeSettings(CMainFrame& frame, const std::function<void(CSearchSettings&)>& change)
{
    CSearchSettings settings = frame.GetModel().GetSearchSettings();
    change(settings);
    frame.GetModel().ApplySearchSettings(settings);
}

struct CShownMessage
{
    std::string m_strText;
    std::string m_strCaption;
    long m_nStyle;
};

class CGuiFixture
{
public:
    CGuiFixture();
    ~CGuiFixture();

    // What start-up found when it brought the catalogue up to date (see CAppContext).
    std::string m_strShareDir;
    int m_nEnginesUpdated = 0;
    std::vector<std::string> m_newerShipped;

    // A frame over the given catalogue (written to the temporary folder first).
    CMainFrame& StartFrame(const std::vector<CSearchEngine>& catalogue = {}, bool bEngineEditing = false);
    // Closes the frame as the user would (settings written at exit) and deletes it.
    void CloseFrame();

    CSettingsStore& Settings() { return *m_pSettings; }
    std::unique_ptr<CSettingsStore> ReopenSettings() const;
    // Reads the profile again (before StartFrame), as a new start would.
    void ReadSettingsAgain() { m_pSettings = ReopenSettings(); }
    const std::string& CataloguePath() const { return m_strCatalogue; }
    CTempDir& Dir() { return m_dir; }

    // Message boxes: every one is recorded and answered with m_nAnswer (or by m_answer).
    std::vector<CShownMessage> m_messages;
    int m_nAnswer = 0; // 0: OK / the default
    std::function<void(const CShownMessage&)> m_onMessage; // called as each box is shown
    std::function<int(wxDialog&)> m_dialogHandler;
    std::function<std::string(bool bSave)> m_fileHandler;
    // Every file chooser shown: "open", or "save " and the name it proposed.
    std::vector<std::string> m_fileAsks;
    // Pop-up menus: the item to choose (wxID_NONE by default); each menu shown is recorded.
    std::function<int(wxMenu&)> m_popupHandler;
    std::vector<std::vector<std::string>> m_popupMenus; // the items' labels of each menu shown
    // "print", "preview", "setup" for each print command; each printout's pages drawn.
    std::vector<std::string> m_prints;
    std::vector<std::vector<wxImage>> m_printedPages;
    std::vector<std::string> m_clipboard;               // every text put on the clipboard
    std::vector<std::string> m_statusTexts;
    std::vector<std::string> m_opened; // targets handed to the desktop opener (guarded by m_openedMutex)
    std::mutex m_openedMutex;          // the worker opens the results page on its own thread
    std::vector<std::string> Opened()
    {
        std::lock_guard<std::mutex> lock(m_openedMutex);
        return m_opened;
    }
    int m_nOpenResult = 42;

    std::vector<std::string> MessageTexts() const;

private:
    CTempDir m_dir;
    std::string m_strCatalogue;
    std::unique_ptr<CSettingsStore> m_pSettings;
    std::unique_ptr<CAppModel> m_pModel; // made at each start, as the application makes it
    CMainFrame* m_pFrame = nullptr;
};

// Handles pending events until the predicate holds (or the time runs out).
bool PumpUntil(const std::function<bool()>& predicate, int nTimeoutMs = 5000);
// Draws each page of a printout as a printer would, on A4 paper at 96 dots per inch.
std::vector<wxImage> DrawPrintout(wxPrintout& printout);
// Handles events for a while: what a window manager may still do to a window.
inline void PumpFor(int nMs) { PumpUntil([] { return false; }, nMs); }
void Pump();

// openbox on the test's display for as long as the object lives; a top
// margin makes the work area smaller than the screen, as a panel does.
class CWindowManager
{
public:
    explicit CWindowManager(int nTopMargin = 0);
    ~CWindowManager();
    CWindowManager(const CWindowManager&) = delete;
    CWindowManager& operator=(const CWindowManager&) = delete;
    bool IsRunning() const { return m_nPid > 0; }

private:
    int m_nPid = -1;
    CTempDir m_dir;
};

} // namespace qtest
