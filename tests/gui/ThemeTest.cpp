// SPDX-License-Identifier: MIT
// The lists' colours under the desktop's theme, and the toolbar's pictures at
// the screen's scale. The colour tests run under the default (light) theme and
// once more with GTK_THEME=Adwaita:dark (ctest gui.dark-theme); the toolbar's
// at scale 1 and with GDK_SCALE=2 (ctest gui.scale-2).

#include "GuiFixture.h"
#include "gui/AppIcon.h"
#include "gui/EngineListCtrl.h"
#include "gui/QuestrelView.h"
#include "gui/ResultListCtrl.h"
#include "gui/ResultRowsModel.h"
#include "gui/ThemeColours.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/toolbar.h>

using qtest::CGuiFixture;

namespace {

bool IsDarkThemeRun()
{
    const char* pszTheme = std::getenv("GTK_THEME");
    return pszTheme && std::strstr(pszTheme, ":dark");
}

// The colour of a markup attribute: `foreground="#rrggbb"`.
wxColour MarkupAttribute(const wxString& strMarkup, const wxString& strName)
{
    const int nAt = strMarkup.Find(strName + "=\"");
    return nAt == wxNOT_FOUND ? wxColour() : wxColour(strMarkup.Mid(nAt + strName.length() + 2, 7));
}

} // namespace

TEST(Theme, ContrastRatiosAndTheirMending)
{
    EXPECT_NEAR(ContrastRatio(*wxBLACK, *wxWHITE), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(*wxWHITE, *wxWHITE), 1.0, 0.01);
    // The old failure red on the dark theme's list: 1.9:1, unreadable.
    const wxColour red(0xB0, 0x00, 0x00), dark(0x2D, 0x2D, 0x2D), light(0xFF, 0xFF, 0xFF);
    EXPECT_LT(ContrastRatio(red, dark), 2.0);
    const wxColour mended = WithContrast(red, dark);
    EXPECT_GE(ContrastRatio(mended, dark), kMinTextContrast);
    EXPECT_GT(mended.Red(), mended.Green() + 40); // still red
    // A colour that reads well already stays as it is.
    EXPECT_EQ(WithContrast(red, light), red);
    // Where no mix will do, the extreme is taken.
    EXPECT_EQ(WithContrast(wxColour(0x80, 0x80, 0x80), wxColour(0x76, 0x76, 0x76), 21.0), *wxWHITE);
}

TEST(Theme, FailuresAndHighlightedWordsReadWellOnTheList)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({qtest::TestEngine("Alpha", ResultCount, "http://127.0.0.1:9/", "?q=", "", "",
                                                          "<a href=\"http")});
    const wxColour background = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX);
    if (IsDarkThemeRun())
        EXPECT_LT(ContrastRatio(background, *wxBLACK), 3.0) << "the dark theme is not in force";
    else
        EXPECT_GT(ContrastRatio(background, *wxBLACK), 15.0);

    // A failed engine's row, as the pane draws it.
    CEngineListCtrl& pane = frame.GetEnginePane();
    CEngineOutcome failed;
    failed.m_strEngine = "Alpha";
    failed.m_nKind = CEngineOutcome::Kind::InternetError;
    failed.m_strText = "Could not connect";
    pane.ShowOutcomes({failed});
    ASSERT_TRUE(pane.IsOutcomeFailure(0));
    wxDataViewItemAttr attr;
    ASSERT_TRUE(pane.GetModel()->GetAttr(wxDataViewItem(wxUIntToPtr(1)), CEngineListCtrl::kNameColumn, attr));
    EXPECT_GE(ContrastRatio(attr.GetColour(), background), kMinTextContrast)
        << attr.GetColour().GetAsString(wxC2S_HTML_SYNTAX) << " on " << background.GetAsString(wxC2S_HTML_SYNTAX);
    EXPECT_GE(ContrastRatio(attr.GetColour(), pane.GetBackgroundColour()), kMinTextContrast);

    // A highlighted word: its text on its box, and a box that stands out from the list.
    CResultListCtrl& list = frame.GetFormView().GetResultList();
    list.SetHighlightWords("apple");
    auto* pModel = dynamic_cast<CResultRowsModel*>(list.GetModel());
    ASSERT_NE(pModel, nullptr);
    const wxString strMarkup = pModel->CellMarkup("Red apple");
    const wxColour text = MarkupAttribute(strMarkup, "foreground");
    const wxColour box = MarkupAttribute(strMarkup, "background");
    ASSERT_TRUE(text.IsOk() && box.IsOk()) << strMarkup;
    EXPECT_GE(ContrastRatio(text, box), kMinTextContrast) << strMarkup;
    EXPECT_GT(ContrastRatio(box, background), 1.3) << strMarkup;
    gui.CloseFrame();
}

TEST(Toolbar, PicturesAreSharpAtTheScreensScale)
{
    CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame();
    const char* pszScale = std::getenv("GDK_SCALE");
    const double dScale = frame.GetDPIScaleFactor();
    EXPECT_EQ(dScale, pszScale ? std::atof(pszScale) : 1.0);
    const int nPixels = static_cast<int>(16 * dScale);
    wxToolBar* pToolBar = frame.GetToolBar();
    for (const int nId : {wxID_NEW, wxID_OPEN, wxID_SAVE, wxID_ABOUT}) {
        const wxToolBarToolBase* pTool = pToolBar->FindById(nId);
        ASSERT_NE(pTool, nullptr) << nId;
        const wxBitmapBundle bundle = pTool->GetNormalBitmapBundle();
        ASSERT_TRUE(bundle.IsOk()) << nId;
        // Drawn at the scale's size, not a small picture stretched.
        EXPECT_EQ(bundle.GetPreferredBitmapSizeAtScale(dScale), wxSize(nPixels, nPixels)) << nId;
        const wxImage sharp = bundle.GetBitmap(wxSize(32, 32)).ConvertToImage();
        const wxImage stretched =
            bundle.GetBitmap(wxSize(16, 16)).ConvertToImage().Scale(32, 32, wxIMAGE_QUALITY_NEAREST);
        ASSERT_EQ(sharp.GetSize(), wxSize(32, 32));
        EXPECT_NE(0, std::memcmp(sharp.GetData(), stretched.GetData(), 32 * 32 * 3)) << nId;
    }
    EXPECT_FALSE(GetToolbarBundle(wxID_EXIT).IsOk());
    gui.CloseFrame();
}
