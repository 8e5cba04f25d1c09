// SPDX-License-Identifier: MIT
#include "gui/CatalogueEditor.h"

#include "engines/CatalogueUpdate.h"
#include "engines/EngineCatalogue.h"
#include "gui/EngineDlg.h"
#include "gui/EngineListCtrl.h"
#include "gui/AppModel.h"
#include "gui/Commands.h"
#include "gui/StatusSink.h"
#include "gui/MessageBox.h"
#include "gui/SettingsStore.h"
#include "gui/ShellTexts.h"
#include "gui/WxText.h"
#include "platform/FileUtil.h"
#include "platform/TextUtil.h"
#include "search/SearchTexts.h"
#include "search/TemplateFormat.h"
#include "workbench/EngineCheck.h"
#include "platform/Translate.h"

#include <algorithm>
#include <wx/menu.h>
#include <wx/utils.h>

CCatalogueEditor::CCatalogueEditor(wxWindow& parent, CEngineListCtrl& pane, CAppModel& model, IStatusSink& status)
    : m_parent(parent), m_pane(pane), m_model(model), m_status(status), m_context(model.GetContext())
{
}

CCatalogueEditor::~CCatalogueEditor() = default;

void CCatalogueEditor::LoadEngines()
{
    std::vector<CSearchEngine> engines;
    int nDropped = 0;
    if (!::LoadEngines(m_context.m_strCataloguePath, engines, &nDropped)) {
        // No catalogue yet: the first engine added makes one. One that is
        // there but cannot be read holds the user's engines: it is kept.
        m_bCatalogueUnreadable = PathExists(m_context.m_strCataloguePath);
        if (m_bCatalogueUnreadable)
            ShowMessageBox(&m_parent, FormatTemplate(Tr(kMsgCatalogueUnreadable), {CTemplateArg::Text(m_context.m_strCataloguePath)}),
                           kAppCaption, wxOK | wxICON_EXCLAMATION);
        return;
    }
    if (nDropped > 0)
        ShowMessageBox(&m_parent, FormatTemplate(TrN(kMsgRecordsNotRead, nDropped), {CTemplateArg::Int(nDropped)}), kAppCaption,
                       wxOK | wxICON_EXCLAMATION);
    std::vector<int> images;
    for (const CSearchEngine& engine : engines)
        images.push_back(m_model.GetSettings().ReadInt(engine.m_strName, SettingsDefault::kEngineTick) == 1
                             ? CEngineListCtrl::m_nCheckedImage
                             : CEngineListCtrl::m_nUncheckedImage);
    m_pane.SetEngines(std::move(engines), images);
}

bool CCatalogueEditor::MayChangeCatalogue()
{
    if (!m_bCatalogueUnreadable)
        return true;
    ShowMessageBox(&m_parent, FormatTemplate(Tr(kMsgCatalogueKept), {CTemplateArg::Text(m_context.m_strCataloguePath)}),
                   kAppCaption, wxOK | wxICON_EXCLAMATION);
    return false;
}

bool CCatalogueEditor::SaveEngines()
{
    if (m_bCatalogueUnreadable)
        return false; // engine commands refuse before they change anything
    wxBusyCursor wait;
    if (::SaveEngines(m_context.m_strCataloguePath, m_pane.GetEngines()))
        return true;
    ShowMessageBox(&m_parent, FormatTemplate(Tr(kMsgCatalogueNotSaved), {CTemplateArg::Text(m_context.m_strCataloguePath)}),
                   kAppCaption, wxOK | wxICON_EXCLAMATION);
    return false;
}

void CCatalogueEditor::OnNewEngine()
{
    if (!MayChangeCatalogue())
        return;
    CEngineDlg dialog(&m_parent, m_model.GetSessionOptions());
    dialog.m_nSearchType = MultiplePages;
    for (const CSearchEngine& other : m_pane.GetEngines())
        dialog.m_otherNames.push_back(other.m_strName);
    if (RunModalDialog(dialog) != wxID_OK)
        return;
    CSearchEngine engine;
    dialog.CopyToEngine(engine);
    // The new engine is the one selected, in view.
    const int nRow = m_pane.InsertEngine(std::move(engine));
    m_pane.SelectRow(nRow);
    SaveEngines();
}

