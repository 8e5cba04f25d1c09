// SPDX-License-Identifier: MIT
// The window's parts need no main frame: the form searches, and the document
// saves and opens, with only the model, a status sink and the engine pane.

#include "GuiFixture.h"
#include "SampleEngines.h"
#include "TestFixtures.h"
#include "gui/AppModel.h"
#include "gui/Commands.h"
#include "gui/EngineListCtrl.h"
#include "gui/QuestrelDoc.h"
#include "gui/QuestrelView.h"
#include "gui/StatusSink.h"
#include "gui/WxText.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

namespace {

struct CRecordingSink : IStatusSink
{
    std::vector<std::string> m_texts;
    int m_nHits = -2;
    void ShowStatusText(const wxString& strText) override { m_texts.push_back(FromWx(strText)); }
    void ShowStatusTexts(const std::vector<std::string>& texts) override
    {
        m_texts.insert(m_texts.end(), texts.begin(), texts.end());
    }
    void ShowHitCount(int nHits) override { m_nHits = nHits; }
};

} // namespace

TEST(WindowParts, FormAndDocumentWorkWithoutTheMainFrame)
{
    qtest::CSampleEngineServer sample;
    qtest::CGuiFixture gui; // boxes and file choosers answered
    CAppContext context;
    context.m_pSettings = &gui.Settings();
    CAppModel model(context);
    CRecordingSink sink;
    std::vector<int> changes;
    model.Attach(&sink, [&changes](int nOptionId) { changes.push_back(nOptionId); });

    auto* pWindow = new wxFrame(nullptr, wxID_ANY, "parts");
    auto* pPane = new CEngineListCtrl(pWindow, wxID_ANY);
    auto* pView = new CQuestrelView(pWindow, model, sink, *pPane);
    pWindow->Show();
    pPane->SetEngines(sample.GetCatalogue(), {CEngineListCtrl::m_nCheckedImage});
    CQuestrelDoc doc(*pWindow, model, sink, *pPane, *pView);
    int nTitles = 0;
    doc.SetTitleHandler([&nTitles] { ++nTitles; });

    CSearchSettings settings = model.GetSearchSettings();
    settings.m_nConnectMethod = 1; // direct: loopback only
    settings.m_strQuery = "red apple";
    settings.m_bShowResultsPage = false;
    model.ApplySearchSettings(settings);
    EXPECT_EQ(changes, std::vector<int>{0});
    model.ToggleOption(ID_TOGGLE_SHOW_HINTS); // no hint box after the search
    EXPECT_EQ(changes, (std::vector<int>{0, ID_TOGGLE_SHOW_HINTS}));
    pView->TransferToForm();
    pView->OnSearch();
    ASSERT_TRUE(qtest::PumpUntil([pView] { return !pView->IsSearching(); }));
    const int nRows = pView->GetRows().GetRowCount();
    EXPECT_GT(nRows, 0);
    EXPECT_EQ(sink.m_nHits, nRows);
    ASSERT_FALSE(sink.m_texts.empty());
    EXPECT_EQ(sink.m_texts.back(), "Find complete.");

    // Saved and opened again: the same rows, the hit count told, the title changed.
    const std::string strPath = gui.Dir().File("parts.qrl");
    ASSERT_TRUE(doc.OnSaveDocument(strPath));
    pView->GetRows().DeleteAllRows();
    sink.m_nHits = -2;
    ASSERT_TRUE(doc.OnOpenDocument(strPath));
    EXPECT_EQ(pView->GetRows().GetRowCount(), nRows);
    EXPECT_EQ(sink.m_nHits, nRows);
    EXPECT_EQ(nTitles, 2);
    model.Attach(nullptr, {});
    pWindow->Destroy();
    qtest::Pump();
}
