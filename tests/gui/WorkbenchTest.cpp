// SPDX-License-Identifier: MIT
// The workbench in the window: the engine dialog learns a definition from a
// result page through its small dialog (real buttons), tries the fields on the
// page (Test) and on the engine anew (Fetch Again); Check Engines shows a
// broken definition apart from a refusal.

#include "GuiFixture.h"
#include "LoopbackServer.h"
#include "engines/EngineCatalogue.h"
#include "gui/Commands.h"
#include "gui/EngineDlg.h"
#include "gui/EngineListCtrl.h"
#include "gui/LearnDlg.h"
#include "gui/WxText.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

using qtest::CGuiFixture;

namespace {

std::string ResultsPage()
{
    std::string strPage = "<html><div class=\"nav\"><a href=\"/settings\">Settings</a></div>";
    for (int i = 0; i < 5; ++i)
        strPage += "<div class=\"result\"><h3><a class=\"t\" href=\"https://site" + std::to_string(i) +
                   ".example/apples\">Red apple guide " + std::to_string(i) + "</a></h3><p>Apples, red ones.</p></div>";
    return strPage + "<a href=\"/search?q=red+apple&amp;s=5\">Next</a></html>";
}

void Click(wxWindow& dialog, int nId)
{
    auto* pButton = dynamic_cast<wxButton*>(dialog.FindWindow(nId));
    ASSERT_NE(pButton, nullptr) << nId;
    wxCommandEvent click(wxEVT_BUTTON, nId);
    click.SetEventObject(pButton);
    pButton->ProcessWindowEvent(click);
}

void Type(wxWindow& dialog, int nId, const std::string& strText)
{
    auto* pEdit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(nId));
    ASSERT_NE(pEdit, nullptr) << nId;
    pEdit->ChangeValue(ToWx(strText));
}

} // namespace

