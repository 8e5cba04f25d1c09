// SPDX-License-Identifier: MIT
// Every menu command, toolbar button and key of the window, sent as the real
// event (the menu's own dispatch, the toolbar's click, a key typed into the
// window), each checked by what its handler does. A command bound to the wrong
// handler fails here even when the handler itself is right.

#include "GuiFixture.h"
#include "engines/EngineCatalogue.h"
#include "LoopbackServer.h"
#include "gui/AboutDlg.h"
#include "gui/CommOptionsDlg.h"
#include "gui/EngineDlg.h"
#include "gui/EngineListCtrl.h"
#include "gui/QuestrelDoc.h"
#include "gui/QuestrelView.h"
#include "gui/ResultListCtrl.h"
#include "gui/WxText.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

using qtest::CGuiFixture;

namespace {

CSearchEngine Engine(const std::string& strName, const std::string& strUrl = "http://127.0.0.1:9/")
{
    return qtest::TestEngine(strName, ResultCount, strUrl, "?q=");
}

// One window with engine editing on, recording what its commands reach.
// Engine editing on, Alpha and Beta in the catalogue, Beta also shipped.
CMainFrame& StartWithBetaShipped(CGuiFixture& gui)
{
    gui.m_strShareDir = gui.Dir().File("share/");
    CSearchEngine shippedBeta = Engine("Beta");
    shippedBeta.m_strEndToken = "</li>";
    SaveEngines(gui.m_strShareDir + "engines.dat", {shippedBeta});
    return gui.StartFrame({Engine("Alpha"), Engine("Beta")}, true);
}

struct CWindow
{
    CGuiFixture gui;
    CMainFrame& frame;
    std::vector<std::string> dialogs; // "about", "communication", "engine NAME"
    bool bCloseAsked = false;
    std::unique_ptr<qtest::CLoopbackServer> pStalling;

    CWindow() : frame(StartWithBetaShipped(gui))
    {
        qtest::ChangeSettings(frame, [](CSearchSettings& s) { s.m_nConnectMethod = 1; }); // direct: loopback only
        frame.OnToggleOption(ID_TOGGLE_SHOW_HINTS); // no hint box after each search
        gui.m_dialogHandler = [this](wxDialog& dialog) {
            if (dynamic_cast<CAboutDlg*>(&dialog))
                dialogs.push_back("about");
            else if (dynamic_cast<CCommOptionsDlg*>(&dialog))
                dialogs.push_back("communication");
            else if (auto* pEngine = dynamic_cast<CEngineDlg*>(&dialog))
                dialogs.push_back("engine " + FromWx(pEngine->GetEdit(IDC_ENGINE_NAME)->GetValue()));
            return wxID_CANCEL;
        };
        // Closing is asked for, and refused here, so the window stays for the check.
        frame.Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
            bCloseAsked = true;
            event.Veto();
        });
        std::filesystem::create_directories(gui.Dir().File("help"));
        qtest::WriteFile(gui.Dir().File("help/index.html"), "<p>contents</p>");
        qtest::WriteFile(gui.Dir().File("help/howto.html"), "<p>how to</p>");
    }

    CQuestrelView& View() { return frame.GetFormView(); }
    CEngineListCtrl& Pane() { return frame.GetEnginePane(); }
    wxTextCtrl* QueryEdit() { return dynamic_cast<wxTextCtrl*>(View().FindWindow(IDC_SEARCH_FOR)); }
    bool LastOpenedEndsWith(const std::string& strEnd)
    {
        const std::vector<std::string> opened = gui.Opened();
        return !opened.empty() && opened.back().size() >= strEnd.size() &&
               opened.back().compare(opened.back().size() - strEnd.size(), strEnd.size(), strEnd) == 0;
    }
    bool HasFocusIn(wxWindow* pWindow)
    {
        for (wxWindow* p = wxWindow::FindFocus(); p; p = p->GetParent())
            if (p == pWindow)
                return true;
        return false;
    }
    void SelectEngine(int nRow) { Pane().SelectRow(nRow); }
    // A search that waits on an engine that never finishes its page.
    void StartStalledSearch()
    {
        pStalling = std::make_unique<qtest::CLoopbackServer>([](const qtest::CRecordedRequest&) {
            qtest::CReply reply = qtest::CReply::Ok(std::string(5000, ' '), false);
            reply.m_nStallAfter = 10;
            return reply;
        });
        Pane().SetEngines({Engine("Alpha", pStalling->GetBaseUrl() + "/stall")}, {1});
        QueryEdit()->ChangeValue("red apple");
        View().OnSearch();
        qtest::PumpUntil([this] { return pStalling->GetRequestCount() == 1; });
    }
};

