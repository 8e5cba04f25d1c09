// SPDX-License-Identifier: MIT
#include "gui/Language.h"

#include "platform/Translate.h"

#include <wx/translation.h>
#include <wx/uilocale.h>

void TakeUserLanguage(const std::string& strShareDir)
{
    wxUILocale::UseDefault();
    InitTranslations(LocaleDirectoryFor(strShareDir));
    if (!wxTranslations::Get()) {
        auto* pTranslations = new wxTranslations;
        pTranslations->AddStdCatalog(); // the toolkit's own: stock buttons, its dialogs
        wxTranslations::Set(pTranslations);
    }
}