TEST(Workbench, TheEngineDialogLearnsTestsAndFetchesAgain)
{
    qtest::CLoopbackServer server([](const qtest::CRecordedRequest& request) {
        if (request.m_strPath == "/bot")
            return qtest::CReply::Ok("<html><p>Please confirm you are human.</p></html>");
        if (request.m_strPath == "/slow") {
            qtest::CReply reply = qtest::CReply::Ok("late");
            reply.m_nHeadDelayMs = 600000;
            return reply;
        }
        if (request.m_strQuery.find("s=5") != std::string::npos) // the next page, asked once to check the paging
            return qtest::CReply::Ok("<div class=\"result\"><h3><a class=\"t\" href=\"https://site9.example/\">Red apple 9</a></h3></div>");
        return qtest::CReply::Ok(ResultsPage());
    });
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({}, true);
    qtest::ChangeSettings(frame, [](CSearchSettings& s) { s.m_nConnectMethod = 1; }); // direct: loopback only
    const std::string strBase = server.GetBaseUrl();

    std::vector<std::string> learnStatuses;
    std::string strLearnedPreview, strBrokenPreview, strFetchedPreview;
    gui.m_dialogHandler = [&](wxDialog& dialog) {
        if (auto* pLearn = dynamic_cast<CLearnDlg*>(&dialog)) {
            // A refusal and a stop are said in the progress line; the dialog stays.
            Type(*pLearn, IDC_LEARN_QUERY, "red apple");
            Type(*pLearn, IDC_LEARN_ADDRESS, strBase + "/bot?q=red+apple");
            Click(*pLearn, IDC_LEARN_START);
            EXPECT_TRUE(qtest::PumpUntil([pLearn] { return !pLearn->IsLearning(); }));
            learnStatuses.push_back(pLearn->GetStatusText());
            Type(*pLearn, IDC_LEARN_ADDRESS, strBase + "/slow?q=red+apple");
            Click(*pLearn, IDC_LEARN_START);
            EXPECT_TRUE(pLearn->IsLearning());
            EXPECT_TRUE(qtest::PumpUntil([&server] { return server.GetRequestCount() == 2; }));
            Click(*pLearn, IDC_LEARN_STOP);
            EXPECT_FALSE(pLearn->IsLearning());
            learnStatuses.push_back(pLearn->GetStatusText());
            // The page of results.
            Type(*pLearn, IDC_LEARN_ADDRESS, strBase + "/search?q=red+apple");
            Click(*pLearn, IDC_LEARN_START);
            EXPECT_TRUE(qtest::PumpUntil([pLearn] { return !pLearn->IsLearning(); }));
            learnStatuses.push_back(pLearn->GetStatusText());
            return pLearn->HasLearned() ? wxID_OK : wxID_CANCEL;
        }
        auto& engineDlg = dynamic_cast<CEngineDlg&>(dialog);
        engineDlg.TransferDataToWindow();
        Type(engineDlg, IDC_ENGINE_NAME, "Apples");
        Click(engineDlg, IDC_LEARN_FROM_PAGE);
        strLearnedPreview = engineDlg.GetPreviewText();
        // A field changed by hand, tried on the page: the preview says what broke.
        const wxString strToken = engineDlg.GetEdit(IDC_START_TOKEN)->GetValue();
        engineDlg.GetEdit(IDC_START_TOKEN)->ChangeValue("<h4><a href=\"");
        Click(engineDlg, IDC_TEST_ENGINE);
        strBrokenPreview = engineDlg.GetPreviewText();
        // Tried again with nothing changed: the preview still shows it ran.
        Click(engineDlg, IDC_TEST_ENGINE);
        EXPECT_NE(engineDlg.GetPreviewText(), strBrokenPreview);
        EXPECT_NE(engineDlg.GetPreviewText().find("; try 3 at "), std::string::npos) << engineDlg.GetPreviewText();
        // Mended, and asked of the engine anew.
        engineDlg.GetEdit(IDC_START_TOKEN)->ChangeValue(strToken);
        Click(engineDlg, IDC_FETCH_AGAIN);
        EXPECT_TRUE(qtest::PumpUntil([&engineDlg] { return !engineDlg.IsFetching(); }));
        qtest::Pump();
        strFetchedPreview = engineDlg.GetPreviewText();
        return wxID_OK;
    };
    frame.GetCatalogue().OnNewEngine();

    ASSERT_EQ(learnStatuses.size(), 3u);
    EXPECT_EQ(learnStatuses[0], "The engine refused: the page is a bot check.");
    EXPECT_EQ(learnStatuses[1], "Stopped.");
    EXPECT_EQ(learnStatuses[2], "5 hits found on the page.");
    EXPECT_EQ(strLearnedPreview.rfind("ok: 5 hits", 0), 0u) << strLearnedPreview;
    EXPECT_NE(strLearnedPreview.find("1. Red apple guide 0"), std::string::npos) << strLearnedPreview;
    EXPECT_NE(strLearnedPreview.find("https://site0.example/apples"), std::string::npos);
    EXPECT_EQ(strBrokenPreview.rfind("no-hits: start token not on the page", 0), 0u) << strBrokenPreview;
    EXPECT_EQ(strFetchedPreview.rfind("ok: 5 hits", 0), 0u) << strFetchedPreview;
    EXPECT_NE(strFetchedPreview.find(strBase + "/search?q=red+apple"), std::string::npos) << strFetchedPreview;

    // Saved with OK only: the learned definition, under the user's name.
    std::vector<CSearchEngine> saved;
    ASSERT_TRUE(LoadEngines(gui.CataloguePath(), saved));
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].m_strName, "Apples");
    EXPECT_EQ(saved[0].m_strUrl, strBase + "/search");
    EXPECT_EQ(saved[0].m_strPrefix, "?q=");
    EXPECT_EQ(saved[0].m_strStartToken, "<a class=\"t\" href=\"");
    EXPECT_EQ(saved[0].m_nSearchType, StartNumber);
    gui.CloseFrame();
}

