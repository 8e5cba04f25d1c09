// SPDX-License-Identifier: MIT
#pragma once

#include <wx/dialog.h>

// "About Internet Questrel": the icon, the version and two lines about the program.
class CAboutDlg : public wxDialog
{
public:
    explicit CAboutDlg(wxWindow* pParent);
};