enum class EVia
{
    Menu,      // the menu bar's item
    Tool,      // the toolbar's button
    Key,       // typed into the window
    PanePopup, // the engine pane's pop-up menu
};

struct CWire
{
    const char* pszName;
    EVia via;
    int nId;            // menu item, tool or pop-up item
    int nKey;           // EVia::Key
    int nModifiers;     // EVia::Key
    std::function<void(CWindow&)> setUp;
    std::function<bool(CWindow&)> ran; // the intended handler's trace
};

bool Toggled(CWindow& w, int nId, bool bBefore)
{
    return w.frame.GetModel().IsOptionOn(nId) != bBefore && w.frame.GetMenuBar()->IsChecked(nId) == w.frame.GetModel().IsOptionOn(nId);
}

std::vector<CWire> Wires()
{
    auto none = [](CWindow&) {};
    auto tickAlpha = [](CWindow& w) { w.Pane().SetRowImage(0, CEngineListCtrl::m_nCheckedImage); };
    auto newRan = [](CWindow& w) { return !w.Pane().IsTicked(0); }; // File New unticks every engine
    auto openRan = [](CWindow& w) { return w.gui.m_fileAsks == std::vector<std::string>{"open"}; };
    auto saveRan = [](CWindow& w) { return w.gui.m_fileAsks == std::vector<std::string>{"save Untitled.qrl"}; };
    auto aboutRan = [](CWindow& w) { return w.dialogs == std::vector<std::string>{"about"}; };
    auto contentsRan = [](CWindow& w) { return w.LastOpenedEndsWith("/help/index.html"); };
    auto newEngineRan = [](CWindow& w) { return w.dialogs == std::vector<std::string>{"engine "}; };
    auto selectBeta = [](CWindow& w) { w.SelectEngine(1); };
    auto editEngineRan = [](CWindow& w) { return w.dialogs == std::vector<std::string>{"engine Beta"}; };
    auto selectAlphaAnswerNo = [](CWindow& w) {
        w.SelectEngine(0);
        w.gui.m_nAnswer = wxNO;
    };
    auto deleteEngineRan = [](CWindow& w) {
        return w.gui.MessageTexts() ==
               std::vector<std::string>{"Are you sure you want to delete Alpha from your list of engines?"};
    };
    auto toggle = [](int nId) {
        auto pBefore = std::make_shared<bool>(false);
        return std::make_pair(
            std::function<void(CWindow&)>([nId, pBefore](CWindow& w) { *pBefore = w.frame.GetModel().IsOptionOn(nId); }),
            std::function<bool(CWindow&)>([nId, pBefore](CWindow& w) { return Toggled(w, nId, *pBefore); }));
    };
    // The check runs off the UI thread; its verdicts reach the pane (the
    // engines answer nowhere on loopback: failed).
    auto checkRan = [](CWindow& w) {
        if (!w.frame.GetCatalogue().IsCheckingEngines() && w.Pane().GetOutcomeText(0).empty())
            return false; // no check was started
        qtest::PumpUntil([&w] { return !w.frame.GetCatalogue().IsCheckingEngines() && !w.Pane().GetOutcomeText(0).empty(); });
        return w.Pane().GetOutcomeText(0).StartsWith("failed: ") && w.Pane().IsOutcomeFailure(0);
    };
    std::vector<CWire> wires = {
        {"File New", EVia::Menu, wxID_NEW, 0, 0, tickAlpha, newRan},
        {"File Open", EVia::Menu, wxID_OPEN, 0, 0, none, openRan},
        {"File Save", EVia::Menu, wxID_SAVE, 0, 0, none, saveRan},
        {"File Save As", EVia::Menu, wxID_SAVEAS, 0, 0,
         [](CWindow& w) {
             const std::string strPath = w.gui.Dir().File("wired.qrl");
             w.gui.m_fileHandler = [strPath](bool) { return strPath; };
             w.frame.GetDocument().OnFileSaveAs();
             w.gui.m_fileHandler = nullptr;
             w.gui.m_fileAsks.clear();
         },
         [](CWindow& w) { return w.gui.m_fileAsks == std::vector<std::string>{"save wired.qrl"}; }},
        {"File Export Results", EVia::Menu, ID_EXPORT_RESULTS, 0, 0, none,
         [](CWindow& w) { return w.gui.m_fileAsks == std::vector<std::string>{"save results.csv"}; }},
        {"File Print", EVia::Menu, wxID_PRINT, 0, 0, none,
         [](CWindow& w) { return w.gui.m_prints == std::vector<std::string>{"print"}; }},
        {"File Print Preview", EVia::Menu, wxID_PREVIEW, 0, 0, none,
         [](CWindow& w) { return w.gui.m_prints == std::vector<std::string>{"preview"}; }},
        {"File Print Setup", EVia::Menu, wxID_PRINT_SETUP, 0, 0, none,
         [](CWindow& w) { return w.gui.m_prints == std::vector<std::string>{"setup"}; }},
        {"File New Engine", EVia::Menu, ID_NEW_ENGINE, 0, 0, none, newEngineRan},
        {"File Edit Engine", EVia::Menu, ID_EDIT_ENGINE, 0, 0, selectBeta, editEngineRan},
        {"File Delete Engine", EVia::Menu, ID_DELETE_ENGINE, 0, 0, selectAlphaAnswerNo, deleteEngineRan},
        {"File Exit", EVia::Menu, wxID_EXIT, 0, 0, none, [](CWindow& w) { return w.bCloseAsked; }},
        {"View Toolbar", EVia::Menu, ID_VIEW_TOOLBAR, 0, 0, none,
         [](CWindow& w) { return !w.frame.GetToolBar()->IsShown() && !w.frame.GetMenuBar()->IsChecked(ID_VIEW_TOOLBAR); }},
        {"View Status Bar", EVia::Menu, ID_VIEW_STATUS_BAR, 0, 0, none,
         [](CWindow& w) {
             return !w.frame.GetStatusBar()->IsShown() && !w.frame.GetMenuBar()->IsChecked(ID_VIEW_STATUS_BAR);
         }},
        {"View Split", EVia::Menu, ID_WINDOW_SPLIT, 0, 0, [](CWindow& w) { w.frame.SetSashPosition(320); },
         [](CWindow& w) { return w.frame.GetSashPosition() == w.frame.GetDefaultEnginePaneWidth(); }},
        {"Options Check Engines", EVia::Menu, ID_CHECK_ENGINES, 0, 0, none, checkRan},
        {"Options Communication", EVia::Menu, ID_COMMUNICATION, 0, 0, none,
         [](CWindow& w) { return w.dialogs == std::vector<std::string>{"communication"}; }},
        {"Help Contents", EVia::Menu, ID_HELP_CONTENTS, 0, 0, none, contentsRan},
        {"Help How To", EVia::Menu, ID_HELP_HOWTO, 0, 0, none,
         [](CWindow& w) { return w.LastOpenedEndsWith("/help/howto.html"); }},
        {"Help About", EVia::Menu, wxID_ABOUT, 0, 0, none, aboutRan},

        {"New button", EVia::Tool, wxID_NEW, 0, 0, tickAlpha, newRan},
        {"Open button", EVia::Tool, wxID_OPEN, 0, 0, none, openRan},
        {"Save button", EVia::Tool, wxID_SAVE, 0, 0, none, saveRan},
        {"About button", EVia::Tool, wxID_ABOUT, 0, 0, none, aboutRan},

        {"Ctrl+N", EVia::Key, 0, 'n', wxMOD_CONTROL, tickAlpha, newRan},
        {"Ctrl+O", EVia::Key, 0, 'o', wxMOD_CONTROL, none, openRan},
        {"Ctrl+S", EVia::Key, 0, 's', wxMOD_CONTROL, none, saveRan},
        {"Ctrl+P", EVia::Key, 0, 'p', wxMOD_CONTROL, none,
         [](CWindow& w) { return w.gui.m_prints == std::vector<std::string>{"print"}; }},
        {"F1", EVia::Key, 0, WXK_F1, wxMOD_NONE, none, contentsRan},
        {"F6", EVia::Key, 0, WXK_F6, wxMOD_NONE, [](CWindow& w) { w.Pane().SetFocus(); },
         [](CWindow& w) { return w.HasFocusIn(&w.View()); }},
        {"Shift+F6", EVia::Key, 0, WXK_F6, wxMOD_SHIFT, [](CWindow& w) { w.View().GetResultList().SetFocus(); },
         [](CWindow& w) { return w.HasFocusIn(&w.Pane()); }},
        {"Escape", EVia::Key, 0, WXK_ESCAPE, wxMOD_NONE, [](CWindow& w) { w.StartStalledSearch(); },
         [](CWindow& w) { return !w.View().IsSearching(); }},
        {"Ctrl+C in the result list", EVia::Key, 0, 'c', wxMOD_CONTROL,
         [](CWindow& w) {
             w.View().GetRows().AppendHit({"Red apple", "https://a.example/", "Alpha"});
             w.View().GetResultList().SyncRows();
             w.View().GetResultList().SelectRow(0);
         },
         [](CWindow& w) {
             return w.gui.m_clipboard == std::vector<std::string>{"Red apple\thttps://a.example/\tAlpha\n"};
         }},
        {"Enter in the query field", EVia::Key, 0, WXK_RETURN, wxMOD_NONE,
         [](CWindow& w) {
             w.QueryEdit()->ChangeValue("red apple");
             w.QueryEdit()->SetFocus();
         },
         // No engine is ticked: the search says so.
         [](CWindow& w) { return w.gui.MessageTexts().size() == 1 && w.gui.MessageTexts()[0].find("Select the search engine") == 0; }},

        {"Pane Add", EVia::PanePopup, ID_NEW_ENGINE, 0, 0, none, newEngineRan},
        {"Pane Properties", EVia::PanePopup, ID_EDIT_ENGINE, 0, 0, selectBeta, editEngineRan},
        {"Pane Delete", EVia::PanePopup, ID_DELETE_ENGINE, 0, 0, selectAlphaAnswerNo, deleteEngineRan},
        {"Select All", EVia::PanePopup, ID_SELECT_ALL_ENGINES, 0, 0, none,
         [](CWindow& w) { return w.Pane().CountTickedEngines() == 2; }},
        {"Clear All", EVia::PanePopup, ID_CLEAR_ALL_ENGINES, 0, 0, [](CWindow& w) { w.Pane().SetAllTicks(true); },
         [](CWindow& w) { return w.Pane().CountTickedEngines() == 0; }},
        {"Pane Check Engines", EVia::PanePopup, ID_CHECK_ENGINES, 0, 0, none, checkRan},
        {"Pane Restore Shipped Definition", EVia::PanePopup, ID_RESTORE_SHIPPED, 0, 0, selectBeta,
         [](CWindow& w) {
             return !w.gui.m_statusTexts.empty() && w.gui.m_statusTexts.back() == "Beta: the shipped definition was restored.";
         }},
    };
    const int options[] = {ID_TOGGLE_REMOVE_DUPS, ID_TOGGLE_VERIFY_LINKS,  ID_TOGGLE_SHOW_HINTS,
                           ID_TOGGLE_SHOW_HTML,   ID_TOGGLE_SAVE_SETTINGS, ID_TOGGLE_ONE_AT_A_TIME,
                           ID_ORDER_BY_RANK,      ID_TOGGLE_REPORT_FAILURES, ID_TOGGLE_BROWSER_ENGINE};
    for (const int nId : options) {
        auto [setUp, ran] = toggle(nId);
        wires.push_back({"Options toggle", EVia::Menu, nId, 0, 0, setUp, ran});
    }
    return wires;
}

