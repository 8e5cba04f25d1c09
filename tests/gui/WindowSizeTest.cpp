// SPDX-License-Identifier: MIT
// A window that fits the screen it opens on: its first size, a kept size too
// large for the screen, the maximised state, and columns that all show.

#include "GuiFixture.h"
#include "gui/QuestrelView.h"
#include "gui/ResultListCtrl.h"
#include "gui/WindowPlacement.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/display.h>
#include <wx/statusbr.h>

namespace {

const CSearchEngine kAlpha = qtest::TestEngine("Alpha", ResultCount, "http://127.0.0.1:1/", "?q=");

// The window's rectangle with the window manager's frame around it.
wxRect FrameExtents(wxTopLevelWindow& window)
{
    GdkRectangle rect{};
    gdk_window_get_frame_extents(gtk_widget_get_window(window.GetHandle()), &rect);
    return wxRect(rect.x, rect.y, rect.width, rect.height);
}

} // namespace

TEST(WindowSize, AFirstWindowTakesAboutTwoThirdsOfTheScreen)
{
    qtest::CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({kAlpha});
    qtest::Pump();
    const wxRect area = wxDisplay(0u).GetClientArea();
    const wxSize size = frame.GetSize();
    EXPECT_GE(size.GetWidth(), std::min(900, area.width));
    EXPECT_GE(size.GetHeight(), std::min(600, area.height));
    if (area.width >= 1350) { // two thirds is more than the least
        EXPECT_NEAR(size.GetWidth(), area.width * 2 / 3, 2);
        EXPECT_NEAR(size.GetHeight(), area.height * 2 / 3, 2);
    }
    EXPECT_TRUE(area.Contains(frame.GetRect()));
    gui.CloseFrame();
}

TEST(WindowSize, EveryColumnShowsInTheListsWidth)
{
    qtest::CGuiFixture gui;
    CMainFrame& frame = gui.StartFrame({kAlpha});
    CResultListCtrl& list = frame.GetFormView().GetResultList();
    CResultRows& rows = frame.GetFormView().GetRows();
    for (int i = 0; i < 30; ++i)
        rows.AppendHit({std::string(40, 'd') + " a long description of a hit " + std::to_string(i),
                        "https://www.example.com/" + std::string(150, 'p') + "/" + std::to_string(i), "Alpha"},
                       false, nullptr, i + 1);
    list.SyncRows();
    // All columns in the list's width, Description the widest: after the rows
    // came, and after the window was made smaller and larger.
    auto fits = [&list] {
        int nSum = 0;
        for (unsigned i = 0; i < list.GetColumnCount(); ++i) {
            nSum += list.GetColumn(i)->GetWidth();
            if (list.GetColumn(i)->GetWidth() < 40 || (i > 0 && list.GetColumn(i)->GetWidth() >= list.GetColumn(0)->GetWidth()))
                return false;
        }
        return nSum <= list.GetClientSize().GetWidth();
    };
    for (const wxSize windowSize : {frame.GetSize(), wxSize(1000, 650), wxSize(1250, 780)}) {
        frame.SetSize(windowSize);
        EXPECT_TRUE(qtest::PumpUntil(fits, 3000)) << windowSize.GetWidth();
    }
    gui.CloseFrame();
}

TEST(WindowSize, UnderAWindowManagerTheMaximisedStateIsKept)
{
    qtest::CWindowManager wm;
    if (!wm.IsRunning())
        GTEST_SKIP() << "no openbox";
    qtest::CGuiFixture gui;
    {
        CMainFrame& frame = gui.StartFrame({kAlpha});
        ASSERT_TRUE(qtest::PumpUntil([&] { return frame.IsShownOnScreen(); }, 3000));
        frame.Maximize();
        ASSERT_TRUE(qtest::PumpUntil([&] { return frame.IsMaximized(); }, 3000));
        gui.CloseFrame();
    }
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Window Maximized", -1), 1);
    gui.ReadSettingsAgain();
    CMainFrame& again = gui.StartFrame();
    EXPECT_TRUE(qtest::PumpUntil([&] { return again.IsMaximized(); }, 3000));
    again.Maximize(false);
    ASSERT_TRUE(qtest::PumpUntil([&] { return !again.IsMaximized(); }, 3000));
    gui.CloseFrame();
    EXPECT_EQ(gui.ReopenSettings()->ReadInt("Window Maximized", -1), 0);
}

TEST(WindowSize, UnderAWindowManagerATooLargeWindowFitsWithItsFrame)
{
    // A panel of 40 pixels at the top, or none; a kept place or none.
    for (const int nPanel : {0, 40}) {
        qtest::CWindowManager wm(nPanel);
        if (!wm.IsRunning())
            GTEST_SKIP() << "no openbox";
        for (const char* pszPlace : {"", "0,0", "100,40", "3000,2000"}) {
            SCOPED_TRACE(std::to_string(nPanel) + " " + pszPlace);
            qtest::CGuiFixture gui;
            std::vector<std::pair<std::string, std::string>> values = {{"Window Width", "3000"},
                                                                       {"Window Height", "2000"}};
            if (*pszPlace) {
                const std::string strPlace = pszPlace;
                values.push_back({"Window X", strPlace.substr(0, strPlace.find(','))});
                values.push_back({"Window Y", strPlace.substr(strPlace.find(',') + 1)});
            }
            ASSERT_TRUE(gui.Settings().WriteTexts(values));
            gui.ReadSettingsAgain();
            CMainFrame& frame = gui.StartFrame({kAlpha});
            const wxRect area = wxDisplay(0u).GetClientArea();
            EXPECT_EQ(area.y, nPanel);
            EXPECT_TRUE(qtest::PumpUntil([&] { return area.Contains(FrameExtents(frame)); }, 3000));
            qtest::PumpFor(300); // still so once the manager is done with it
            EXPECT_TRUE(area.Contains(FrameExtents(frame)));
            EXPECT_LE(frame.GetStatusBar()->GetScreenRect().GetBottom(), area.GetBottom());
            gui.CloseFrame();
        }
    }
}
