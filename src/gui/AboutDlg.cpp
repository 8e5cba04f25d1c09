// SPDX-License-Identifier: MIT
#include "gui/AboutDlg.h"

#include "gui/AppIcon.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

CAboutDlg::CAboutDlg(wxWindow* pParent) : wxDialog(pParent, wxID_ANY, TrWx(kAboutCaption))
{
    auto* pText = new wxBoxSizer(wxVERTICAL);
    pText->Add(new wxStaticText(this, wxID_ANY, TrWx(kVersionText)), 0, wxBOTTOM, 8);
    pText->Add(new wxStaticText(this, wxID_ANY, TrWx("Searches many web search engines at once.")), 0, wxBOTTOM, 4);
    pText->Add(new wxStaticText(this, wxID_ANY, TrWx("Engines are defined in engines.dat; see Help for how.")));
    auto* pOk = new wxButton(this, wxID_OK);
    pOk->SetDefault();

    auto* pTop = new wxBoxSizer(wxHORIZONTAL);
    pTop->Add(new wxStaticBitmap(this, wxID_ANY, GetAppIconBitmap(32)), 0, wxALL, 12);
    pTop->Add(pText, 1, wxTOP | wxBOTTOM | wxRIGHT, 12);
    pTop->Add(pOk, 0, wxALL, 12);
    SetSizerAndFit(pTop);
}