// The lists the learner considered, picked in the list box, and an example
// typed: each learns anew from the page held, with its hits in the preview.
TEST(Workbench, TheLearnDialogShowsTheListsAndTakesAnExample)
{
    std::string strPage = "<html><body><div class=\"news\">";
    for (int i = 0; i < 4; ++i)
        strPage += "<div class=\"story\"><h3><a href=\"https://news" + std::to_string(i) + ".example/\">Apple growers meet, day " +
                   std::to_string(i) + "</a></h3><p>Orchards across the north open their gates this week.</p></div>";
    strPage += "</div><ul>";
    for (int i = 0; i < 3; ++i)
        strPage += "<li><span class=\"w\"><a href=\"https://w" + std::to_string(i) + ".example/\">w" + std::to_string(i) +
                   " apple</a></span></li>";
    strPage += "</ul></body></html>";
    qtest::CLoopbackServer server([&strPage](const qtest::CRecordedRequest&) { return qtest::CReply::Ok(strPage); });
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({}, true);
    qtest::ChangeSettings(frame, [](CSearchSettings& s) { s.m_nConnectMethod = 1; });
    std::vector<std::string> previews;
    int nGroups = 0;
    size_t nRequestsAfterLearn = 0;
    gui.m_dialogHandler = [&](wxDialog& dialog) {
        if (auto* pLearn = dynamic_cast<CLearnDlg*>(&dialog)) {
            Type(*pLearn, IDC_LEARN_QUERY, "red apple");
            Type(*pLearn, IDC_LEARN_ADDRESS, server.GetBaseUrl() + "/search?q=red+apple");
            Click(*pLearn, IDC_LEARN_START);
            EXPECT_TRUE(qtest::PumpUntil([pLearn] { return !pLearn->IsLearning(); }));
            nRequestsAfterLearn = server.GetRequestCount();
            nGroups = pLearn->GetGroupCount();
            previews.push_back(pLearn->GetPreviewText());
            // The other list, picked in the list box.
            auto* pList = dynamic_cast<wxListBox*>(pLearn->FindWindow(IDC_LEARN_GROUPS));
            EXPECT_NE(pList, nullptr);
            for (unsigned i = 0; pList && i < pList->GetCount(); ++i)
                if (pList->GetString(i).Contains("w1 apple") && !pList->GetString(i).Contains("Apple growers")) {
                    pList->SetSelection(static_cast<int>(i));
                    wxCommandEvent pick(wxEVT_LISTBOX, IDC_LEARN_GROUPS);
                    pick.SetInt(static_cast<int>(i));
                    pick.SetEventObject(pList);
                    pList->ProcessWindowEvent(pick);
                    break;
                }
            previews.push_back(pLearn->GetPreviewText());
            // An example of the first list, and Learn again: no new request.
            Type(*pLearn, IDC_LEARN_EXAMPLE, "https://news2.example");
            Click(*pLearn, IDC_LEARN_START);
            EXPECT_FALSE(pLearn->IsLearning());
            previews.push_back(pLearn->GetPreviewText());
            EXPECT_TRUE(pLearn->FindWindow(wxID_OK)->IsEnabled());
            return wxID_OK;
        }
        Click(dialog, IDC_LEARN_FROM_PAGE);
        return wxID_CANCEL;
    };
    frame.GetCatalogue().OnNewEngine();
    EXPECT_GE(nGroups, 2);
    ASSERT_EQ(previews.size(), 3u);
    EXPECT_NE(previews[0].find("https://news0.example/"), std::string::npos) << previews[0];
    EXPECT_EQ(previews[1].find("https://news0.example/"), std::string::npos) << previews[1];
    EXPECT_NE(previews[1].find("https://w1.example/"), std::string::npos) << previews[1];
    EXPECT_NE(previews[2].find("https://news2.example/"), std::string::npos) << previews[2];
    EXPECT_EQ(server.GetRequestCount(), nRequestsAfterLearn);
    gui.CloseFrame();
}

