// SPDX-License-Identifier: MIT
// The application shell: start-up, menus, options, the engine pane and the
// engine commands, status texts from the worker.

#include "GuiFixture.h"
#include "engines/EngineCatalogue.h"
#include "gui/EngineDlg.h"
#include "platform/FileUtil.h"
#include "gui/AppContext.h"
#include "gui/DesktopIntegration.h"
#include "gui/EngineListCtrl.h"
#include "gui/GuiSearchHost.h"
#include "gui/MessageBox.h"
#include "gui/QuestrelView.h"
#include "gui/ResultListCtrl.h"
#include "gui/WxText.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <thread>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/clipbrd.h>
#include <wx/menu.h>
#include <wx/uiaction.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

using qtest::CGuiFixture;
using Strings = std::vector<std::string>;

namespace {

CSearchEngine Engine(const std::string& strName, int nType = ResultCount)
{
    return qtest::TestEngine(strName, nType, "http://127.0.0.1:9/", "?q=", "", "", "<a href=\"http");
}

Strings MenuLabels(wxMenu* pMenu)
{
    Strings labels;
    for (const wxMenuItem* pItem : pMenu->GetMenuItems())
        labels.push_back(pItem->IsSeparator() ? "-" : FromWx(pItem->GetItemLabel()));
    return labels;
}

Strings PaneNames(CEngineListCtrl& pane)
{
    Strings names;
    for (int i = 0; i < pane.GetEngineCount(); ++i)
        names.push_back(pane.GetEngines()[static_cast<size_t>(i)].m_strName);
    return names;
}

bool IsChecked(CMainFrame& frame, int nId)
{
    return frame.GetMenuBar()->FindItem(nId)->IsChecked();
}

} // namespace

TEST(CommandLine, OnlyTheFirstArgumentTurnsOnEngineEditing)
{
    const char* onlyA[] = {"questrel", "/A"};
    EXPECT_TRUE(ParseCommandLine(2, onlyA).m_bEngineEditing);
    EXPECT_EQ(ParseCommandLine(2, onlyA).m_strDocument, "");
    const char* docThenA[] = {"questrel", "search.qrl", "/a"};
    EXPECT_FALSE(ParseCommandLine(3, docThenA).m_bEngineEditing);
    EXPECT_EQ(ParseCommandLine(3, docThenA).m_strDocument, "search.qrl");
    const char* aThenDoc[] = {"questrel", "/a", "/home/u/search.qrl"};
    EXPECT_TRUE(ParseCommandLine(3, aThenDoc).m_bEngineEditing);
    EXPECT_EQ(ParseCommandLine(3, aThenDoc).m_strDocument, "/home/u/search.qrl");
    const char* none[] = {"questrel"};
    EXPECT_FALSE(ParseCommandLine(1, none).m_bEngineEditing);
}

TEST(Shell, WithoutEngineEditingTheEngineCommandsAreInNoMenu)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha")});
    EXPECT_EQ(MenuLabels(frame.GetMenuBar()->GetMenu(0)),
              (Strings{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "Export &Results...", "-",
                       "&Print...\tCtrl+P", "Print Pre&view", "Print Set&up...", "-", "E&xit"}));
    std::unique_ptr<wxMenu> pPopup(frame.GetCatalogue().CreateEngineMenu());
    EXPECT_EQ(MenuLabels(pPopup.get()), (Strings{"&Select All", "&Clear All", "-", "Chec&k Engines..."}));
    EXPECT_EQ(frame.GetMenuBar()->FindItem(ID_NEW_ENGINE), nullptr);
    EXPECT_EQ(frame.GetTitle(), "Untitled - Internet Questrel");
    EXPECT_EQ(frame.GetStatusMessage(), "Ready");
}

TEST(Shell, EngineEditingAddsTheEngineCommands)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha")}, true);
    EXPECT_EQ(MenuLabels(frame.GetMenuBar()->GetMenu(0)),
              (Strings{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...",
                       "Export &Results...", "-", "&Print...\tCtrl+P", "Print Pre&view", "Print Set&up...", "-",
                       "Ne&w Engine", "&Edit Engine", "&Delete Engine", "-", "E&xit"}));
    std::unique_ptr<wxMenu> pPopup(frame.GetCatalogue().CreateEngineMenu());
    EXPECT_EQ(MenuLabels(pPopup.get()),
              (Strings{"&Add", "&Properties", "&Delete", "&Select All", "&Clear All", "-", "Chec&k Engines..."}));
    EXPECT_EQ(MenuLabels(frame.GetMenuBar()->GetMenu(2)),
              (Strings{"&Remove Duplicates", "&Verify Links", "&Show Hints", "Show Results in a &Web Page",
                       "Save Search Settin&gs",
                       "Search Engines &One at a Time", "Report &Failed Engines in a Box",
                       "Load Pages That Need Scripts in a &Browser Engine", "-", "Chec&k Engines...",
                       "&Communication"}));
    EXPECT_EQ(MenuLabels(frame.GetMenuBar()->GetMenu(3)),
              (Strings{"&Contents\tF1", "&How to use Internet Questrel", "&About Questrel..."}));
    EXPECT_EQ(frame.GetMenuBar()->FindItem(ID_TOGGLE_SAVE_SETTINGS)->GetHelp(),
              "Saves your search settings and engines you've selected.  They will be restored the next "
              "time you run Internet Questrel");
}

