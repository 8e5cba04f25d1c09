// SPDX-License-Identifier: MIT
#include "gui/AppIcon.h"

#include "AppIconSvg.h" // generated from res/io.github.questrel.Questrel.svg
#include "ToolbarSvg.h" // generated from res/toolbar/*.svg

#include <wx/defs.h>

wxBitmap GetAppIconBitmap(int nSize)
{
    return wxBitmapBundle::FromSVG(kAppIconSvg, wxSize(nSize, nSize)).GetBitmap(wxSize(nSize, nSize));
}

wxIconBundle GetAppIconBundle()
{
    wxIconBundle icons;
    for (const int nSize : {16, 32, 48, 64}) {
        wxIcon icon;
        icon.CopyFromBitmap(GetAppIconBitmap(nSize));
        icons.AddIcon(icon);
    }
    return icons;
}

wxBitmapBundle GetToolbarBundle(int nCommandId)
{
    const char* pszSvg = nullptr;
    switch (nCommandId) {
    case wxID_NEW: pszSvg = kToolbarSvg_new; break;
    case wxID_OPEN: pszSvg = kToolbarSvg_open; break;
    case wxID_SAVE: pszSvg = kToolbarSvg_save; break;
    case wxID_ABOUT: pszSvg = kToolbarSvg_about; break;
    default: return wxBitmapBundle();
    }
    return wxBitmapBundle::FromSVG(pszSvg, wxSize(16, 16));
}
