// SPDX-License-Identifier: MIT
// The window driven by real keys only, as a keyboard user drives it: a search
// started with Return, stopped with Escape, and the keyboard still in the
// window afterwards.

#include "GuiFixture.h"
#include "LoopbackServer.h"
#include "SampleEngines.h"
#include "gui/EngineListCtrl.h"
#include "gui/QuestrelView.h"
#include "gui/ResultListCtrl.h"
#include "gui/WxText.h"

#include <gtest/gtest.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

namespace {

bool FocusIn(const wxWindow* pWindow)
{
    for (const wxWindow* p = wxWindow::FindFocus(); p; p = p->GetParent())
        if (p == pWindow)
            return true;
    return false;
}

struct CKeyboardFixture : ::testing::Test
{
    // The first page of "Stalling" never comes; the sample engines answer.
    qtest::CLoopbackServer stalling{[](const qtest::CRecordedRequest&) {
        qtest::CReply reply = qtest::CReply::Ok(std::string(5000, ' '), false);
        reply.m_nStallAfter = 10;
        return reply;
    }};
    qtest::CSampleEngineServer sample;
    qtest::CGuiFixture gui;
    CMainFrame* pFrame = nullptr;
    wxTextCtrl* pQuery = nullptr;
    wxUIActionSimulator keys;

    void SetUp() override
    {
        std::vector<CSearchEngine> engines = sample.GetCatalogue();
        CSearchEngine stall = engines[0];
        stall.m_strName = "Stalling";
        stall.m_strUrl = stalling.GetBaseUrl() + "/stall";
        engines.push_back(stall);
        pFrame = &gui.StartFrame(engines);
        qtest::ChangeSettings(*pFrame, [](CSearchSettings& s) { s.m_nConnectMethod = 1; }); // direct: loopback only
        pQuery = dynamic_cast<wxTextCtrl*>(pFrame->GetFormView().FindWindow(IDC_SEARCH_FOR));
        pFrame->Raise();
        pQuery->SetFocus();
        ASSERT_TRUE(qtest::PumpUntil([&] { return FocusIn(pQuery); }, 5000));
    }

    CEngineListCtrl& Pane() { return pFrame->GetEnginePane(); }
    int Row(const std::string& strName)
    {
        for (int i = 0; i < Pane().GetEngineCount(); ++i)
            if (Pane().GetEngines()[static_cast<size_t>(i)].m_strName == strName)
                return i;
        return -1;
    }
    bool Searching() { return pFrame->GetFormView().IsSearching(); }
};

} // namespace

TEST_F(CKeyboardFixture, ReturnSearchesEscapeStopsAndTheKeyboardStaysInTheWindow)
{
    Pane().SetRowImage(Row("Stalling"), CEngineListCtrl::m_nCheckedImage);
    keys.Text("red apple");
    keys.Char(WXK_RETURN);
    ASSERT_TRUE(qtest::PumpUntil([&] { return stalling.GetRequestCount() == 1; }, 10000));
    EXPECT_TRUE(Searching());
    // The query field is disabled meanwhile; the keyboard is still in the window.
    EXPECT_TRUE(FocusIn(&pFrame->GetFormView().GetResultList()));
    keys.Char(WXK_ESCAPE);
    ASSERT_TRUE(qtest::PumpUntil([&] { return !Searching(); }, 5000));

    // Back where it was: typing reaches the query field (the toolkit selects
    // its text as it takes the focus back), and F6 moves on.
    ASSERT_TRUE(qtest::PumpUntil([&] { return FocusIn(pQuery); }, 5000));
    keys.Char(WXK_END);
    keys.Text(" pie");
    EXPECT_TRUE(qtest::PumpUntil([&] { return pQuery->GetValue() == "red apple pie"; }, 5000)) << pQuery->GetValue();
    keys.Char(WXK_F6);
    EXPECT_TRUE(qtest::PumpUntil([&] { return FocusIn(&Pane()); }, 5000));
}

TEST_F(CKeyboardFixture, ReturnInTheEnginePaneSearchesAndSpaceStillTicks)
{
    const int nCount = Row("Sample Count");
    Pane().SetRowImage(nCount, CEngineListCtrl::m_nCheckedImage);
    pQuery->ChangeValue("red apple");
    Pane().SetFocus();
    Pane().SelectRow(nCount);
    ASSERT_TRUE(qtest::PumpUntil([&] { return FocusIn(&Pane()); }, 5000));
    const size_t nBefore = sample.GetServer().GetRequestCount();
    keys.Char(WXK_RETURN);
    ASSERT_TRUE(qtest::PumpUntil([&] { return sample.GetServer().GetRequestCount() > nBefore && !Searching(); }, 10000));
    EXPECT_TRUE(Pane().IsTicked(nCount)); // Return never unticks
    EXPECT_GT(pFrame->GetFormView().GetRows().GetRowCount(), 0);
    // After the search the keyboard is back in the pane, where Space ticks.
    ASSERT_TRUE(qtest::PumpUntil([&] { return FocusIn(&Pane()); }, 5000));
    keys.Char(WXK_SPACE);
    EXPECT_TRUE(qtest::PumpUntil([&] { return !Pane().IsTicked(nCount); }, 5000));
}