TEST(Shell, FirstStartWithoutProfileShowsTheDefaults)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha"), Engine("Beta")});
    EXPECT_TRUE(IsChecked(frame, ID_TOGGLE_SHOW_HINTS));
    EXPECT_TRUE(IsChecked(frame, ID_TOGGLE_REMOVE_DUPS));
    EXPECT_FALSE(IsChecked(frame, ID_TOGGLE_VERIFY_LINKS));
    EXPECT_FALSE(IsChecked(frame, ID_TOGGLE_SHOW_HTML));
    EXPECT_FALSE(IsChecked(frame, ID_TOGGLE_SAVE_SETTINGS));
    EXPECT_EQ(frame.GetModel().GetSearchSettings().m_nConnectMethod, 0);
    EXPECT_EQ(frame.GetEnginePane().CountTickedEngines(), 0);
    CQuestrelView& view = frame.GetFormView();
    EXPECT_EQ(frame.GetModel().GetSearchSettings().m_nHitLimit, 20);
    CSearchSettings defaults;
    defaults.m_strUserAgent = "Internet Questrel/2.0a"; // the one sent is the one shown
    EXPECT_EQ(frame.GetModel().GetSearchSettings(), defaults);
    EXPECT_EQ(view.GetSearchOption(), 0);
    EXPECT_EQ(frame.GetModel().GetSearchSettings().m_strQuery, "");
    EXPECT_FALSE(frame.GetModel().GetSearchSettings().m_bAllHits);
}

// Keyboard all the way: the focus starts in the query field, the engine list has
// a current row, F6 and Shift+F6 cycle query field, engine list, result list.
TEST(Shell, TheKeyboardReachesEveryPaneFromTheStart)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha"), Engine("Beta")});
    frame.Raise();
    frame.FocusQueryField();
    qtest::Pump();
    wxWindow* pQuery = frame.GetFormView().FindWindow(IDC_SEARCH_FOR);
    auto focusIn = [](const wxWindow* pPane) {
        for (const wxWindow* p = wxWindow::FindFocus(); p; p = p->GetParent())
            if (p == pPane)
                return true;
        return false;
    };
    ASSERT_TRUE(qtest::PumpUntil([&] { return focusIn(pQuery); }, 2000));
    CEngineListCtrl& pane = frame.GetEnginePane();
    EXPECT_EQ(pane.GetCurrentItem(), wxDataViewItem(wxUIntToPtr(1))); // the first row

    CResultListCtrl& results = frame.GetFormView().GetResultList();
    frame.GetFormView().GetRows().AppendHit({"Red apple", "https://a.example/", "Alpha"});
    frame.GetFormView().GetRows().AppendHit({"Green apple", "https://b.example/", "Alpha"});
    results.SyncRows();

    wxUIActionSimulator keys;
    wxWindow* pResults = frame.GetFormView().FindWindow(IDC_RESULTS);
    const std::pair<int, wxWindow*> steps[] = {{wxMOD_NONE, &pane}, {wxMOD_NONE, pResults}, {wxMOD_NONE, pQuery},
                                               {wxMOD_SHIFT, pResults}, {wxMOD_SHIFT, &pane}};
    for (const auto& [nModifiers, pPane] : steps) {
        keys.Char(WXK_F6, nModifiers);
        EXPECT_TRUE(qtest::PumpUntil([&] { return focusIn(pPane); }, 2000)) << pPane->GetName();
    }
    // Each list shows the row with the focus: it is selected.
    EXPECT_EQ(results.GetFirstSelectedRow(), 0);
    EXPECT_EQ(results.GetCurrentItem(), results.GetSelection());
    EXPECT_TRUE(qtest::PumpUntil([&] { return pane.GetFirstSelectedRow() == 0; }, 2000));
    keys.Char(WXK_DOWN);
    EXPECT_TRUE(qtest::PumpUntil([&] { return pane.GetFirstSelectedRow() == 1; }, 2000));
    EXPECT_FALSE(pane.IsTicked(0)); // moving does not tick
    keys.Char(WXK_UP);
    EXPECT_TRUE(qtest::PumpUntil([&] { return pane.GetFirstSelectedRow() == 0; }, 2000));
    // Space ticks the current row at once; Return searches, as in the query
    // field, and never unticks it. The keyboard is back in the pane after.
    keys.Char(WXK_SPACE);
    EXPECT_TRUE(qtest::PumpUntil([&] { return pane.IsTicked(0); }, 2000));
    keys.Char(WXK_RETURN);
    EXPECT_TRUE(qtest::PumpUntil([&] { return frame.GetStatusMessage().StartsWith("Find complete."); }, 5000))
        << frame.GetStatusMessage();
    EXPECT_TRUE(pane.IsTicked(0));
    EXPECT_TRUE(qtest::PumpUntil([&] { return focusIn(&pane); }, 2000));
}

// In a small window the form comes first: the engine pane takes at most 40%
// of the width, and the query field keeps room to type in.
TEST(Shell, ASmallWindowLeavesTheFormItsRoom)
{
    CGuiFixture gui;
    ASSERT_TRUE(gui.Settings().WriteTexts({{"Window Width", "700"}, {"Window Height", "420"}}));
    gui.ReadSettingsAgain();
    CMainFrame& frame = gui.StartFrame({Engine("Alpha")});
    qtest::Pump();
    EXPECT_EQ(frame.GetSize().GetWidth(), 700);
    EXPECT_LE(frame.GetSashPosition(), 700 * 2 / 5); // the heading alone would take about 340
    EXPECT_GE(frame.GetSashPosition(), 200);
    wxWindow* pQuery = frame.GetFormView().FindWindow(IDC_SEARCH_FOR);
    EXPECT_TRUE(qtest::PumpUntil([&] { return pQuery->GetSize().GetWidth() >= 100; }, 2000))
        << pQuery->GetSize().GetWidth();
}

