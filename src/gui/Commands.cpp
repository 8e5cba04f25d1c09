// SPDX-License-Identifier: MIT
#include "gui/Commands.h"

#include <wx/menu.h>

const char* CommandPrompt(int nId)
{
    switch (nId) {
    case ID_TOGGLE_SHOW_HINTS: return "Show hints to help you learn the program";
    case ID_TOGGLE_SHOW_HTML: return "Display results in an HTML file";
    case ID_TOGGLE_REMOVE_DUPS: return "Removes duplicate pages when retrieving results from the web server";
    case ID_TOGGLE_VERIFY_LINKS:
        return "Verifies that all the URL's that were returned are still valid.  If not they are deleted from the list.";
    case ID_NEW_ENGINE: return "Add a new search engine";
    case ID_EDIT_ENGINE: return "Edit the selected search engine";
    case ID_DELETE_ENGINE: return "Delete the selected search engine";
    case ID_COMMUNICATION: return "Configure communication settings";
    case ID_TOGGLE_ONE_AT_A_TIME:
        return "Asks the search engines one after another instead of side by side (slower)";
    case ID_TOGGLE_SAVE_SETTINGS:
        return "Saves your search settings and engines you've selected.  They will be restored the next time you run Internet Questrel";
    case wxID_NEW: return "Create a new document";
    case wxID_OPEN: return "Open an existing document";
    case wxID_SAVE: return "Save the active document";
    case wxID_SAVEAS: return "Save the active document with a new name";
    case ID_EXPORT_RESULTS: return "Save the result list as CSV or JSON";
    case wxID_PRINT: return "Print the result list";
    case wxID_PREVIEW: return "Display full pages of the result list as printed";
    case wxID_PRINT_SETUP: return "Change the printer and printing options";
    case ID_MEND_ENGINE: return "Learns new tokens for the selected engine, whose definition the check found broken";
    case ID_RESTORE_SHIPPED: return "Replaces the selected engine's definition by the one shipped with the program";
    case ID_CHECK_ENGINES:
        return "Asks the ticked engines (all, when none is ticked) for one page each and shows which work and why not";
    case wxID_EXIT: return "Quit the application";
    case ID_VIEW_TOOLBAR: return "Show or hide the toolbar";
    case ID_VIEW_STATUS_BAR: return "Show or hide the status bar";
    case ID_TOGGLE_REPORT_FAILURES:
        return "After a search, shows in one box every engine that failed and why";
    case ID_ORDER_BY_RANK:
        return "Shows first the hits that several engines listed near their top, instead of engine after engine";
    case ID_WINDOW_SPLIT: return "Split the active window into panes";
    case ID_HELP_CONTENTS: return "List Help topics";
    case ID_HELP_HOWTO: return "How to search with Internet Questrel";
    case wxID_ABOUT: return "Display program information, version number and copyright";
    default: return "";
    }
}

wxMenuBar* CreateMenuBar(bool bEngineEditing)
{
    auto item = [](wxMenu* pMenu, int nId, const wxString& strText, wxItemKind kind = wxITEM_NORMAL) {
        pMenu->Append(nId, strText, CommandPrompt(nId), kind);
    };
    auto* pFile = new wxMenu;
    item(pFile, wxID_NEW, "&New\tCtrl+N");
    item(pFile, wxID_OPEN, "&Open...\tCtrl+O");
    item(pFile, wxID_SAVE, "&Save\tCtrl+S");
    item(pFile, wxID_SAVEAS, "Save &As...");
    item(pFile, ID_EXPORT_RESULTS, "Export &Results...");
    pFile->AppendSeparator();
    item(pFile, wxID_PRINT, "&Print...\tCtrl+P");
    item(pFile, wxID_PREVIEW, "Print Pre&view");
    item(pFile, wxID_PRINT_SETUP, "Print Set&up...");
    pFile->AppendSeparator();
    if (bEngineEditing) {
        item(pFile, ID_NEW_ENGINE, "Ne&w Engine");
        item(pFile, ID_EDIT_ENGINE, "&Edit Engine");
        item(pFile, ID_DELETE_ENGINE, "&Delete Engine");
        pFile->AppendSeparator();
    }
    item(pFile, wxID_EXIT, "E&xit");

    auto* pView = new wxMenu;
    item(pView, ID_VIEW_TOOLBAR, "&Toolbar", wxITEM_CHECK);
    item(pView, ID_VIEW_STATUS_BAR, "&Status Bar", wxITEM_CHECK);
    pView->AppendSeparator();
    item(pView, ID_ORDER_BY_RANK, "Order by &Rank", wxITEM_CHECK);
    pView->AppendSeparator();
    item(pView, ID_WINDOW_SPLIT, "S&plit");

    auto* pOptions = new wxMenu;
    item(pOptions, ID_TOGGLE_REMOVE_DUPS, "&Remove Duplicates", wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_VERIFY_LINKS, "&Verify Links", wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_SHOW_HINTS, "&Show Hints", wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_SHOW_HTML, "Show Results in a &Web Page", wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_SAVE_SETTINGS, "Save Search Settin&gs", wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_ONE_AT_A_TIME, "Search Engines &One at a Time", wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_REPORT_FAILURES, "Report &Failed Engines in a Box", wxITEM_CHECK);
    pOptions->AppendSeparator();
    item(pOptions, ID_CHECK_ENGINES, kCheckEnginesLabel);
    item(pOptions, ID_COMMUNICATION, "&Communication");

    auto* pHelp = new wxMenu;
    item(pHelp, ID_HELP_CONTENTS, "&Contents\tF1");
    item(pHelp, ID_HELP_HOWTO, "&How to use Internet Questrel");
    item(pHelp, wxID_ABOUT, "&About Questrel...");

    auto* pBar = new wxMenuBar;
    pBar->Append(pFile, "&File");
    pBar->Append(pView, "&View");
    pBar->Append(pOptions, "&Options");
    pBar->Append(pHelp, "&Help");
    return pBar;
}