TEST(Workbench, CheckEnginesTellsABrokenDefinitionFromARefusal)
{
    qtest::CLoopbackServer server([](const qtest::CRecordedRequest& request) {
        if (request.m_strPath == "/refusing")
            return qtest::CReply::Make(403, "no");
        if (request.m_strPath == "/bot")
            return qtest::CReply::Ok("<html><form id=\"challenge-form\"></form></html>");
        return qtest::CReply::Ok(ResultsPage());
    });
    auto engine = [&server](const std::string& strName, const std::string& strPath, const std::string& strToken) {
        CSearchEngine e = qtest::TestEngine(strName, ResultCount, server.GetBaseUrl() + strPath, "?q=");
        e.m_strStartToken = strToken;
        return e;
    };
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({engine("Good", "/search", "<a class=\"t\" href=\""),
                                        engine("Broken", "/search", "<a class=\"gone\" href=\""),
                                        engine("Refusing", "/refusing", "<a class=\"t\" href=\""),
                                        engine("Bot", "/bot", "<a class=\"t\" href=\"")},
                                       true);
    qtest::ChangeSettings(frame, [](CSearchSettings& s) { s.m_nConnectMethod = 1; }); // direct: loopback only
    CEngineListCtrl& pane = frame.GetEnginePane();
    frame.GetCatalogue().OnCheckEngines();
    ASSERT_TRUE(qtest::PumpUntil([&] { return !frame.GetCatalogue().IsCheckingEngines() && !pane.GetOutcomeText(0).empty(); }));
    // Catalogue order: Bot, Broken, Good, Refusing.
    EXPECT_EQ(pane.GetOutcomeText(0), "refused: the page is a bot check");
    EXPECT_EQ(pane.GetOutcomeText(1), "definition broken: start token not on the page");
    EXPECT_EQ(pane.GetOutcomeText(2), "works: 5 hits");
    EXPECT_EQ(pane.GetOutcomeText(3), "refused: HTTP 403 Forbidden");
    EXPECT_TRUE(pane.IsOutcomeFailure(1));
    EXPECT_FALSE(pane.IsOutcomeFailure(2));
    EXPECT_EQ(pane.GetRowTip(1), "Broken: definition broken: start token not on the page");
    EXPECT_EQ(gui.m_statusTexts.back(), "Engines checked: 1 of 4 works.");

    // Mend... is offered on the broken engine alone; its box shows old beside
    // new with the hits, and Yes writes the new definition.
    pane.SelectRow(3);
    gui.m_popupHandler = [](wxMenu&) { return static_cast<int>(wxID_NONE); };
    frame.GetCatalogue().ShowEngineMenu();
    ASSERT_EQ(gui.m_popupMenus.size(), 1u);
    EXPECT_EQ(std::count(gui.m_popupMenus[0].begin(), gui.m_popupMenus[0].end(), "Mend..."), 0);
    pane.SelectRow(1);
    gui.m_popupHandler = [](wxMenu&) { return static_cast<int>(ID_MEND_ENGINE); };
    gui.m_nAnswer = wxYES;
    frame.GetCatalogue().ShowEngineMenu();
    ASSERT_TRUE(qtest::PumpUntil([&] { return !frame.GetCatalogue().IsCheckingEngines() && !gui.m_messages.empty(); }));
    ASSERT_EQ(gui.m_messages.size(), 1u);
    EXPECT_EQ(gui.m_messages[0].m_strCaption, "Question");
    EXPECT_NE(gui.m_messages[0].m_strText.find("Now:  start <a class=\"gone\" href=\""), std::string::npos)
        << gui.m_messages[0].m_strText;
    EXPECT_NE(gui.m_messages[0].m_strText.find("finds 5 hits"), std::string::npos) << gui.m_messages[0].m_strText;
    std::vector<CSearchEngine> saved;
    ASSERT_TRUE(LoadEngines(gui.CataloguePath(), saved));
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[1].m_strName, "Broken");
    EXPECT_NE(saved[1].m_strStartToken, "<a class=\"gone\" href=\"");
    EXPECT_EQ(saved[1].m_strUrl, server.GetBaseUrl() + "/search");
    EXPECT_EQ(gui.m_statusTexts.back(), "Broken: the definition was mended.");
    gui.CloseFrame();
}