void Send(CWindow& w, const CWire& wire)
{
    switch (wire.via) {
    case EVia::Menu: {
        // As the menu bar does when an item is chosen.
        wxMenu* pMenu = nullptr;
        wxMenuItem* pItem = w.frame.GetMenuBar()->FindItem(wire.nId, &pMenu);
        ASSERT_NE(pItem, nullptr);
        pMenu->SendEvent(wire.nId, pItem->IsCheckable() ? !pItem->IsChecked() : -1);
        break;
    }
    case EVia::Tool:
        // As the toolbar does when its button is clicked.
        ASSERT_NE(w.frame.GetToolBar()->FindById(wire.nId), nullptr);
        w.frame.GetToolBar()->OnLeftClick(wire.nId, false);
        break;
    case EVia::Key: {
        wxUIActionSimulator keys;
        keys.Char(wire.nKey, wire.nModifiers);
        break;
    }
    case EVia::PanePopup:
        w.gui.m_popupHandler = [&wire](wxMenu&) { return wire.nId; };
        w.frame.GetCatalogue().ShowEngineMenu();
        break;
    }
}

} // namespace

TEST(Wiring, EveryCommandReachesItsOwnHandler)
{
    const std::vector<CWire> wires = Wires();
    for (const CWire& wire : wires) {
        SCOPED_TRACE(wire.pszName);
        CWindow w;
        w.frame.Raise();
        w.View().GetResultList().SetFocus();
        qtest::Pump();
        wire.setUp(w);
        qtest::Pump();
        ASSERT_FALSE(wire.ran(w)) << "the check holds before the command";
        Send(w, wire);
        EXPECT_TRUE(qtest::PumpUntil([&] { return wire.ran(w); }, 2000));
        w.View().CancelSearch();
    }
}

