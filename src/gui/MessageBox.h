// SPDX-License-Identifier: MIT
#pragma once

// Every message box, modal dialog, file chooser, pop-up menu and clipboard
// write of the program goes through these functions, so tests can answer them
// without a real dialog or menu ever waiting.

#include "document/SearchDocument.h"

#include <functional>
#include <wx/string.h>

class wxDialog;
class wxMenu;
class wxWindow;

// Shows a message box (wxOK, wxYES_NO, wxICON_* styles); returns wxOK, wxYES or wxNO.
int ShowMessageBox(wxWindow* pParent, const wxString& strText, const wxString& strCaption,
                   long nStyle = 0);
// The same box with a "Don't show this again" check box; bDontShowAgain says
// whether the user ticked it. A test's handler sees the style with
// kBoxDontShowAgain and answers with kBoxDontShowAgainTicked added to tick it.
int ShowMessageBox(wxWindow* pParent, const wxString& strText, const wxString& strCaption, long nStyle,
                   bool& bDontShowAgain);
inline constexpr long kBoxDontShowAgain = 1L << 30;
inline constexpr int kBoxDontShowAgainTicked = 1 << 24;
inline constexpr const char* kDontShowAgain = "Don't show this again";
// Runs a dialog modally; returns its end code (wxID_OK, wxID_CANCEL).
int RunModalDialog(wxDialog& dialog);
// Asks for a file to open or to save as; empty when cancelled.
wxString ChooseFile(wxWindow* pParent, bool bSave, const wxString& strDefaultName);
// A name chosen to save under, with ".qrl" added when it has no extension; when
// that completed name is a file already, the user is asked before it is
// replaced (empty when not).
wxString CompleteSavePath(wxWindow* pParent, const wxString& strChosen,
                          const wxString& strExtension = kDocumentExtension);
// Asks where to export the result list; bJson tells which file type was chosen
// (a name ending in ".json" or ".csv" chooses too). Empty when cancelled.
wxString ChooseExportFile(wxWindow* pParent, bool& bJson);
inline constexpr const char* kExportProposedName = "results.csv";
// The file and the form an export dialog's answer asks for: the type chosen in
// the list (0 CSV, 1 JSON) unless the name typed carries the other extension;
// the proposed name follows the list ("results.json" when JSON is chosen).
wxString ResolveExportChoice(const wxString& strPath, int nFilter, bool& bJson);
// Shows a pop-up menu at the pointer; the chosen item's command goes to the
// window, as for any menu.
void ShowPopupMenu(wxWindow* pWindow, wxMenu& menu);
// Puts text on the clipboard; false when the clipboard could not be opened.
bool CopyToClipboard(const wxString& strText);

using MessageBoxHandler = std::function<int(const wxString& strText, const wxString& strCaption, long nStyle)>;
using ModalDialogHandler = std::function<int(wxDialog& dialog)>;
using ChooseFileHandler = std::function<wxString(bool bSave, const wxString& strDefaultName)>;
void SetMessageBoxHandler(MessageBoxHandler handler);
void SetModalDialogHandler(ModalDialogHandler handler);
void SetChooseFileHandler(ChooseFileHandler handler);
// Answers with the id of the item to choose (wxID_NONE: the menu is dismissed).
using PopupMenuHandler = std::function<int(wxMenu& menu)>;
using ClipboardHandler = std::function<void(const wxString& strText)>;
void SetPopupMenuHandler(PopupMenuHandler handler);
void SetClipboardHandler(ClipboardHandler handler);