// A size or place kept in the profile that would not fit the screen is brought inside it.
TEST(Shell, TheWindowFitsTheScreenWhateverTheProfileSays)
{
    CGuiFixture gui;
    ASSERT_TRUE(gui.Settings().WriteTexts({{"Window Width", "5000"}, {"Window Height", "4000"},
                                           {"Window X", "100"}, {"Window Y", "50"}}));
    gui.ReadSettingsAgain();
    CMainFrame& frame = gui.StartFrame();
    const wxRect area = wxDisplay(0u).GetClientArea();
    const wxRect rect = frame.GetRect();
    EXPECT_TRUE(area.Contains(rect)) << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height;
    EXPECT_EQ(rect.width, area.width);
}

TEST(Shell, OptionTogglesAreWrittenAtOnce)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame();
    frame.OnToggleOption(ID_TOGGLE_VERIFY_LINKS);
    EXPECT_TRUE(IsChecked(frame, ID_TOGGLE_VERIFY_LINKS));
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Verify Links", -1), 1);
    frame.OnToggleOption(ID_TOGGLE_SHOW_HINTS);
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Show Hints", -1), 0);
    frame.OnToggleOption(ID_TOGGLE_SHOW_HINTS);
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Show Hints", -1), 1);
    EXPECT_TRUE(frame.GetModel().IsOptionOn(ID_TOGGLE_SHOW_HINTS));
    EXPECT_TRUE(IsChecked(frame, ID_TOGGLE_SHOW_HINTS));

    // Side by side unless asked otherwise.
    EXPECT_FALSE(frame.GetModel().GetSearchSettings().m_bOneAtATime);
    frame.OnToggleOption(ID_TOGGLE_ONE_AT_A_TIME);
    EXPECT_TRUE(IsChecked(frame, ID_TOGGLE_ONE_AT_A_TIME));
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("One At A Time", -1), 1);
}

TEST(Shell, ASettingsWriteThatFailsIsSaidOnce)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame();
    std::vector<wxString> said;
    frame.SetStatusObserver([&said](const wxString& strText) {
        if (strText.StartsWith("Settings could not be saved"))
            said.push_back(strText);
    });
    // The profile's place taken by a folder: no write can replace it.
    const std::string strPath = gui.Settings().GetPath();
    std::filesystem::remove(strPath);
    std::filesystem::create_directories(strPath);
    frame.OnToggleOption(ID_TOGGLE_VERIFY_LINKS);
    EXPECT_TRUE(frame.GetModel().IsOptionOn(ID_TOGGLE_VERIFY_LINKS)); // the option still holds for this run
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(said[0].Contains(strPath));
    frame.OnToggleOption(ID_TOGGLE_REMOVE_DUPS);
    frame.SaveWindowPlacement();
    EXPECT_EQ(said.size(), 1u); // once

    // Writable again: the next failure is said again.
    std::filesystem::remove(strPath);
    frame.OnToggleOption(ID_TOGGLE_ONE_AT_A_TIME);
    EXPECT_EQ(said.size(), 1u);
    std::filesystem::remove(strPath); // the write made it again
    std::filesystem::create_directories(strPath);
    frame.OnToggleOption(ID_TOGGLE_ONE_AT_A_TIME);
    EXPECT_EQ(said.size(), 2u);
    std::filesystem::remove(strPath);
}

TEST(Shell, TicksAndFormValuesAreWrittenAtExitOnlyWithSaveSettings)
{
    CGuiFixture gui;
    {
        CMainFrame& frame = gui.StartFrame({Engine("Alpha"), Engine("Beta"), Engine("Gamma")});
        frame.GetEnginePane().SetRowImage(0, CEngineListCtrl::m_nCheckedImage);
        frame.GetEnginePane().SetRowImage(2, CEngineListCtrl::m_nCheckedImage);
        gui.CloseFrame(); // Save Settings off: nothing written
    }
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Alpha", -1), -1);

    {
        CMainFrame& frame = gui.StartFrame();
        EXPECT_EQ(frame.GetEnginePane().CountTickedEngines(), 0);
        frame.OnToggleOption(ID_TOGGLE_SAVE_SETTINGS);
        frame.GetEnginePane().SetRowImage(0, CEngineListCtrl::m_nCheckedImage);
        frame.GetEnginePane().SetRowImage(2, CEngineListCtrl::m_nCheckedImage);
        qtest::ChangeSettings(frame, [](CSearchSettings& s) {
            s.m_strQuery = "red apple";
            s.m_nHitLimit = 35;
            s.m_nSearchOption = 2;
        });
        gui.CloseFrame();
    }
    const std::unique_ptr<CSettingsStore> pStored = gui.ReopenSettings();
    EXPECT_EQ(pStored->ReadInt("Alpha", -1), 1);
    EXPECT_EQ(pStored->ReadInt("Beta", -1), 0);
    EXPECT_EQ(pStored->ReadInt("Gamma", -1), 1);
    EXPECT_EQ(pStored->ReadText("Criteria"), "red apple");
    EXPECT_EQ(pStored->ReadInt("Max Hits", 0), 35);
    EXPECT_EQ(pStored->ReadInt("Search Option", 0), 2);

    // The next start shows them; turning Save Settings off keeps them stored.
    CMainFrame& frame = gui.StartFrame();
    EXPECT_TRUE(frame.GetEnginePane().IsTicked(0));
    EXPECT_FALSE(frame.GetEnginePane().IsTicked(1));
    EXPECT_EQ(frame.GetModel().GetSearchSettings().m_strQuery, "red apple");
    frame.OnToggleOption(ID_TOGGLE_SAVE_SETTINGS);
    frame.GetEnginePane().SetAllTicks(false);
    gui.CloseFrame();
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Alpha", -1), 1);
}