void CCatalogueEditor::OnEditEngine()
{
    const int nRow = m_pane.GetFirstSelectedRow();
    if (nRow < 0 || !MayChangeCatalogue())
        return;
    CSearchEngine engine = m_pane.GetEngines()[static_cast<size_t>(nRow)];
    CEngineDlg dialog(&m_parent, m_model.GetSessionOptions());
    dialog.SetFromEngine(engine);
    const std::vector<CSearchEngine>& engines = m_pane.GetEngines();
    for (size_t i = 0; i < engines.size(); ++i)
        if (static_cast<int>(i) != nRow)
            dialog.m_otherNames.push_back(engines[i].m_strName);
    if (RunModalDialog(dialog) != wxID_OK)
        return;
    dialog.CopyToEngine(engine);
    // A running search works on its own copies, so the change cannot disturb it.
    m_pane.ReplaceEngine(nRow, std::move(engine));
    SaveEngines();
}

void CCatalogueEditor::OnDeleteEngine()
{
    const int nRow = m_pane.GetFirstSelectedRow();
    if (nRow < 0 || !MayChangeCatalogue())
        return;
    const wxString strQuestion = ToWx(FormatTemplate(
        Tr(kMsgDeleteEngine), {CTemplateArg::Text(m_pane.GetEngines()[static_cast<size_t>(nRow)].m_strName)}));
    if (ShowMessageBox(&m_parent, strQuestion, TrWx(kQuestionCaption), wxYES_NO | wxICON_QUESTION) != wxYES)
        return;
    m_pane.DeleteEngine(nRow);
    SaveEngines();
}

void CCatalogueEditor::TellNewerShippedDefinitions()
{
    if (m_context.m_newerShipped.empty())
        return;
    CShippedRecord record;
    ReadShippedRecord(m_context.m_strCataloguePath, record);
    std::string strNames;
    for (const std::string& strName : m_context.m_newerShipped) {
        if (std::find(record.m_told.begin(), record.m_told.end(), strName) != record.m_told.end())
            continue;
        strNames += (strNames.empty() ? "" : ", ") + strName;
        record.m_told.push_back(strName);
    }
    if (strNames.empty())
        return;
    ShowMessageBox(&m_parent, FormatTemplate(Tr(kMsgNewerShipped), {CTemplateArg::Text(strNames)}), kAppCaption,
                   wxOK | wxICON_INFORMATION);
    if (!WriteShippedRecord(m_context.m_strCataloguePath, record))
        m_status.ShowStatusText(ToWx(FormatTemplate(Tr(kStatusRecordNotSaved), {CTemplateArg::Text(m_context.m_strCataloguePath)})));
}

void CCatalogueEditor::OnRestoreShippedDefinition()
{
    const int nRow = m_pane.GetFirstSelectedRow();
    if (nRow < 0)
        return;
    const std::string strName = m_pane.GetEngines()[static_cast<size_t>(nRow)].m_strName;
    CSearchEngine shipped;
    if (!FindShippedDefinition(m_context.m_strShareDir, strName, shipped)) {
        ShowMessageBox(&m_parent, FormatTemplate(Tr(kMsgNoShippedDefinition), {CTemplateArg::Text(strName)}), kAppCaption,
                       wxOK | wxICON_INFORMATION);
        return;
    }
    if (!MayChangeCatalogue())
        return;
    m_pane.ReplaceEngine(nRow, std::move(shipped));
    if (SaveEngines())
        m_status.ShowStatusText(ToWx(FormatTemplate(Tr(kStatusShippedRestored), {CTemplateArg::Text(strName)})));
}

