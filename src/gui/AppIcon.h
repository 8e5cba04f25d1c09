// SPDX-License-Identifier: MIT
#pragma once

// The program's pictures: its icon, drawn from the same SVG that is installed
// for the desktop, and the toolbar's, drawn from SVG at the size the screen's
// scale factor asks for (sharp under GDK_SCALE=2).

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

wxIconBundle GetAppIconBundle();
wxBitmap GetAppIconBitmap(int nSize);
// The toolbar picture of a command (New, Open, Save, About), 16x16 at scale 1;
// an empty bundle for any other command.
wxBitmapBundle GetToolbarBundle(int nCommandId);