TEST(Shell, ClickingARowTogglesItsTick)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha"), Engine("Beta")});
    CEngineListCtrl& pane = frame.GetEnginePane();
    pane.SelectRow(-1);
    pane.ToggleFirstSelectedRow(); // nothing selected: nothing changes
    EXPECT_EQ(pane.CountTickedEngines(), 0);

    // With the mouse: a click on the name ticks, a click on the box unticks,
    // each exactly once.
    frame.Raise();
    qtest::Pump();
    const int nBoxWidth = pane.GetColumn(CEngineListCtrl::kTickColumn)->GetWidth();
    const wxRect rowRect = pane.GetRowRect(1);
    wxUIActionSimulator mouse;
    mouse.MouseMove(pane.ClientToScreen(wxPoint(nBoxWidth + 10, rowRect.y + rowRect.height / 2)));
    mouse.MouseClick();
    EXPECT_TRUE(qtest::PumpUntil([&] { return pane.IsTicked(1); }, 2000));
    mouse.MouseMove(pane.ClientToScreen(wxPoint(nBoxWidth / 2, rowRect.y + rowRect.height / 2)));
    mouse.MouseClick();
    EXPECT_TRUE(qtest::PumpUntil([&] { return !pane.IsTicked(1); }, 2000));
    qtest::Pump();
    EXPECT_EQ(pane.CountTickedEngines(), 0);
    // A double click on the name is two clicks: ticked and unticked again.
    wxMilliSleep(500);
    mouse.MouseMove(pane.ClientToScreen(wxPoint(nBoxWidth + 10, rowRect.y + rowRect.height / 2)));
    mouse.MouseDblClick();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < end)
        qtest::Pump();
    EXPECT_EQ(pane.CountTickedEngines(), 0);

    pane.SelectRow(1);
    pane.ToggleFirstSelectedRow();
    EXPECT_TRUE(pane.IsTicked(1));
    EXPECT_EQ(pane.GetRowImage(1), 1);
    pane.ToggleFirstSelectedRow();
    EXPECT_FALSE(pane.IsTicked(1));
    EXPECT_EQ(pane.GetRowImage(1), 0);

    frame.GetCatalogue().OnSelectAllEngines();
    EXPECT_EQ(frame.GetEnginePane().CountTickedEngines(), 2);
    frame.GetCatalogue().OnClearAllEngines();
    EXPECT_EQ(frame.GetEnginePane().CountTickedEngines(), 0);
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Alpha", -1), -1); // nothing written
}

TEST(Shell, TheKeyboardTicksEnginesAndOpensThePanesMenu)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha"), Engine("Beta")});
    CEngineListCtrl& pane = frame.GetEnginePane();
    int nMenus = 0;
    pane.SetRightClickHandler([&nMenus] { ++nMenus; });
    frame.Raise();
    pane.SetFocus();
    pane.SelectRow(1);
    qtest::Pump();
    wxUIActionSimulator keys;
    keys.Char(WXK_SPACE);
    EXPECT_TRUE(qtest::PumpUntil([&] { return pane.IsTicked(1); }, 2000));
    keys.Char(WXK_SPACE);
    EXPECT_TRUE(qtest::PumpUntil([&] { return !pane.IsTicked(1); }, 2000));
    EXPECT_FALSE(pane.IsTicked(0));
    keys.Char(WXK_F10, wxMOD_SHIFT);
    EXPECT_TRUE(qtest::PumpUntil([&] { return nMenus == 1; }, 2000));
    keys.Char(WXK_MENU);
    EXPECT_TRUE(qtest::PumpUntil([&] { return nMenus == 2; }, 2000));
}

