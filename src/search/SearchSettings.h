// SPDX-License-Identifier: MIT
#pragma once

// Everything the user sets about a search, as one value with its defaults and
// limits: the form (query, option, hit limit, All Hits), the options and the
// connection. The window's profile, the form, the search document, the command
// line and the job each read and write it through one mapping of their own, so
// a new option is a field here and a line in each mapping that keeps it.

#include "engines/SearchEngine.h"
#include "platform/InternetClient.h"

#include <string>
#include <vector>

struct CSearchJob;

inline constexpr int kDefaultHitLimit = 20;
inline constexpr int kMaxHitLimit = 2048;

struct CSearchSettings
{
    // The form.
    std::string m_strQuery;
    int m_nSearchOption = 0;         // index of the search option list; -1: none selected
    int m_nHitLimit = kDefaultHitLimit; // 1 to kMaxHitLimit unless All Hits
    bool m_bAllHits = false;
    // The options.
    bool m_bRemoveDups = true;
    bool m_bVerifyLinks = false;
    bool m_bShowResultsPage = false;
    bool m_bOneAtATime = false;      // engines one after another instead of side by side
    bool m_bOrderByRank = false;     // the rows shown by rank across engines, not engine after engine
    bool m_bBrowserEngine = true;    // pages that need scripts loaded in the browser engine (when one is installed)
    // The connection.
    int m_nConnectMethod = kConnectPreconfigured; // any code but 1 and 3 is the system's settings
    std::string m_strProxy;                       // the proxy's address (it may carry ":port")
    std::string m_strPort;                        // its port, maybe empty
    std::string m_strUserAgent;                   // empty: the program's own
    int m_nTimeoutSeconds = kDefaultTimeoutSeconds;

    bool operator==(const CSearchSettings&) const = default;
};

// Whether a hit limit is one the form accepts (1 to 2048).
bool IsValidHitLimit(int nHitLimit);

// The job's search from the settings and the chosen engines (query term, limit,
// options). False, leaving the job alone, when the hit limit is not valid and
// All Hits is off.
bool BuildSearchJob(const CSearchSettings& settings, std::vector<CSearchEngine> engines, CSearchJob& job);

// The hit limit each engine works to: kMaxHitLimit under All Hits.
int EngineHitLimit(const CSearchSettings& settings);

// The session options for the settings' connection.
CSessionOptions BuildSessionOptions(const CSearchSettings& settings);
