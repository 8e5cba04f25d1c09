// SPDX-License-Identifier: MIT
#pragma once

// Every message box, modal dialog and file chooser of the program goes through
// these functions, so tests can answer them without a real dialog ever waiting.

#include <functional>
#include <wx/string.h>

class wxDialog;
class wxWindow;

// Shows a message box (wxOK, wxYES_NO, wxICON_* styles); returns wxOK, wxYES or wxNO.
int ShowMessageBox(wxWindow* pParent, const wxString& strText, const wxString& strCaption,
                   long nStyle = 0);
// Runs a dialog modally; returns its end code (wxID_OK, wxID_CANCEL).
int RunModalDialog(wxDialog& dialog);
// Asks for a file to open or to save as; empty when cancelled.
wxString ChooseFile(wxWindow* pParent, bool bSave, const wxString& strDefaultName);
// A name chosen to save under, with ".qrl" added when it has no extension; when
// that completed name is a file already, the user is asked before it is
// replaced (empty when not).
wxString CompleteSavePath(wxWindow* pParent, const wxString& strChosen);

using MessageBoxHandler = std::function<int(const wxString& strText, const wxString& strCaption, long nStyle)>;
using ModalDialogHandler = std::function<int(wxDialog& dialog)>;
using ChooseFileHandler = std::function<wxString(bool bSave, const wxString& strDefaultName)>;
void SetMessageBoxHandler(MessageBoxHandler handler);
void SetModalDialogHandler(ModalDialogHandler handler);
void SetChooseFileHandler(ChooseFileHandler handler);