TEST(Shell, EngineCommandsRoundTripThroughTheCatalogue)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Mid")}, true);
    CEngineListCtrl& pane = frame.GetEnginePane();

    // New: the dialog opens on "multiple pages"; OK adds the engine in name order.
    gui.m_dialogHandler = [](wxDialog& dialog) {
        auto& engineDlg = dynamic_cast<CEngineDlg&>(dialog);
        EXPECT_EQ(engineDlg.GetSearchTypeList()->GetSelection(), 0);
        EXPECT_EQ(engineDlg.GetSearchTypeList()->GetString(1),
                  "Engine allow you so specify the number of results to return");
        engineDlg.GetEdit(IDC_ENGINE_NAME)->SetValue("Alpha");
        engineDlg.GetEdit(IDC_START_TOKEN)->SetValue("<li><a href=\"http");
        engineDlg.GetEdit(IDC_END_TOKEN)->SetValue("</a>");
        engineDlg.GetEdit(IDC_ENGINE_URL)->SetValue("http://alpha.example/s");
        engineDlg.GetEdit(IDC_PREFIX)->SetValue("?q=");
        engineDlg.GetEdit(IDC_NEXT_PAGE)->SetValue("/s?q=%s&n=%d");
        return wxID_OK;
    };
    frame.GetCatalogue().OnNewEngine();
    EXPECT_EQ(PaneNames(pane), (Strings{"Alpha", "Mid"}));
    EXPECT_EQ(pane.GetFirstSelectedRow(), 0); // the new engine, selected
    std::vector<CSearchEngine> saved;
    ASSERT_TRUE(LoadEngines(gui.CataloguePath(), saved));
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].m_strNextPage, "/s?q=%s&n=%d");

    // Edit keeps the tick; a new name moves the row to its place.
    pane.SetRowImage(0, CEngineListCtrl::m_nCheckedImage);
    pane.SelectRow(0);
    gui.m_dialogHandler = [](wxDialog& dialog) {
        auto& engineDlg = dynamic_cast<CEngineDlg&>(dialog);
        EXPECT_EQ(engineDlg.GetEdit(IDC_ENGINE_NAME)->GetValue(), "Alpha");
        engineDlg.GetEdit(IDC_ENGINE_NAME)->SetValue("Zulu");
        engineDlg.GetSearchTypeList()->SetSelection(1);
        return wxID_OK;
    };
    frame.GetCatalogue().OnEditEngine();
    EXPECT_EQ(PaneNames(pane), (Strings{"Mid", "Zulu"}));
    EXPECT_TRUE(pane.IsTicked(1));
    ASSERT_TRUE(LoadEngines(gui.CataloguePath(), saved));
    EXPECT_EQ(saved[1].m_strName, "Zulu");
    EXPECT_EQ(saved[1].m_nSearchType, 1);
    EXPECT_EQ(saved[1].m_strNextPage, ""); // not kept for this type

    // Delete asks first; No keeps the engine.
    pane.SelectRow(0);
    gui.m_nAnswer = wxNO;
    frame.GetCatalogue().OnDeleteEngine();
    EXPECT_EQ(gui.m_messages.back().m_strText, "Are you sure you want to delete Mid from your list of engines?");
    EXPECT_EQ(gui.m_messages.back().m_strCaption, "Question");
    EXPECT_EQ(pane.GetEngineCount(), 2);
    gui.m_nAnswer = wxYES;
    frame.GetCatalogue().OnDeleteEngine();
    frame.GetCatalogue().OnDeleteEngine();
    EXPECT_EQ(pane.GetEngineCount(), 0);
    // Deleting the last engine lasts: the catalogue is empty now.
    EXPECT_EQ(qtest::ReadFile(gui.CataloguePath()), "");
    gui.CloseFrame();
    EXPECT_EQ(gui.StartFrame().GetEnginePane().GetEngineCount(), 0);
}

TEST(Shell, TheEngineDialogRefusesWhatTheCatalogueCannotKeep)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha"), Engine("Beta")}, true);
    // Each try fixes the last complaint; the dialog stays open until all is well.
    size_t nTry = 0;
    gui.m_dialogHandler = [&](wxDialog& dialog) {
        CEngineDlg& engineDlg = dynamic_cast<CEngineDlg&>(dialog);
        switch (nTry++) {
        case 0: {
            CSearchEngine bad = Engine("alpha");      // another engine's name (case does not count)
            bad.m_strPrefix = "?q=\nsecond line";    // a pasted line break
            bad.m_strStartToken = "  ";               // blanks only: gone at the next start
            engineDlg.SetFromEngine(bad);
            engineDlg.TransferDataToWindow();
            break;
        }
        case 1: engineDlg.GetEdit(IDC_START_TOKEN)->SetValue("<a href=\""); break;
        case 2: engineDlg.GetEdit(IDC_PREFIX)->SetValue("?q="); break;
        default: engineDlg.GetEdit(IDC_ENGINE_NAME)->SetValue("Gamma"); break;
        }
        return wxID_OK;
    };
    frame.GetCatalogue().OnNewEngine();
    EXPECT_EQ(nTry, 4u);
    EXPECT_EQ(gui.MessageTexts(),
              (Strings{"Please fill in \"Token that Identifies Data\": an engine without it cannot be used.",
                       "\"Search Command Prefix\" must be one line: please remove the line break.",
                       "Another engine is already called \"Alpha\". Please choose another name."}));
    EXPECT_EQ(PaneNames(frame.GetEnginePane()), (Strings{"Alpha", "Beta", "Gamma"}));

    // Editing an engine may keep its own name.
    frame.GetEnginePane().SelectRow(0);
    gui.m_messages.clear();
    gui.m_dialogHandler = [](wxDialog&) { return wxID_OK; };
    frame.GetCatalogue().OnEditEngine();
    EXPECT_TRUE(gui.m_messages.empty());
}

TEST(Shell, ACatalogueWithLostRecordsSaysSo)
{
    CGuiFixture gui;
    ASSERT_TRUE(WriteFileAtomically(gui.CataloguePath(),
                                    FormatEngines({Engine("Alpha")}) + "garbage\r\n" + FormatEngines({Engine("Beta")}),
                                    true));
    CMainFrame& frame = gui.StartFrame();
    EXPECT_EQ(PaneNames(frame.GetEnginePane()), (Strings{"Alpha", "Beta"}));
    EXPECT_EQ(gui.MessageTexts(), Strings{"1 engine record could not be read"});
}

