// SPDX-License-Identifier: MIT
#include "gui/AppIcon.h"

#include "AppIconSvg.h" // generated from res/io.github.questrel.Questrel.svg

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
