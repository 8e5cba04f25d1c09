// SPDX-License-Identifier: MIT
#include "gui/QuestrelDoc.h"

#include "document/SearchDocument.h"
#include "gui/ProfileSettings.h"
#include "gui/SettingsStore.h"
#include "gui/ResultListCtrl.h"
#include "search/SearchTexts.h"
#include "gui/EngineListCtrl.h"
#include "gui/AppModel.h"
#include "gui/StatusSink.h"
#include "gui/MessageBox.h"
#include "gui/QuestrelView.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"

#include <wx/fileconf.h>
#include <wx/filename.h>

namespace {
constexpr const char* kRecentGroup = "/Recent File List/File";
}

CQuestrelDoc::CQuestrelDoc(wxWindow& parent, CAppModel& model, IStatusSink& status, CEngineListCtrl& pane,
                           CQuestrelView& view)
    : m_parent(parent), m_model(model), m_status(status), m_pane(pane), m_view(view)
{
}

wxString CQuestrelDoc::GetTitle() const
{
    return m_strPath.empty() ? TrWx(kUntitled) : wxFileName(ToWx(m_strPath)).GetFullName();
}

void CQuestrelDoc::SetPath(const std::string& strPath)
{
    m_strPath = strPath;
    if (m_onTitleChanged)
        m_onTitleChanged();
}

void CQuestrelDoc::OnNewDocument(bool bApplyToForm)
{
    // The form as the profile keeps it; the options and the connection stay.
    CSearchSettings settings = m_model.GetSearchSettings();
    ReadProfileGroup(m_model.GetSettings(), ProfileGroup::Form, settings);
    SetPath({});
    if (bApplyToForm)
        m_pane.SetAllTicks(false);
    m_model.ApplySearchSettings(settings);
}

bool CQuestrelDoc::OnOpenDocument(const std::string& strPath)
{
    CSearchDocumentData data;
    if (!LoadSearchDocument(strPath, data))
        return false;
    CSearchSettings settings = m_model.GetSearchSettings();
    ApplyDocumentSettings(data, settings); // the All Hits box shows what it showed

    CEngineListCtrl& pane = m_pane;
    const std::vector<bool> ticked = MatchTickedEngines(data.m_engines, pane.GetEngines());
    for (size_t i = 0; i < ticked.size(); ++i)
        pane.SetRowImage(static_cast<int>(i), ticked[i] ? CEngineListCtrl::m_nCheckedImage
                                                        : CEngineListCtrl::m_nUncheckedImage);

    CQuestrelView& view = m_view;
    CResultRows& rows = view.GetRows();
    rows.DeleteAllRows();
    for (CSearchHit& hit : data.m_hits)
        rows.AppendHit(std::move(hit)); // in file order, at the end
    view.GetResultList().SyncRows();
    // Shown as a search just run: its query's words highlighted, its hits counted.
    view.GetResultList().SetHighlightWords(data.m_strCriteria);
    m_status.ShowHitCount(rows.GetRowCount());
    m_model.ApplySearchSettings(settings);
    SetPath(strPath);
    AddToRecentFiles(strPath);
    return true;
}

bool CQuestrelDoc::OnSaveDocument(const std::string& strPath, std::string* pMessage)
{
    CQuestrelView& view = m_view;
    view.TransferFromForm(); // its message shows, and saving goes on
    CSearchDocumentData data;
    StoreDocumentSettings(m_model.GetSearchSettings(), data);
    for (const CSearchEngine& engine : m_pane.GetTickedEngines())
        data.m_engines.push_back(engine.m_strName);
    data.m_hits = view.GetRows().GetRows();
    if (!SaveSearchDocument(strPath, data, pMessage))
        return false;
    SetPath(strPath);
    AddToRecentFiles(strPath);
    return true;
}

void CQuestrelDoc::OnFileNew()
{
    if (m_view.IsSearching())
        return; // the rows the worker fills stay
    OnNewDocument(true);
}

void CQuestrelDoc::OnFileOpen()
{
    if (m_view.IsSearching())
        return;
    const wxString strPath = ChooseFile(&m_parent, false, wxEmptyString);
    if (!strPath.empty())
        OpenNamedDocument(FromWx(strPath));
}

void CQuestrelDoc::OpenNamedDocument(const std::string& strPath)
{
    if (m_view.IsSearching())
        return;
    if (!OnOpenDocument(strPath))
        ShowMessageBox(&m_parent, TrWx(kMsgFailedToOpenDocument), kAppCaption, wxOK | wxICON_EXCLAMATION);
}

void CQuestrelDoc::OnFileSave()
{
    if (m_strPath.empty()) {
        OnFileSaveAs();
        return;
    }
    std::string strMessage;
    if (!OnSaveDocument(m_strPath, &strMessage))
        ShowMessageBox(&m_parent, ToWx(strMessage), kAppCaption, wxOK | wxICON_EXCLAMATION);
}

void CQuestrelDoc::OnFileSaveAs()
{
    const wxString strDefault = m_strPath.empty() ? TrWx(kUntitled) + kDocumentExtension : GetTitle();
    const wxString strPath = ChooseFile(&m_parent, true, strDefault);
    if (strPath.empty())
        return;
    std::string strMessage;
    if (!OnSaveDocument(FromWx(strPath), &strMessage))
        ShowMessageBox(&m_parent, ToWx(strMessage), kAppCaption, wxOK | wxICON_EXCLAMATION);
}

namespace {

std::vector<std::string> ReadRecentFiles(const wxFileConfig& config)
{
    std::vector<std::string> files;
    for (size_t i = 1; i <= CQuestrelDoc::kRecentFileCount; ++i) {
        wxString strPath;
        if (config.Read(wxString::Format("%s%zu", kRecentGroup, i), &strPath) && !strPath.empty())
            files.push_back(FromWx(strPath));
    }
    return files;
}

} // namespace

std::vector<std::string> CQuestrelDoc::GetRecentFiles() const
{
    return ReadRecentFiles(m_model.GetSettings().GetConfig());
}

void CQuestrelDoc::AddToRecentFiles(const std::string& strPath)
{
    // The list on disk is the one extended, so a document another copy of the
    // program opened meanwhile stays on it.
    m_model.NoteSettingsWritten(m_model.GetSettings().Update([&strPath](wxFileConfig& config) {
        std::vector<std::string> files = ReadRecentFiles(config);
        std::erase(files, strPath);
        files.insert(files.begin(), strPath);
        if (files.size() > kRecentFileCount)
            files.resize(kRecentFileCount);
        for (size_t i = 0; i < files.size(); ++i)
            config.Write(wxString::Format("%s%zu", kRecentGroup, i + 1), ToWx(files[i]));
    }));
}