TEST(Shell, ACatalogueThatCannotBeReadIsSaidAndNeverWrittenOver)
{
    // Too large to read (a sparse file), and a folder where the file should be.
    for (const bool bFolder : {false, true}) {
        CGuiFixture gui;
        if (bFolder) {
            std::filesystem::create_directories(gui.CataloguePath());
        } else {
            ASSERT_TRUE(WriteFileAtomically(gui.CataloguePath(), FormatEngines({Engine("Alpha")}), true));
            ASSERT_EQ(::truncate(gui.CataloguePath().c_str(), static_cast<off_t>(kMaxCatalogueBytes) + 1), 0);
        }
        CMainFrame& frame = gui.StartFrame({}, true);
        ASSERT_EQ(gui.m_messages.size(), 1u);
        EXPECT_NE(gui.m_messages[0].m_strText.find("cannot be read"), std::string::npos);
        EXPECT_NE(gui.m_messages[0].m_strText.find(gui.CataloguePath()), std::string::npos);

        bool bDialogShown = false;
        gui.m_dialogHandler = [&bDialogShown](wxDialog&) {
            bDialogShown = true;
            return wxID_OK;
        };
        frame.GetCatalogue().OnNewEngine();
        EXPECT_FALSE(bDialogShown);
        ASSERT_EQ(gui.m_messages.size(), 2u);
        EXPECT_NE(gui.m_messages[1].m_strText.find("not written over"), std::string::npos);
        EXPECT_NE(gui.m_messages[1].m_strText.find(gui.CataloguePath()), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(gui.CataloguePath() + ".bak"));
        if (!bFolder) {
            EXPECT_EQ(std::filesystem::file_size(gui.CataloguePath()), kMaxCatalogueBytes + 1);
        }
        gui.CloseFrame();
    }
}

TEST(Shell, AProfileThatCannotBeReadIsSaidAtStart)
{
    CGuiFixture gui;
    std::filesystem::create_directories(gui.Settings().GetPath()); // a folder where the file should be
    gui.ReadSettingsAgain();
    gui.StartFrame({Engine("Alpha")});
    ASSERT_EQ(gui.m_messages.size(), 1u);
    EXPECT_NE(gui.m_messages[0].m_strText.find("settings file " + gui.Settings().GetPath() + " cannot be read"),
              std::string::npos)
        << gui.m_messages[0].m_strText;
    gui.CloseFrame();
    EXPECT_TRUE(std::filesystem::is_directory(gui.Settings().GetPath()));
}

TEST(Shell, UpdatedDefinitionsAreSaidAndAChangedOneCanBeRestored)
{
    CGuiFixture gui;
    // The shipped catalogue: Alpha as shipped today.
    gui.m_strShareDir = gui.Dir().File("share/");
    CSearchEngine shippedAlpha = Engine("Alpha");
    shippedAlpha.m_strEndToken = "</li>";
    ASSERT_TRUE(SaveEngines(gui.m_strShareDir + "engines.dat", {shippedAlpha}));
    gui.m_nEnginesUpdated = 2;
    gui.m_newerShipped = {"Alpha"};
    CMainFrame& frame = gui.StartFrame({Engine("Alpha"), Engine("Beta")}, true);
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(0), "2 engine definitions were updated");
    ASSERT_EQ(gui.m_messages.size(), 1u);
    EXPECT_NE(gui.m_messages[0].m_strText.find("newer definition of Alpha"), std::string::npos);
    // Restore Shipped Definition from the engine's menu: there for a shipped
    // engine only.
    auto offersRestore = [&frame](int nRow) {
        frame.GetEnginePane().SelectRow(nRow);
        std::unique_ptr<wxMenu> pMenu(frame.GetCatalogue().CreateEngineMenu());
        return pMenu->FindItem(ID_RESTORE_SHIPPED) != nullptr;
    };
    EXPECT_FALSE(offersRestore(1)); // Beta
    EXPECT_TRUE(offersRestore(0));
    gui.m_popupHandler = [](wxMenu&) { return static_cast<int>(ID_RESTORE_SHIPPED); };
    frame.GetCatalogue().ShowEngineMenu();
    std::vector<CSearchEngine> saved;
    ASSERT_TRUE(LoadEngines(gui.CataloguePath(), saved));
    EXPECT_EQ(saved[0].m_strEndToken, "</li>");
    ASSERT_FALSE(gui.m_statusTexts.empty());
    EXPECT_EQ(gui.m_statusTexts.back(), "Alpha: the shipped definition was restored.");
    gui.CloseFrame();

    // Said once: the next start is quiet about it.
    gui.m_messages.clear();
    gui.StartFrame();
    EXPECT_TRUE(gui.m_messages.empty());
    gui.CloseFrame();
}

TEST(Shell, UnwritableCatalogueIsReported)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({Engine("Alpha")}, true);
    std::filesystem::remove(gui.CataloguePath());
    std::filesystem::create_directories(gui.CataloguePath()); // a folder where the file should be
    gui.m_dialogHandler = [](wxDialog& dialog) {
        CEngineDlg& engineDlg = dynamic_cast<CEngineDlg&>(dialog);
        engineDlg.SetFromEngine(Engine("Beta"));
        engineDlg.TransferDataToWindow();
        return wxID_OK;
    };
    frame.GetCatalogue().OnNewEngine();
    ASSERT_EQ(gui.m_messages.size(), 1u);
    EXPECT_NE(gui.m_messages[0].m_strText.find("could not be saved"), std::string::npos);
    EXPECT_EQ(frame.GetEnginePane().GetEngineCount(), 2); // the pane keeps the change
}

