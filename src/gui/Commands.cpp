// SPDX-License-Identifier: MIT
#include "gui/Commands.h"

#include "gui/WxText.h"
#include "platform/Translate.h"

#include <wx/menu.h>

const char* CommandPrompt(int nId)
{
    switch (nId) {
    case ID_TOGGLE_SHOW_HINTS: return Tr("Show hints to help you learn the program");
    case ID_TOGGLE_SHOW_HTML: return Tr("Display results in an HTML file");
    case ID_TOGGLE_REMOVE_DUPS: return Tr("Removes duplicate pages when retrieving results from the web server");
    case ID_TOGGLE_VERIFY_LINKS:
        return Tr("Verifies that all the URL's that were returned are still valid.  If not they are deleted from the list.");
    case ID_NEW_ENGINE: return Tr("Add a new search engine");
    case ID_EDIT_ENGINE: return Tr("Edit the selected search engine");
    case ID_DELETE_ENGINE: return Tr("Delete the selected search engine");
    case ID_COMMUNICATION: return Tr("Configure communication settings");
    case ID_TOGGLE_BROWSER_ENGINE:
        return Tr("Loads a result page whose results a script writes again in the system's browser engine "
                  "(chromium-headless-shell), which runs its scripts");
    case ID_TOGGLE_ONE_AT_A_TIME:
        return Tr("Asks the search engines one after another instead of side by side (slower)");
    case ID_TOGGLE_SAVE_SETTINGS:
        return Tr("Saves your search settings and engines you've selected.  They will be restored the next time you run Internet Questrel");
    case wxID_NEW: return Tr("Create a new document");
    case wxID_OPEN: return Tr("Open an existing document");
    case wxID_SAVE: return Tr("Save the active document");
    case wxID_SAVEAS: return Tr("Save the active document with a new name");
    case ID_EXPORT_RESULTS: return Tr("Save the result list as CSV or JSON");
    case wxID_PRINT: return Tr("Print the result list");
    case wxID_PREVIEW: return Tr("Display full pages of the result list as printed");
    case wxID_PRINT_SETUP: return Tr("Change the printer and printing options");
    case ID_MEND_ENGINE: return Tr("Learns new tokens for the selected engine, whose definition the check found broken");
    case ID_RESTORE_SHIPPED: return Tr("Replaces the selected engine's definition by the one shipped with the program");
    case ID_CHECK_ENGINES:
        return Tr("Asks the ticked engines (all, when none is ticked) for one page each and shows which work and why not");
    case wxID_EXIT: return Tr("Quit the application");
    case ID_VIEW_TOOLBAR: return Tr("Show or hide the toolbar");
    case ID_VIEW_STATUS_BAR: return Tr("Show or hide the status bar");
    case ID_TOGGLE_REPORT_FAILURES:
        return Tr("After a search, shows in one box every engine that failed and why");
    case ID_ORDER_BY_RANK:
        return Tr("Shows first the hits that several engines listed near their top, instead of engine after engine");
    case ID_WINDOW_SPLIT: return Tr("Split the active window into panes");
    case ID_HELP_CONTENTS: return Tr("List Help topics");
    case ID_HELP_HOWTO: return Tr("How to search with Internet Questrel");
    case wxID_ABOUT: return Tr("Display program information, version number and copyright");
    default: return "";
    }
}

wxMenuBar* CreateMenuBar(bool bEngineEditing)
{
    auto item = [](wxMenu* pMenu, int nId, const wxString& strText, wxItemKind kind = wxITEM_NORMAL) {
        pMenu->Append(nId, strText, wxString::FromUTF8(CommandPrompt(nId)), kind);
    };
    auto* pFile = new wxMenu;
    item(pFile, wxID_NEW, TrWx("&New") + "\tCtrl+N");
    item(pFile, wxID_OPEN, TrWx("&Open...") + "\tCtrl+O");
    item(pFile, wxID_SAVE, TrWx("&Save") + "\tCtrl+S");
    item(pFile, wxID_SAVEAS, TrWx("Save &As..."));
    item(pFile, ID_EXPORT_RESULTS, TrWx("Export &Results..."));
    pFile->AppendSeparator();
    item(pFile, wxID_PRINT, TrWx("&Print...") + "\tCtrl+P");
    item(pFile, wxID_PREVIEW, TrWx("Print Pre&view"));
    item(pFile, wxID_PRINT_SETUP, TrWx("Print Set&up..."));
    pFile->AppendSeparator();
    if (bEngineEditing) {
        item(pFile, ID_NEW_ENGINE, TrWx("Ne&w Engine"));
        item(pFile, ID_EDIT_ENGINE, TrWx("&Edit Engine"));
        item(pFile, ID_DELETE_ENGINE, TrWx("&Delete Engine"));
        pFile->AppendSeparator();
    }
    item(pFile, wxID_EXIT, TrWx("E&xit"));

    auto* pView = new wxMenu;
    item(pView, ID_VIEW_TOOLBAR, TrWx("&Toolbar"), wxITEM_CHECK);
    item(pView, ID_VIEW_STATUS_BAR, TrWx("&Status Bar"), wxITEM_CHECK);
    pView->AppendSeparator();
    item(pView, ID_ORDER_BY_RANK, TrWx("Order by &Rank"), wxITEM_CHECK);
    pView->AppendSeparator();
    item(pView, ID_WINDOW_SPLIT, TrWx("S&plit"));

    auto* pOptions = new wxMenu;
    item(pOptions, ID_TOGGLE_REMOVE_DUPS, TrWx("&Remove Duplicates"), wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_VERIFY_LINKS, TrWx("&Verify Links"), wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_SHOW_HINTS, TrWx("&Show Hints"), wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_SHOW_HTML, TrWx("Show Results in a &Web Page"), wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_SAVE_SETTINGS, TrWx("Save Search Settin&gs"), wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_ONE_AT_A_TIME, TrWx("Search Engines &One at a Time"), wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_REPORT_FAILURES, TrWx("Report &Failed Engines in a Box"), wxITEM_CHECK);
    item(pOptions, ID_TOGGLE_BROWSER_ENGINE, TrWx("Load Pages That Need Scripts in a &Browser Engine"), wxITEM_CHECK);
    pOptions->AppendSeparator();
    item(pOptions, ID_CHECK_ENGINES, TrWx(kCheckEnginesLabel));
    item(pOptions, ID_COMMUNICATION, TrWx("&Communication"));

    auto* pHelp = new wxMenu;
    item(pHelp, ID_HELP_CONTENTS, TrWx("&Contents") + "\tF1");
    item(pHelp, ID_HELP_HOWTO, TrWx("&How to use Internet Questrel"));
    item(pHelp, wxID_ABOUT, TrWx("&About Questrel..."));

    auto* pBar = new wxMenuBar;
    pBar->Append(pFile, TrWx("&File"));
    pBar->Append(pView, TrWx("&View"));
    pBar->Append(pOptions, TrWx("&Options"));
    pBar->Append(pHelp, TrWx("&Help"));
    return pBar;
}
