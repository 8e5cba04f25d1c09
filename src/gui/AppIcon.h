// SPDX-License-Identifier: MIT
#pragma once

// The program's icon, drawn from the same SVG that is installed for the desktop.

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

wxIconBundle GetAppIconBundle();
wxBitmap GetAppIconBitmap(int nSize);
