// SPDX-License-Identifier: MIT
#pragma once

// The search document of the desktop program: File New, Open, Save and Save As
// over the shared .qrl codec. It keeps almost nothing itself: saving reads the
// form, the engine pane and the rows; opening writes them back. It is never
// marked modified, so nothing asks whether to save it.

#include <functional>
#include <string>
#include <vector>
#include <wx/string.h>

class CAppModel;
class CEngineListCtrl;
class CQuestrelView;
class IStatusSink;
class wxWindow;

class CQuestrelDoc
{
public:
    static constexpr size_t kRecentFileCount = 4;

    // The document reads and writes the form, the engine pane's ticks and the
    // rows; its boxes belong to the parent window.
    CQuestrelDoc(wxWindow& parent, CAppModel& model, IStatusSink& status, CEngineListCtrl& pane, CQuestrelView& view);
    // Told when the document's title (its file's name) changes.
    void SetTitleHandler(std::function<void()> handler) { m_onTitleChanged = std::move(handler); }

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

    wxWindow& m_parent;
    CAppModel& m_model;
    IStatusSink& m_status;
    CEngineListCtrl& m_pane;
    CQuestrelView& m_view;
    std::function<void()> m_onTitleChanged;
    std::string m_strPath;
};