TEST(Shell, StatusTextsFromAWorkerThreadReachTheStatusBar)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame();
    CGuiSearchHost host(frame.GetFormView(), 0);
    std::thread worker([&host] {
        for (int i = 0; i < 50; ++i)
            host.PostStatusText("text " + std::to_string(i));
    });
    worker.join();
    ASSERT_TRUE(qtest::PumpUntil([&] { return frame.GetStatusMessage() == "text 49"; }));
    ASSERT_EQ(gui.m_statusTexts.size(), 50u); // every text, in order
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(gui.m_statusTexts[static_cast<size_t>(i)], "text " + std::to_string(i));
}

TEST(Shell, HelpPagesOpenAtTheirTopicsOrFailClearly)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame();
    EXPECT_FALSE(frame.OnHelp(1));
    EXPECT_EQ(gui.MessageTexts(),
              Strings{"Failed to launch help.\n\nThe help file is not there: " + gui.Dir().File("help/index.html")});
    std::filesystem::create_directories(gui.Dir().File("help"));
    qtest::WriteFile(gui.Dir().File("help/index.html"), "<html>contents</html>");
    qtest::WriteFile(gui.Dir().File("help/howto.html"), "<html>how to</html>");
    EXPECT_TRUE(frame.OnHelp(1));
    EXPECT_TRUE(frame.OnHelp(4));
    EXPECT_EQ(gui.m_opened, (Strings{gui.Dir().File("help/index.html"), gui.Dir().File("help/howto.html")}));
}

TEST(Shell, DesktopRegistrationAndFirstRunCatalogue)
{
    CGuiFixture gui; // XDG folders point into its temporary folder
    const std::string strShare = gui.Dir().File("share/");
    std::filesystem::create_directories(strShare);
    qtest::WriteFile(strShare + "io.github.questrel.Questrel.desktop", "[Desktop Entry]\nName=Internet Questrel\nExec=questrel %f\n");
    qtest::WriteFile(strShare + "io.github.questrel.Questrel.mime.xml", "<mime-info/>\n");
    qtest::WriteFile(strShare + "io.github.questrel.Questrel.svg", "<svg/>\n");
    qtest::WriteFile(strShare + "engines.dat", FormatEngines({Engine("Shipped")}));
    ::setenv("XDG_DATA_DIRS", gui.Dir().File("none").c_str(), 1);

    EXPECT_FALSE(IsDesktopRegistered());
    ASSERT_TRUE(RegisterDesktopIntegration("/opt/questrel/bin/questrel", strShare));
    EXPECT_TRUE(IsDesktopRegistered());
    EXPECT_NE(qtest::ReadFile(gui.Dir().File("data/applications/io.github.questrel.Questrel.desktop"))
                  .find("Exec=\"/opt/questrel/bin/questrel\" %f"),
              std::string::npos);
    EXPECT_EQ(qtest::ReadFile(gui.Dir().File("data/mime/packages/io.github.questrel.Questrel.xml")), "<mime-info/>\n");
    // Only a program in a build tree registers itself; an installed one never does.
    EXPECT_FALSE(IsBuildTreeShareDirectory(strShare));
    EXPECT_FALSE(IsBuildTreeShareDirectory(GetProgramDirectory() + "../share/questrel/"));
    EXPECT_TRUE(IsBuildTreeShareDirectory(GetProgramDirectory() + "share/questrel/"));

    // The shipped catalogue seeds the user's on first run, and never overwrites it.
    const std::string strPath = PrepareCatalogue(strShare);
    EXPECT_EQ(strPath, gui.CataloguePath());
    std::vector<CSearchEngine> engines;
    ASSERT_TRUE(LoadEngines(strPath, engines));
    ASSERT_EQ(engines.size(), 1u);
    SaveEngines(strPath, {Engine("Mine")});
    PrepareCatalogue(strShare);
    ASSERT_TRUE(LoadEngines(strPath, engines));
    EXPECT_EQ(engines[0].m_strName, "Mine");
    ::unsetenv("XDG_DATA_DIRS");
}

TEST(Shell, TheWindowsPlaceIsRemembered)
{
    CGuiFixture gui;
    {
        CMainFrame& frame = gui.StartFrame({Engine("Alpha")});
        qtest::Pump();
        EXPECT_EQ(frame.GetSashPosition(), frame.GetDefaultEnginePaneWidth());
        frame.SetSize(720, 480);
        frame.SetSashPosition(260);
        qtest::Pump();
        gui.CloseFrame();
    }
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Window Width", 0), 720);
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Splitter", 0), 260);
    CMainFrame& frame = gui.StartFrame();
    qtest::Pump();
    EXPECT_EQ(frame.GetSize(), wxSize(720, 480));
    EXPECT_EQ(frame.GetSashPosition(), 260);
}

