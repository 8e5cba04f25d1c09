// SPDX-License-Identifier: MIT
#include "gui/ProfileSettings.h"

#include "gui/SettingsStore.h"
#include "platform/TextUtil.h"

#include <variant>

namespace {

using FieldPointer = std::variant<int CSearchSettings::*, bool CSearchSettings::*, std::string CSearchSettings::*>;

struct CProfileEntry
{
    const char* m_pszKey;
    ProfileGroup m_group;
    FieldPointer m_field;
};

const CProfileEntry kProfileEntries[] = {
    {SettingsKey::kMaxHits, ProfileGroup::Form, &CSearchSettings::m_nHitLimit},
    {SettingsKey::kSearchOption, ProfileGroup::Form, &CSearchSettings::m_nSearchOption},
    {SettingsKey::kCriteria, ProfileGroup::Form, &CSearchSettings::m_strQuery},
    {SettingsKey::kAllHits, ProfileGroup::Form, &CSearchSettings::m_bAllHits},
    {SettingsKey::kRemoveDups, ProfileGroup::Options, &CSearchSettings::m_bRemoveDups},
    {SettingsKey::kVerifyLinks, ProfileGroup::Options, &CSearchSettings::m_bVerifyLinks},
    {SettingsKey::kShowHtml, ProfileGroup::Options, &CSearchSettings::m_bShowResultsPage},
    {SettingsKey::kOneAtATime, ProfileGroup::Options, &CSearchSettings::m_bOneAtATime},
    {SettingsKey::kOrderByRank, ProfileGroup::Options, &CSearchSettings::m_bOrderByRank},
    {SettingsKey::kBrowserEngine, ProfileGroup::Options, &CSearchSettings::m_bBrowserEngine},
    {SettingsKey::kConnectMethod, ProfileGroup::Connection, &CSearchSettings::m_nConnectMethod},
    {SettingsKey::kProxy, ProfileGroup::Connection, &CSearchSettings::m_strProxy},
    {SettingsKey::kPort, ProfileGroup::Connection, &CSearchSettings::m_strPort},
    {SettingsKey::kUserAgent, ProfileGroup::Connection, &CSearchSettings::m_strUserAgent},
    {SettingsKey::kTimeout, ProfileGroup::Connection, &CSearchSettings::m_nTimeoutSeconds},
};

std::string ValueText(const CSearchSettings& settings, const FieldPointer& field)
{
    if (const auto* pInt = std::get_if<int CSearchSettings::*>(&field))
        return std::to_string(settings.**pInt);
    if (const auto* pBool = std::get_if<bool CSearchSettings::*>(&field))
        return settings.**pBool ? "1" : "0";
    return settings.*std::get<std::string CSearchSettings::*>(field);
}

// The key's value into the field; the field's default when the key is missing.
void ReadValue(const CSettingsStore& store, const char* pszKey, CSearchSettings& settings, const FieldPointer& field)
{
    static const CSearchSettings defaults;
    if (const auto* pInt = std::get_if<int CSearchSettings::*>(&field))
        settings.**pInt = store.ReadInt(pszKey, defaults.**pInt);
    else if (const auto* pBool = std::get_if<bool CSearchSettings::*>(&field))
        settings.**pBool = store.ReadInt(pszKey, defaults.**pBool ? 1 : 0) != 0;
    else
        settings.*std::get<std::string CSearchSettings::*>(field) =
            store.ReadText(pszKey, defaults.*std::get<std::string CSearchSettings::*>(field));
}

} // namespace

void ReadProfileGroup(const CSettingsStore& store, ProfileGroup group, CSearchSettings& settings)
{
    for (const CProfileEntry& entry : kProfileEntries)
        if (entry.m_group == group)
            ReadValue(store, entry.m_pszKey, settings, entry.m_field);
    if (group != ProfileGroup::Connection)
        return;
    settings.m_nTimeoutSeconds =
        settings.m_nTimeoutSeconds >= 1 ? ClampTimeoutSeconds(settings.m_nTimeoutSeconds) : kDefaultTimeoutSeconds;
    // The window always shows the User-Agent it sends.
    settings.m_strUserAgent = TrimWhiteSpace(settings.m_strUserAgent);
    if (settings.m_strUserAgent.empty())
        settings.m_strUserAgent = kDefaultUserAgent;
}

CSearchSettings ReadProfileSettings(const CSettingsStore& store)
{
    CSearchSettings settings;
    for (const ProfileGroup group : {ProfileGroup::Form, ProfileGroup::Options, ProfileGroup::Connection})
        ReadProfileGroup(store, group, settings);
    return settings;
}

ProfileValues GetProfileValues(const CSearchSettings& settings, ProfileGroup group)
{
    ProfileValues values;
    for (const CProfileEntry& entry : kProfileEntries)
        if (entry.m_group == group)
            values.emplace_back(entry.m_pszKey, ValueText(settings, entry.m_field));
    return values;
}

bool GetProfileValue(const CSearchSettings& settings, const std::string& strKey, std::string& strValue)
{
    for (const CProfileEntry& entry : kProfileEntries)
        if (strKey == entry.m_pszKey) {
            strValue = ValueText(settings, entry.m_field);
            return true;
        }
    return false;
}
