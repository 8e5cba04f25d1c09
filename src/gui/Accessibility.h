// SPDX-License-Identifier: MIT
#pragma once

// Names for screen readers. The toolkit names a button or a menu item by its
// label; an edit field, a list or a check box whose label stands beside it has
// no name of its own until it is given one here.

#include <wx/string.h>

class wxDataViewCtrl;
class wxWindow;

// Sets the name the accessibility tree gives the control.
void SetAccessibleName(wxWindow* pWindow, const wxString& strName);

// A list of virtual rows that takes the focus with no row selected selects its
// current row (the first when it has none), so the row the keys act on shows.
void ShowFocusedRow(wxDataViewCtrl& list);