TEST(Shell, UnderAWindowManagerTheEnginePaneStartsWithItsHeadingWhole)
{
    // A window manager sizes the window after it is shown, which once moved
    // the sash to about 135 pixels. At 200 pixels the heading read
    // "Available Search Engi".
    qtest::CWindowManager wm;
    if (!wm.IsRunning())
        GTEST_SKIP() << "no openbox";
    {
        CGuiFixture gui;
        CMainFrame& frame = gui.StartFrame({Engine("Alpha")});
        qtest::PumpFor(1000);
        const int nDefault = frame.GetDefaultEnginePaneWidth();
        EXPECT_GE(nDefault, 200);
        EXPECT_EQ(frame.GetSashPosition(), nDefault);
        EXPECT_NEAR(frame.GetEnginePane().GetSize().GetWidth(), nDefault, 2);
        // The heading, in the header's bold, fits its column, and both columns the pane.
        CEngineListCtrl& pane = frame.GetEnginePane();
        wxClientDC dc(&pane);
        dc.SetFont(pane.GetFont().Bold());
        const int nNameWidth = pane.GetColumn(CEngineListCtrl::kNameColumn)->GetWidth();
        EXPECT_GT(nNameWidth, dc.GetTextExtent("Available Search Engines to Search").GetWidth());
        EXPECT_LE(pane.GetColumn(CEngineListCtrl::kTickColumn)->GetWidth() + nNameWidth,
                  pane.GetClientSize().GetWidth());

        // The width the user drags the pane to stays through a squeeze of the window.
        const wxRect paneRect = frame.GetEnginePane().GetScreenRect();
        wxUIActionSimulator mouse;
        mouse.MouseMove(paneRect.GetRight() + 3, paneRect.y + paneRect.height / 2);
        mouse.MouseDown();
        mouse.MouseMove(paneRect.GetRight() + 63, paneRect.y + paneRect.height / 2);
        mouse.MouseUp();
        EXPECT_TRUE(qtest::PumpUntil([&] { return std::abs(frame.GetSashPosition() - (nDefault + 60)) <= 2; }, 2000))
            << frame.GetSashPosition();
        const int nDragged = frame.GetSashPosition();
        frame.SetSize(250, 400);
        qtest::PumpUntil([&] { return frame.GetSize().GetWidth() <= 260; }, 1000);
        frame.SetSize(900, 600);
        EXPECT_TRUE(qtest::PumpUntil([&] { return frame.GetSashPosition() == nDragged; }, 2000)) << frame.GetSashPosition();
        gui.CloseFrame();
    }
}

TEST(Shell, UnderAWindowManagerTheStartSaysNothingOnStderr)
{
    // The toolkit laid the window out in 2x1 pixels first: Gtk-CRITICAL lines
    // and pixman's "*** BUG ***" at every start.
    qtest::CWindowManager wm;
    if (!wm.IsRunning())
        GTEST_SKIP() << "no openbox";
    qtest::CTempDir dir;
    const std::string strErr = dir.File("stderr");
    std::fflush(stderr);
    const int nSaved = ::dup(2);
    const int nFile = ::open(strErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(nFile, 0);
    ::dup2(nFile, 2);
    {
        CGuiFixture gui;
        gui.StartFrame({Engine("Alpha"), Engine("Beta")});
        qtest::PumpFor(800);
        gui.CloseFrame();
    }
    std::fflush(stderr);
    ::dup2(nSaved, 2);
    ::close(nSaved);
    ::close(nFile);
    std::string strText;
    ASSERT_TRUE(ReadFileBytes(strErr, strText, 1 << 20));
    EXPECT_EQ(strText.find("CRITICAL"), std::string::npos) << strText;
    EXPECT_EQ(strText.find("*** BUG ***"), std::string::npos) << strText;
    EXPECT_EQ(strText.find("Gtk-WARNING"), std::string::npos) << strText;
}

TEST(Shell, UnderAWindowManagerTheWindowOpensWhereItWas)
{
    // The toolkit forgot the position given before the window was shown, and
    // openbox put the window in the top left corner at every start.
    qtest::CWindowManager wm;
    if (!wm.IsRunning())
        GTEST_SKIP() << "no openbox";
    CGuiFixture gui;
    ASSERT_TRUE(gui.Settings().WriteTexts(
        {{"Window X", "150"}, {"Window Y", "90"}, {"Window Width", "700"}, {"Window Height", "450"}}));
    CMainFrame& frame = gui.StartFrame({Engine("Alpha")});
    EXPECT_TRUE(qtest::PumpUntil([&] { return frame.GetPosition() == wxPoint(150, 90); }, 3000))
        << frame.GetPosition().x << "," << frame.GetPosition().y;
    // Still there once the manager is done with it, and kept there at close.
    qtest::PumpFor(300);
    EXPECT_EQ(frame.GetPosition(), wxPoint(150, 90));
    gui.CloseFrame();
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Window X", 0), 150);
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Window Y", 0), 90);
}

TEST(Shell, CopiedTextReachesTheDesktopClipboard)
{
    CGuiFixture gui;
    gui.StartFrame({Engine("Alpha")});
    SetClipboardHandler(nullptr); // the real clipboard
    ASSERT_TRUE(CopyToClipboard("Red apple\thttps://a.example/\tMojeek\n"));
    wxTextDataObject data;
    {
        wxClipboardLocker lock;
        ASSERT_FALSE(!lock);
        ASSERT_TRUE(wxTheClipboard->GetData(data));
    }
    EXPECT_EQ(data.GetText(), "Red apple\thttps://a.example/\tMojeek\n");
}
