// SPDX-License-Identifier: MIT
// The window in the user's language: the real menu bar and a box, in German
// and in French, from the catalogues the build compiled.

#include "GuiFixture.h"
#include "gui/Language.h"
#include "gui/MainFrame.h"
#include "gui/QuestrelView.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/translation.h>

namespace {

struct CLanguageCase
{
    const char* pszLocale;
    const char* pszMenus;     // the menu bar's labels
    const char* pszNoEngine;  // the box of a search without a ticked engine
};

void ExpectWindowIn(const CLanguageCase& language)
{
    setenv("LC_ALL", language.pszLocale, 1);
    setenv("LANGUAGE", "", 1);
    TakeUserLanguage(QUESTREL_SHARE_DIR);
    {
        qtest::CGuiFixture gui;
        CMainFrame& frame = gui.StartFrame({qtest::TestEngine("Alpha", ResultCount, "http://127.0.0.1:1/", "?q=")});
        wxString strMenus;
        for (size_t i = 0; i < frame.GetMenuBar()->GetMenuCount(); ++i)
            strMenus += (i ? " " : "") + frame.GetMenuBar()->GetMenuLabelText(i);
        EXPECT_EQ(strMenus, wxString::FromUTF8(language.pszMenus));
        frame.GetFormView().OnSearch(); // nothing ticked
        EXPECT_EQ(gui.MessageTexts(), std::vector<std::string>{language.pszNoEngine});
        gui.CloseFrame();
    }
    // The next test in this process starts in English again.
    wxTranslations::Set(nullptr);
    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "C");
}

} // namespace

TEST(Language, TheWindowSpeaksGerman)
{
    ExpectWindowIn({"de_DE.UTF-8", "Datei Ansicht Optionen Hilfe",
                    "Wählen Sie die Suchmaschine(n) für diese Suche aus. Klicken Sie auf das Kästchen, dann "
                    "erscheint ein „X“."});
}

TEST(Language, TheWindowSpeaksFrench)
{
    ExpectWindowIn({"fr_FR.UTF-8", "Fichier Affichage Options Aide",
                    "Sélectionnez le ou les moteurs de recherche à utiliser pour cette recherche. Cliquez sur la "
                    "case\u00a0: un «\u00a0X\u00a0» apparaîtra."});
}