void CCatalogueEditor::OnSelectAllEngines()
{
    m_pane.SetAllTicks(true);
}

void CCatalogueEditor::OnClearAllEngines()
{
    m_pane.SetAllTicks(false);
}

wxMenu* CCatalogueEditor::CreateEngineMenu() const
{
    auto* pMenu = new wxMenu;
    if (m_context.m_bEngineEditing) {
        pMenu->Append(ID_NEW_ENGINE, TrWx("&Add"), wxString::FromUTF8(CommandPrompt(ID_NEW_ENGINE)));
        pMenu->Append(ID_EDIT_ENGINE, TrWx("&Properties"), wxString::FromUTF8(CommandPrompt(ID_EDIT_ENGINE)));
        pMenu->Append(ID_DELETE_ENGINE, TrWx("&Delete"), wxString::FromUTF8(CommandPrompt(ID_DELETE_ENGINE)));
        CSearchEngine shipped;
        const int nRow = m_pane.GetFirstSelectedRow();
        if (nRow >= 0 && FindShippedDefinition(m_context.m_strShareDir,
                                               m_pane.GetEngines()[static_cast<size_t>(nRow)].m_strName, shipped))
            pMenu->Append(ID_RESTORE_SHIPPED, TrWx("&Restore Shipped Definition"), wxString::FromUTF8(CommandPrompt(ID_RESTORE_SHIPPED)));
        if (BrokenCheckAt(m_pane.GetFirstSelectedRow()))
            pMenu->Append(ID_MEND_ENGINE, TrWx("&Mend..."), wxString::FromUTF8(CommandPrompt(ID_MEND_ENGINE)));
    }
    pMenu->Append(ID_SELECT_ALL_ENGINES, TrWx("&Select All"));
    pMenu->Append(ID_CLEAR_ALL_ENGINES, TrWx("&Clear All"));
    pMenu->AppendSeparator();
    pMenu->Append(ID_CHECK_ENGINES, TrWx(kCheckEnginesLabel), wxString::FromUTF8(CommandPrompt(ID_CHECK_ENGINES)));
    return pMenu;
}

void CCatalogueEditor::OnCheckEngines()
{
    if (m_checkTask.IsRunning())
        return;
    std::vector<CSearchEngine> engines = m_pane.GetTickedEngines();
    if (engines.empty())
        engines = m_pane.GetEngines();
    if (engines.empty())
        return;
    m_status.ShowStatusText(ToWx(FormatTemplate(Tr(kStatusCheckingEngines), {CTemplateArg::Int(static_cast<long long>(engines.size()))})));
    auto pChecks = std::make_shared<std::vector<CEngineCheck>>();
    m_checkTask.Start(
        m_parent,
        [options = m_model.GetSessionOptions(), engines, pChecks](CCancelSignal& cancel) {
            std::string strError;
            const std::unique_ptr<CInternetSession> pSession = OpenInternetSession(options, &strError);
            if (pSession)
                *pChecks = CheckEngines(*pSession, engines, kCheckQuery, &cancel);
        },
        [this, pChecks, nEngines = engines.size()] {
            m_lastChecks = *pChecks;
            m_pane.ShowCheckVerdicts(*pChecks);
            const auto nWorking = std::count_if(pChecks->begin(), pChecks->end(), [](const CEngineCheck& check) {
                return check.m_nVerdict == CheckVerdict::Ok;
            });
            m_status.ShowStatusText(ToWx(FormatTemplate(TrN(kStatusEnginesChecked, nWorking), {CTemplateArg::Int(nWorking),
                                                                       CTemplateArg::Int(static_cast<long long>(nEngines))})));
        });
}

const CEngineCheck* CCatalogueEditor::BrokenCheckAt(int nRow) const
{
    if (nRow < 0)
        return nullptr;
    const std::string strName = m_pane.GetEngines()[static_cast<size_t>(nRow)].m_strName;
    for (const CEngineCheck& check : m_lastChecks)
        if (check.m_strEngine == strName && check.m_nVerdict == CheckVerdict::NoHits)
            return &check;
    return nullptr;
}