TEST(Wiring, TheTableCoversEveryMenuItemAndButton)
{
    std::set<int> menuIds;
    std::set<int> toolIds;
    std::set<int> popupIds;
    for (const CWire& wire : Wires()) {
        if (wire.via == EVia::PanePopup)
            popupIds.insert(wire.nId);
        if (wire.via == EVia::Menu)
            menuIds.insert(wire.nId);
        if (wire.via == EVia::Tool)
            toolIds.insert(wire.nId);
    }
    CWindow w;
    wxMenuBar* pBar = w.frame.GetMenuBar();
    for (size_t nMenu = 0; nMenu < pBar->GetMenuCount(); ++nMenu)
        for (const wxMenuItem* pItem : pBar->GetMenu(nMenu)->GetMenuItems())
            if (!pItem->IsSeparator()) {
                EXPECT_TRUE(menuIds.count(pItem->GetId())) << pItem->GetItemLabelText();
            }
    wxToolBar* pToolBar = w.frame.GetToolBar();
    for (size_t i = 0; i < pToolBar->GetToolsCount(); ++i) {
        const wxToolBarToolBase* pTool = pToolBar->GetToolByPos(static_cast<int>(i));
        if (!pTool->IsSeparator()) {
            EXPECT_TRUE(toolIds.count(pTool->GetId())) << pTool->GetLabel();
        }
    }
    std::unique_ptr<wxMenu> pPopup(w.frame.GetCatalogue().CreateEngineMenu());
    for (const wxMenuItem* pItem : pPopup->GetMenuItems())
        if (!pItem->IsSeparator()) {
            EXPECT_TRUE(popupIds.count(pItem->GetId())) << pItem->GetItemLabelText();
        }
}
