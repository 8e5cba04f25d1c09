// SPDX-License-Identifier: MIT
#pragma once

// The catalogue's side of the window: loading and saving the engine catalogue
// behind the engine pane, the engine commands (New, Edit, Delete, Restore
// Shipped Definition, Select All, Clear All, Check Engines) and the pane's
// pop-up menu. Lives on the UI thread; Check Engines runs off it.

#include "gui/AppContext.h"
#include "gui/BackgroundTask.h"
#include "workbench/EngineCheck.h"

#include <vector>

class CEngineListCtrl;
class CAppModel;
class IStatusSink;
class wxWindow;
class wxMenu;

class CCatalogueEditor
{
public:
    // Boxes, dialogs and the check's end belong to the parent window.
    CCatalogueEditor(wxWindow& parent, CEngineListCtrl& pane, CAppModel& model, IStatusSink& status);
    ~CCatalogueEditor();
    CCatalogueEditor(const CCatalogueEditor&) = delete;
    CCatalogueEditor& operator=(const CCatalogueEditor&) = delete;

    // Fills the pane from the catalogue, with the ticks the profile keeps. A
    // catalogue that is there but cannot be read is said, and never written over.
    void LoadEngines();
    // Writes the pane's engines to the catalogue; false (said in a box) when it could not.
    bool SaveEngines();
    // False (and says why) when engine commands must leave the catalogue alone.
    bool MayChangeCatalogue();
    // Once per engine: a newer shipped definition of an engine the user changed.
    void TellNewerShippedDefinitions();

    void OnNewEngine();
    void OnEditEngine();
    void OnDeleteEngine();
    // The selected engine takes the definition shipped with the program.
    void OnRestoreShippedDefinition();
    void OnSelectAllEngines();
    void OnClearAllEngines();
    // Asks the ticked engines (all, when none is ticked) for one page each, off
    // the UI thread, and shows in the pane which work and why not.
    void OnCheckEngines();
    bool IsCheckingEngines() const { return m_checkTask.IsRunning(); }
    // For the selected engine whose check found its definition broken: new
    // tokens learned from its page (off the UI thread), shown old beside new
    // with what each finds, taken with the user's Yes.
    void OnMendEngine();
    // Ends a running check (the window is closing).
    void CancelCheck() { m_checkTask.Cancel(); }

    // The engine pop-up menu (the caller owns it); ShowEngineMenu shows it at the pointer.
    wxMenu* CreateEngineMenu() const;
    void ShowEngineMenu();

private:
    wxWindow& m_parent;
    CEngineListCtrl& m_pane;
    CAppModel& m_model;
    IStatusSink& m_status;
    const CAppContext& m_context;
    bool m_bCatalogueUnreadable = false; // there but not read: never written over
    CBackgroundTask m_checkTask; // Check Engines, then Mend
    std::vector<CEngineCheck> m_lastChecks;
    // The last check of the engine at that row of the pane when it found the definition broken.
    const CEngineCheck* BrokenCheckAt(int nRow) const;
};
