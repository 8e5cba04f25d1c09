// SPDX-License-Identifier: MIT
#include "gui/SettingsStore.h"

#include "platform/FileUtil.h"
#include "platform/TextUtil.h"
#include "gui/WxText.h"

#include <filesystem>
#include <wx/fileconf.h>

namespace {

// A key in the section. '/' would open a group of its own in the config, so it
// (and '%', to keep the encoding reversible) is percent-encoded; engine names
// are the only keys that can hold them.
wxString KeyPath(const std::string& strKey)
{
    std::string strEncoded;
    for (const char c : strKey) {
        if (c == '/' || c == '%')
            AppendPercentEncoded(strEncoded, static_cast<unsigned char>(c));
        else
            strEncoded += c;
    }
    return wxString("/") + SettingsKey::kSection + "/" + ToWx(strEncoded);
}

} // namespace

std::string CSettingsStore::GetDefaultPath()
{
    return GetXdgConfigHome() + "/questrel/questrel.ini";
}

CSettingsStore::CSettingsStore(const std::string& strPath)
    : m_strPath(strPath),
      m_pConfig(std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, ToWx(strPath),
                                                wxEmptyString, wxCONFIG_USE_LOCAL_FILE))
{
}

CSettingsStore::~CSettingsStore() = default;

int CSettingsStore::ReadInt(const std::string& strKey, int nDefault) const
{
    wxString strValue;
    if (!m_pConfig->Read(KeyPath(strKey), &strValue))
        return nDefault;
    return ParseLeadingInt(FromWx(strValue));
}

std::string CSettingsStore::ReadText(const std::string& strKey, const std::string& strDefault) const
{
    wxString strValue;
    if (!m_pConfig->Read(KeyPath(strKey), &strValue))
        return strDefault;
    return FromWx(strValue);
}

bool CSettingsStore::WriteInt(const std::string& strKey, int nValue)
{
    return m_pConfig->Write(KeyPath(strKey), wxString::Format("%d", nValue)) && Flush();
}

bool CSettingsStore::WriteText(const std::string& strKey, const std::string& strValue)
{
    return m_pConfig->Write(KeyPath(strKey), ToWx(strValue)) && Flush();
}

bool CSettingsStore::Flush()
{
    // wxFileConfig writes a temporary file and renames it over the profile.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_strPath).parent_path(), ec);
    return m_pConfig->Flush();
}
