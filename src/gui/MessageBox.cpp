// SPDX-License-Identifier: MIT
#include "gui/MessageBox.h"

#include "document/SearchDocument.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"

#include <wx/clipbrd.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/filefn.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/richmsgdlg.h>

namespace {
MessageBoxHandler g_messageBoxHandler;
ModalDialogHandler g_modalDialogHandler;
ChooseFileHandler g_chooseFileHandler;
PopupMenuHandler g_popupMenuHandler;
ClipboardHandler g_clipboardHandler;
} // namespace

namespace {

// A box, with the "Don't show this again" check box when pDontShowAgain is given.
int ShowBox(wxWindow* pParent, const wxString& strText, const wxString& strCaption, long nStyle,
            bool* pDontShowAgain)
{
    if (!(nStyle & (wxYES_NO | wxOK)))
        nStyle |= wxOK;
    if (g_messageBoxHandler) {
        const int nAnswer = g_messageBoxHandler(strText, strCaption, nStyle | (pDontShowAgain ? kBoxDontShowAgain : 0));
        if (pDontShowAgain)
            *pDontShowAgain = (nAnswer & kBoxDontShowAgainTicked) != 0;
        return nAnswer & ~kBoxDontShowAgainTicked;
    }
    wxRichMessageDialog dialog(pParent, strText, strCaption, nStyle);
    if (pDontShowAgain)
        dialog.ShowCheckBox(kDontShowAgain);
    const int nAnswer = dialog.ShowModal();
    if (pDontShowAgain)
        *pDontShowAgain = dialog.IsCheckBoxChecked();
    return nAnswer == wxID_YES ? wxYES : nAnswer == wxID_NO ? wxNO : wxOK;
}

} // namespace

int ShowMessageBox(wxWindow* pParent, const wxString& strText, const wxString& strCaption, long nStyle)
{
    return ShowBox(pParent, strText, strCaption, nStyle, nullptr);
}

int ShowMessageBox(wxWindow* pParent, const wxString& strText, const wxString& strCaption, long nStyle,
                   bool& bDontShowAgain)
{
    return ShowBox(pParent, strText, strCaption, nStyle, &bDontShowAgain);
}

int RunModalDialog(wxDialog& dialog)
{
    if (!g_modalDialogHandler)
        return dialog.ShowModal();
    // As ShowModal would: fill the controls, and on OK keep the dialog "open"
    // (ask the handler again) while its values do not validate.
    dialog.InitDialog();
    for (int nTry = 0; nTry < 10; ++nTry) {
        const int nCode = g_modalDialogHandler(dialog);
        if (nCode != wxID_OK)
            return nCode;
        if (dialog.Validate() && dialog.TransferDataFromWindow())
            return wxID_OK;
    }
    return wxID_CANCEL;
}

wxString ChooseFile(wxWindow* pParent, bool bSave, const wxString& strDefaultName)
{
    if (g_chooseFileHandler)
        return g_chooseFileHandler(bSave, strDefaultName);
    const wxString strWildcard = TrWx(kDocumentFilter) + "|*.qrl;*.QRL|" + TrWx("All files (*)") + "|*";
    wxFileDialog dialog(pParent, bSave ? TrWx("Save As") : TrWx("Open"), wxEmptyString, strDefaultName, strWildcard,
                        bSave ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST));
    if (dialog.ShowModal() != wxID_OK)
        return wxEmptyString;
    return bSave ? CompleteSavePath(pParent, dialog.GetPath()) : dialog.GetPath();
}

wxString CompleteSavePath(wxWindow* pParent, const wxString& strChosen, const wxString& strExtension)
{
    // The default extension: a name typed without one gets it. The dialog
    // asked about the name as typed, so a file of the completed name is asked
    // about here before it is replaced.
    if (strChosen.Lower().EndsWith(strExtension) || strChosen.AfterLast('/').Find('.') != wxNOT_FOUND)
        return strChosen;
    const wxString strPath = strChosen + strExtension;
    if (wxFileExists(strPath) &&
        ShowMessageBox(pParent, wxString::Format(TrWx("%s already exists.\nDo you want to replace it?"), strPath.AfterLast('/')),
                       TrWx(kQuestionCaption), wxYES_NO | wxICON_QUESTION) != wxYES)
        return wxEmptyString;
    return strPath;
}

wxString ResolveExportChoice(const wxString& strPath, int nFilter, bool& bJson)
{
    const wxString strLower = strPath.Lower();
    const bool bNamesCsv = strLower.EndsWith(".csv");
    const bool bNamesJson = strLower.EndsWith(".json");
    // The type chosen in the list decides, unless the name typed says the other
    // one; the name the dialog proposed ("results.csv") follows the list.
    const bool bProposedName = wxFileName(strPath).GetFullName() == kExportProposedName;
    bJson = nFilter == 1 ? (!bNamesCsv || bProposedName) : bNamesJson;
    if (bJson && bNamesCsv)
        return strPath.Left(strPath.length() - 4) + ".json";
    return strPath;
}

wxString ChooseExportFile(wxWindow* pParent, bool& bJson)
{
    wxString strPath;
    if (g_chooseFileHandler) {
        strPath = g_chooseFileHandler(true, kExportProposedName);
        bJson = strPath.Lower().EndsWith(".json");
        return strPath;
    }
    wxFileDialog dialog(pParent, TrWx("Export Results"), wxEmptyString, kExportProposedName,
                        "CSV (*.csv)|*.csv|JSON (*.json)|*.json", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return wxEmptyString;
    strPath = ResolveExportChoice(dialog.GetPath(), dialog.GetFilterIndex(), bJson);
    return CompleteSavePath(pParent, strPath, bJson ? ".json" : ".csv");
}

void ShowPopupMenu(wxWindow* pWindow, wxMenu& menu)
{
    if (!g_popupMenuHandler) {
        pWindow->PopupMenu(&menu);
        return;
    }
    const int nId = g_popupMenuHandler(menu);
    const wxMenuItem* pItem = nId == wxID_NONE ? nullptr : menu.FindItem(nId);
    if (!pItem || !pItem->IsEnabled())
        return;
    wxCommandEvent event(wxEVT_MENU, nId);
    event.SetEventObject(&menu);
    pWindow->GetEventHandler()->ProcessEvent(event);
}

bool CopyToClipboard(const wxString& strText)
{
    if (g_clipboardHandler) {
        g_clipboardHandler(strText);
        return true;
    }
    wxClipboardLocker lock;
    if (!lock)
        return false;
    return wxTheClipboard->SetData(new wxTextDataObject(strText));
}

void SetPopupMenuHandler(PopupMenuHandler handler)
{
    g_popupMenuHandler = std::move(handler);
}

void SetClipboardHandler(ClipboardHandler handler)
{
    g_clipboardHandler = std::move(handler);
}

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    g_messageBoxHandler = std::move(handler);
}

void SetModalDialogHandler(ModalDialogHandler handler)
{
    g_modalDialogHandler = std::move(handler);
}

void SetChooseFileHandler(ChooseFileHandler handler)
{
    g_chooseFileHandler = std::move(handler);
}
