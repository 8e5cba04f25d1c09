// SPDX-License-Identifier: MIT
#include "gui/AppModel.h"

#include "gui/Commands.h"
#include "gui/ProfileSettings.h"
#include "gui/SettingsStore.h"
#include "gui/ShellTexts.h"
#include "gui/StatusSink.h"
#include "gui/WxText.h"
#include "search/SearchTexts.h"
#include "search/TemplateFormat.h"

CAppModel::CAppModel(const CAppContext& context) : m_context(context)
{
    const CSettingsStore& settings = GetSettings();
    m_bShowHints = settings.ReadInt(SettingsKey::kShowHints, SettingsDefault::kShowHints) != 0;
    m_bSaveSettings = settings.ReadInt(SettingsKey::kSaveSettings, SettingsDefault::kSaveSettings) != 0;
    m_bReportFailures = settings.ReadInt(SettingsKey::kReportFailures, SettingsDefault::kReportFailures) != 0;
    m_search = ReadProfileSettings(settings);
}

void CAppModel::Attach(IStatusSink* pStatus, std::function<void(int nOptionId)> onChanged)
{
    m_pStatus = pStatus;
    m_onChanged = std::move(onChanged);
}

const std::vector<int>& CAppModel::GetOptionIds()
{
    static const std::vector<int> ids = {ID_TOGGLE_SHOW_HINTS,   ID_TOGGLE_SHOW_HTML,     ID_TOGGLE_REMOVE_DUPS,
                                         ID_TOGGLE_VERIFY_LINKS, ID_TOGGLE_SAVE_SETTINGS, ID_TOGGLE_ONE_AT_A_TIME,
                                         ID_ORDER_BY_RANK,       ID_TOGGLE_REPORT_FAILURES, ID_TOGGLE_BROWSER_ENGINE};
    return ids;
}

bool* CAppModel::OptionFlag(int nId, const char** ppszKey)
{
    switch (nId) {
    case ID_TOGGLE_SHOW_HINTS: *ppszKey = SettingsKey::kShowHints; return &m_bShowHints;
    case ID_TOGGLE_SHOW_HTML: *ppszKey = SettingsKey::kShowHtml; return &m_search.m_bShowResultsPage;
    case ID_TOGGLE_REMOVE_DUPS: *ppszKey = SettingsKey::kRemoveDups; return &m_search.m_bRemoveDups;
    case ID_TOGGLE_VERIFY_LINKS: *ppszKey = SettingsKey::kVerifyLinks; return &m_search.m_bVerifyLinks;
    case ID_TOGGLE_SAVE_SETTINGS: *ppszKey = SettingsKey::kSaveSettings; return &m_bSaveSettings;
    case ID_TOGGLE_ONE_AT_A_TIME: *ppszKey = SettingsKey::kOneAtATime; return &m_search.m_bOneAtATime;
    case ID_ORDER_BY_RANK: *ppszKey = SettingsKey::kOrderByRank; return &m_search.m_bOrderByRank;
    case ID_TOGGLE_BROWSER_ENGINE: *ppszKey = SettingsKey::kBrowserEngine; return &m_search.m_bBrowserEngine;
    case ID_TOGGLE_REPORT_FAILURES: *ppszKey = SettingsKey::kReportFailures; return &m_bReportFailures;
    default: return nullptr;
    }
}

bool CAppModel::IsOptionOn(int nId) const
{
    const char* pszKey = nullptr;
    const bool* pFlag = const_cast<CAppModel*>(this)->OptionFlag(nId, &pszKey);
    return pFlag && *pFlag;
}

void CAppModel::Changed(int nOptionId) const
{
    if (m_onChanged)
        m_onChanged(nOptionId);
}

void CAppModel::ApplySearchSettings(const CSearchSettings& settings)
{
    m_search = settings;
    Changed(0);
}

void CAppModel::ToggleOption(int nId)
{
    const char* pszKey = nullptr;
    bool* pFlag = OptionFlag(nId, &pszKey);
    if (!pFlag)
        return;
    *pFlag = !*pFlag;
    Changed(nId);
    std::string strValue = *pFlag ? "1" : "0";
    GetProfileValue(m_search, pszKey, strValue); // the profile's way of writing it
    NoteSettingsWritten(GetSettings().WriteText(pszKey, strValue));
}

void CAppModel::SetConnection(const CSearchSettings& settings)
{
    // Any change, the proxy's address and port included, takes a new session.
    if (GetProfileValues(settings, ProfileGroup::Connection) != GetProfileValues(m_search, ProfileGroup::Connection))
        m_bReconnectPending = true;
    m_search = settings;
    NoteSettingsWritten(GetSettings().WriteTexts(GetProfileValues(m_search, ProfileGroup::Connection)));
}

void CAppModel::NoteSettingsWritten(bool bWritten)
{
    if (bWritten || m_bSettingsWriteFailed) {
        m_bSettingsWriteFailed = !bWritten;
        return;
    }
    m_bSettingsWriteFailed = true;
    if (m_pStatus)
        m_pStatus->ShowStatusText(
            ToWx(FormatTemplate(Tr(kStatusSettingsNotSaved), {CTemplateArg::Text(GetSettings().GetPath())})));
}
