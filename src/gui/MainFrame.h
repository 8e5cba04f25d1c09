// SPDX-License-Identifier: MIT
#pragma once

// The main window: menus, toolbar, status bar, and a splitter with the engine
// pane on the left and the search form on the right. It lays the parts out,
// routes the commands to them and shows the model's settings (the option
// checks, the form); the parts share the model and say what happens through
// the status bar.

#include "gui/AppModel.h"
#include "gui/Commands.h"
#include "gui/StatusSink.h"

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


class CMainFrame : public wxFrame, public IStatusSink
{
public:
    // The model outlives the frame.
    explicit CMainFrame(CAppModel& model);
    ~CMainFrame() override;

    CAppModel& GetModel() { return m_model; }
    CEngineListCtrl& GetEnginePane() { return *m_pEngineView; }
    CQuestrelView& GetFormView() { return *m_pFormView; }
    CQuestrelDoc& GetDocument() { return *m_pDocument; }
    CSettingsStore& GetSettings() { return m_model.GetSettings(); }

    // IStatusSink.
    void ShowStatusText(const wxString& strText) override;
    void ShowStatusTexts(const std::vector<std::string>& texts) override;
    void ShowHitCount(int nHits) override;
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
    void OnToggleOption(int nId) { m_model.ToggleOption(nId); }
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
    // Shows the model's settings again: one option's check, or (0) everything.
    void OnModelChanged(int nOptionId);
    void OnClose(wxCloseEvent& event);

    CAppModel& m_model;
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