namespace {

std::string DescribeTokens(const CSearchEngine& engine)
{
    return FormatTemplate(Tr("start %s   end %s"),
                          {CTemplateArg::Text(engine.m_strStartToken), CTemplateArg::Text(engine.m_strEndToken)});
}

} // namespace

void CCatalogueEditor::OnMendEngine()
{
    const int nRow = m_pane.GetFirstSelectedRow();
    const CEngineCheck* pCheck = BrokenCheckAt(nRow);
    if (!pCheck || m_checkTask.IsRunning() || !MayChangeCatalogue())
        return;
    const CSearchEngine engine = m_pane.GetEngines()[static_cast<size_t>(nRow)];
    auto pMend = std::make_shared<CEngineMend>();
    m_status.ShowStatusText(ToWx(FormatTemplate(Tr("%s: learning its page anew..."), {CTemplateArg::Text(engine.m_strName)})));
    m_checkTask.Start(
        m_parent,
        [options = m_model.GetSessionOptions(), engine, check = *pCheck, pMend](CCancelSignal& cancel) {
            std::string strError;
            const std::unique_ptr<CInternetSession> pSession = OpenInternetSession(options, &strError);
            if (pSession)
                *pMend = MendEngine(*pSession, engine, check, kCheckQuery, &cancel);
            else
                pMend->m_strWhy = strError;
        },
        [this, pMend, engine, strDetail = pCheck->m_strDetail] {
            m_status.ShowStatusText(wxEmptyString);
            if (!pMend->m_bMended) {
                ShowMessageBox(&m_parent,
                               ToWx(FormatTemplate(Tr("%s could not be mended: %s."), {CTemplateArg::Text(engine.m_strName),
                                                                                      CTemplateArg::Text(pMend->m_strWhy)})),
                               kAppCaption,
                               wxOK | wxICON_INFORMATION);
                return;
            }
            std::string strText = FormatTemplate(
                Tr("%s: the definition is broken (%s).\n\nNow:  %s\n        finds no hits\nNew:  %s\n        finds %d hits:\n"),
                {CTemplateArg::Text(engine.m_strName), CTemplateArg::Text(strDetail),
                 CTemplateArg::Text(DescribeTokens(pMend->m_old)), CTemplateArg::Text(DescribeTokens(pMend->m_new)),
                 CTemplateArg::Int(static_cast<long long>(pMend->m_newHits.size()))});
            for (size_t i = 0; i < std::min<size_t>(5, pMend->m_newHits.size()); ++i)
                strText += "  " + std::to_string(i + 1) + ". " + Utf8Prefix(pMend->m_newHits[i].m_strDescription, 80) +
                           "\n      " + pMend->m_newHits[i].m_strUrl + "\n";
            strText += std::string("\n") + Tr("Take the new definition?");
            if (ShowMessageBox(&m_parent, ToWx(strText), TrWx(kQuestionCaption), wxYES_NO | wxICON_QUESTION) != wxYES)
                return;
            // The engine may have moved while the page was learned: found by name.
            const std::vector<CSearchEngine> engines = m_pane.GetEngines();
            for (size_t i = 0; i < engines.size(); ++i) {
                if (engines[i] != pMend->m_old)
                    continue;
                m_pane.ReplaceEngine(static_cast<int>(i), pMend->m_new);
                if (SaveEngines())
                    m_status.ShowStatusText(ToWx(FormatTemplate(Tr(kStatusEngineMended), {CTemplateArg::Text(engine.m_strName)})));
                return;
            }
        });
}

void CCatalogueEditor::ShowEngineMenu()
{
    std::unique_ptr<wxMenu> pMenu(CreateEngineMenu());
    ShowPopupMenu(&m_parent, *pMenu);
}
