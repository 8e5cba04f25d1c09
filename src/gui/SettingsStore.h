// SPDX-License-Identifier: MIT
#pragma once

// The profile: section "Settings" of questrel.ini in $XDG_CONFIG_HOME/questrel/
// (default ~/.config/questrel/), on wxFileConfig. Only the GUI reads and writes
// it, on the UI thread.
//
// The file is read once, when the store is made. Every write reaches the file
// at once: it reads the file as it is on disk at that moment, changes only the
// keys being written and replaces the file whole (a temporary file renamed over
// it, so a crash or a full disk never leaves a truncated profile). Two copies
// of the program on one profile therefore keep each other's settings, and
// sections and keys the program does not know are kept too. A symbolic link is
// followed; a profile the user may not write is not replaced (the write says
// false). Writers take a lock on "questrel.ini.lock" beside the profile for
// each read-change-write, so writes of two copies at the same moment both last.
//
// Nothing is written that the store could not read back: a value is kept to
// kMaxProfileValueBytes, and a write that would make the file larger than the
// reader takes is refused (false).

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class wxFileConfig;

namespace SettingsKey {
inline constexpr const char* kSection = "Settings";
inline constexpr const char* kMaxHits = "Max Hits";
inline constexpr const char* kSearchOption = "Search Option";
inline constexpr const char* kCriteria = "Criteria";
inline constexpr const char* kAllHits = "All Hits";
inline constexpr const char* kShowHtml = "ShowHTML";
inline constexpr const char* kShowHints = "Show Hints";
inline constexpr const char* kRemoveDups = "Remove Dups";
inline constexpr const char* kVerifyLinks = "Verify Links";
inline constexpr const char* kSaveSettings = "Save Settings";
inline constexpr const char* kConnectMethod = "Connect Method";
inline constexpr const char* kProxy = "Proxy";
inline constexpr const char* kPort = "Port";
inline constexpr const char* kUserAgent = "User Agent";
inline constexpr const char* kOneAtATime = "One At A Time";
inline constexpr const char* kOrderByRank = "Order By Rank";
inline constexpr const char* kBrowserEngine = "Browser Engine";
inline constexpr const char* kReportFailures = "Report Failed Engines";
inline constexpr const char* kTimeout = "Timeout";
inline constexpr const char* kWindowX = "Window X";
inline constexpr const char* kWindowY = "Window Y";
inline constexpr const char* kWindowWidth = "Window Width";
inline constexpr const char* kWindowHeight = "Window Height";
inline constexpr const char* kWindowMaximized = "Window Maximized";
inline constexpr const char* kSplitter = "Splitter";
inline constexpr const char* kColumnWidths = "Column Widths";
} // namespace SettingsKey

namespace SettingsDefault {
// The search settings' defaults are CSearchSettings's; these are the window's own.
inline constexpr int kShowHints = 1;
inline constexpr int kSaveSettings = 0;
inline constexpr int kReportFailures = 1;
inline constexpr int kEngineTick = 0; // the unticked image
} // namespace SettingsDefault

// The largest profile the store reads, and the longest value it writes.
inline constexpr size_t kMaxProfileBytes = 4 * 1024 * 1024;
inline constexpr size_t kMaxProfileValueBytes = 64 * 1024;

// How long a write waits for the profile's lock (another copy writing).
inline constexpr int kProfileLockWaitMs = 1000;

class CSettingsStore
{
public:
    // $XDG_CONFIG_HOME/questrel/questrel.ini
    static std::string GetDefaultPath();

    explicit CSettingsStore(const std::string& strPath);
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    const std::string& GetPath() const { return m_strPath; }
    // A profile is there but could not be read (too large, no regular file,
    // not the user's to read): every setting reads as its default, and the
    // file is never replaced.
    bool IsUnreadable() const { return m_bUnreadable; }

    // The leading decimal number of the value; the default when the key is
    // missing (a value that is no number reads as 0).
    int ReadInt(const std::string& strKey, int nDefault) const;
    std::string ReadText(const std::string& strKey, const std::string& strDefault = "") const;
    // False when the file could not be written.
    bool WriteInt(const std::string& strKey, int nValue);
    bool WriteText(const std::string& strKey, const std::string& strValue);
    // Several keys of the section in one write of the file.
    bool WriteTexts(const std::vector<std::pair<std::string, std::string>>& values);

    // The config as read, for entries outside the section (recent files).
    const wxFileConfig& GetConfig() const { return *m_pConfig; }
    // Applies a change to the config as read and to the file as it is on disk
    // now, then writes the file; the change is called once for each.
    bool Update(const std::function<void(wxFileConfig&)>& change);

private:
    std::string m_strPath;
    bool m_bLockBusy = false; // the last write found the profile's lock taken
    std::unique_ptr<wxFileConfig> m_pConfig;
    bool m_bUnreadable = false;
};
