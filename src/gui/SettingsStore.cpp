// SPDX-License-Identifier: MIT
#include "gui/SettingsStore.h"

#include "platform/FileUtil.h"
#include "platform/TextUtil.h"
#include "gui/WxText.h"

#include <filesystem>
#include <wx/fileconf.h>
#include <wx/mstream.h>

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

// The config of the file as it is on disk now: empty when there is no file;
// null when a file is there but cannot be read (it is then not replaced).
std::unique_ptr<wxFileConfig> ReadProfile(const std::string& strPath)
{
    std::string bytes;
    if (!ReadFileBytes(strPath, bytes, kMaxProfileBytes)) {
        std::error_code ec;
        if (std::filesystem::exists(strPath, ec) || ec)
            return nullptr;
        bytes.clear();
    }
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return std::make_unique<wxFileConfig>(stream);
}

} // namespace

std::string CSettingsStore::GetDefaultPath()
{
    return GetXdgConfigHome() + "/questrel/questrel.ini";
}

CSettingsStore::CSettingsStore(const std::string& strPath)
    : m_strPath(strPath),
      m_pConfig(ReadProfile(strPath))
{
    if (!m_pConfig) {
        m_bUnreadable = true;
        wxMemoryInputStream empty(nullptr, 0);
        m_pConfig = std::make_unique<wxFileConfig>(empty);
    }
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
    return WriteTexts({{strKey, std::to_string(nValue)}});
}

bool CSettingsStore::WriteText(const std::string& strKey, const std::string& strValue)
{
    return WriteTexts({{strKey, strValue}});
}

bool CSettingsStore::WriteTexts(const std::vector<std::pair<std::string, std::string>>& values)
{
    return Update([&values](wxFileConfig& config) {
        for (const auto& [strKey, strValue] : values)
            config.Write(KeyPath(strKey),
                         ToWx(strValue.substr(0, Utf8SafeCutLength(strValue, kMaxProfileValueBytes))));
    });
}

bool CSettingsStore::Update(const std::function<void(wxFileConfig&)>& change)
{
    change(*m_pConfig);
    // One writer at a time reads the file, changes it and writes it back.
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(m_strPath).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    // A copy that hangs with the lock must not hold this window: a short wait,
    // and none while the lock stays taken (the failed write is said in the
    // status bar; the value stays in this session).
    const CFileLock lock(m_strPath + ".lock", m_bLockBusy ? 0 : kProfileLockWaitMs);
    m_bLockBusy = !lock.IsHeld();
    if (m_bLockBusy)
        return false;
    const std::unique_ptr<wxFileConfig> pOnDisk = ReadProfile(m_strPath);
    if (!pOnDisk)
        return false;
    change(*pOnDisk);
    wxMemoryOutputStream stream;
    if (!pOnDisk->Save(stream, wxConvUTF8))
        return false;
    std::string bytes(stream.GetLength(), '\0');
    stream.CopyTo(bytes.data(), bytes.size());
    if (bytes.size() > kMaxProfileBytes)
        return false; // the store could not read it back
    return WriteFileAtomically(m_strPath, bytes, true);
}
