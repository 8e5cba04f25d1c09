// SPDX-License-Identifier: MIT
#pragma once

// The profile's mapping of the search settings: which key of section
// "Settings" keeps which field, read with the field's default when the key is
// missing, and written in groups, each when the user changes it (the form at
// close when "Save Settings" is on, an option when it is toggled, the
// connection when the Communication dialog is closed with OK).

#include "search/SearchSettings.h"

#include <string>
#include <utility>
#include <vector>

class CSettingsStore;

enum class ProfileGroup
{
    Form,       // "Max Hits", "Search Option", "Criteria", "All Hits"
    Options,    // "Remove Dups", "Verify Links", "ShowHTML", "One At A Time", "Order By Rank", "Browser Engine"
    Connection, // "Connect Method", "Proxy", "Port", "User Agent", "Timeout"
};

using ProfileValues = std::vector<std::pair<std::string, std::string>>;

// The settings as the profile keeps them; a time-out outside 1..600 reads as
// its default or its bound, and a blank User-Agent as the program's own.
CSearchSettings ReadProfileSettings(const CSettingsStore& store);
// The keys of one group into the settings (the others stay as they are).
void ReadProfileGroup(const CSettingsStore& store, ProfileGroup group, CSearchSettings& settings);

// The keys and values of one group, as the profile writes them.
ProfileValues GetProfileValues(const CSearchSettings& settings, ProfileGroup group);
// The value of one key, for a write of that key alone (false: no key of the settings).
bool GetProfileValue(const CSearchSettings& settings, const std::string& strKey, std::string& strValue);
