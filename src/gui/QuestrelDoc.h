// SPDX-License-Identifier: MIT
#pragma once

// The search document of the desktop program: File New, Open, Save and Save As
// over the shared .qrl codec. It keeps almost nothing itself: saving reads the
// form, the engine pane and the rows; opening writes them back. It is never
// marked modified, so nothing asks whether to save it.

#include <string>
#include <vector>
#include <wx/string.h>

class CMainFrame;

class CQuestrelDoc
{
public:
    static constexpr size_t kRecentFileCount = 4;

    explicit CQuestrelDoc(CMainFrame& frame);

    // A new document: the stored form values; with bApplyToForm (File New, not
    // the first document) every engine unticked and the form set. The rows stay.
    void OnNewDocument(bool bApplyToForm);
    bool OnOpenDocument(const std::string& strPath);
    // False, with the message to show, when the document was not saved.
    bool OnSaveDocument(const std::string& strPath, std::string* pMessage = nullptr);

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    // Opens a document named on the command line or dropped on the window.
    void OpenNamedDocument(const std::string& strPath);

    const std::string& GetPath() const { return m_strPath; }
    wxString GetTitle() const;
    std::vector<std::string> GetRecentFiles() const;

private:
    void SetPath(const std::string& strPath);
    void AddToRecentFiles(const std::string& strPath);

    CMainFrame& m_frame;
    std::string m_strPath;
};
