// SPDX-License-Identifier: MIT
#pragma once

// The main window: menus, toolbar, status bar, and a splitter with the engine
// pane on the left and the search form on the right. It holds the options and
// the connection settings for the whole program.

#include "gui/AppContext.h"
#include "gui/Commands.h"
#include "platform/InternetClient.h"
#include "search/SearchSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <wx/frame.h>
#include <wx/timer.h>

class CCatalogueEditor;
class CEngineListCtrl;
class CQuestrelDoc;
class CQuestrelView;
class CSettingsStore;
class wxMenu;
class wxSplitterWindow;


class CMainFrame : public wxFrame
{
public:
    explicit CMainFrame(const CAppContext& context);
    ~CMainFrame() override;

    // The search settings of the window: the form's values as last read from or
    // shown in it, the options and the connection.
    const CSearchSettings& GetSearchSettings() const { return m_search; }
    // Takes the settings and shows them: the form, the option checks.
    void ApplySearchSettings(const CSearchSettings& settings);
    // Takes the settings as the form gave them (nothing is shown again).
    void StoreSearchSettings(const CSearchSettings& settings) { m_search = settings; }
    // Whether an Options menu item is on.
    bool IsOptionOn(int nId) const;
    // The connection settings changed since the session was opened (the next
    // search asks whether to reconnect).
    bool IsReconnectPending() const { return m_bReconnectPending; }
    void ClearReconnectPending() { m_bReconnectPending = false; }

    CEngineListCtrl& GetEnginePane() { return *m_pEngineView; }
    CQuestrelView& GetFormView() { return *m_pFormView; }
    CQuestrelDoc& GetDocument() { return *m_pDocument; }
    CSettingsStore& GetSettings() { return *m_context.m_pSettings; }
    // Every write of the profile reports here: one that failed is said in the
    // status bar, once until a write succeeds again.
    void NoteSettingsWritten(bool bWritten);

    // The message pane; the idle text is "Ready".
    void ShowStatusText(const wxString& strText);
    // The window's size, position and sash are kept in the profile at close and
    // restored at start.
    void SaveWindowPlacement();
    void RestoreWindowPlacement();
    // Shows the window at the place the profile kept, under a window manager too.
    bool Show(bool bShow = true) override;
    int GetSashPosition() const;
    // The engine pane's width at first start and after View > Split: its heading
    // shows whole unless the window is small.
    int GetDefaultEnginePaneWidth() const;
    int DefaultEnginePaneWidth(int nWindowWidth) const;
    // F6 (+1) and Shift+F6 (-1): query field -> engine list -> result list and round.
    void MoveToPane(int nStep);
    // Where the focus is at start: the form's first control.
    void FocusQueryField();
    void SetSashPosition(int nPosition);

    // Texts that came together: the bar shows the last one.
    void ShowStatusTexts(const std::vector<std::string>& texts);
    // The number of hits the list holds, in a field of its own ("12 hits"); -1 clears it.
    void ShowHitCount(int nHits);
    wxString GetHitCountText() const;
    wxString GetStatusMessage() const;
    // Tests and tools may watch every text shown.
    void SetStatusObserver(std::function<void(const wxString&)> observer) { m_statusObserver = std::move(observer); }

    void SetMenuCheck(bool bChecked, int nId);
    // The catalogue behind the engine pane and the engine commands.
    CCatalogueEditor& GetCatalogue() { return *m_pCatalogue; }
    void UpdateTitle();
    void UpdateCommandStates();
    void UpdateLockIndicators();

    // Commands.
    void OnToggleOption(int nId);
    // The connection settings of the moment, as the options of requests outside a search.
    CSessionOptions GetSessionOptions() const;
    void OnCommunication();
    bool OnHelp(int nTopic);
    void OnAbout();
    // What closing the window writes: the ticks and form values, when "Save Settings" is on.
    void SaveSettingsAtExit();

protected:
    void DoGiveHelp(const wxString& strText, bool bShow) override;

private:
    void CreateMenus();
    void CreateToolBarAndStatusBar();
    void ReadOptions();
    void OnClose(wxCloseEvent& event);
    bool* OptionFlag(int nId, const char** ppszKey);

    CAppContext m_context;
    CSearchSettings m_search;
    bool m_bShowHints = true;
    bool m_bSaveSettings = false;
    bool m_bReportFailures = true; // failed engines in one box after a search
    bool m_bReconnectPending = false;
    bool m_bSettingsWriteFailed = false; // said in the status bar, not again until a write succeeds
    wxSplitterWindow* m_pSplitter = nullptr;
    int m_nSashPosition = 200;     // the engine pane's width, as placed or as the user dragged it
    bool m_bPlaceAfterShow = false; // the profile gave a place, asked for again when first shown
    wxString m_strStatusText;       // what the bar says when no menu item is highlighted
    bool m_bSplitterSizing = false; // a size change of the splitter is being handled
    CEngineListCtrl* m_pEngineView = nullptr;
    CQuestrelView* m_pFormView = nullptr;
    std::unique_ptr<CQuestrelDoc> m_pDocument;
    wxTimer m_lockTimer;
    std::unique_ptr<CCatalogueEditor> m_pCatalogue;
    std::function<void(const wxString&)> m_statusObserver;
};

