// SPDX-License-Identifier: MIT
#pragma once

// A search as a front end asks for it (the window's form and options, or the
// command line), and the one place that turns it into a job and the session it
// runs on: the hit-limit rule and the connect-method codes live here.

#include "engines/SearchEngine.h"
#include "platform/InternetClient.h"

#include <string>
#include <vector>

struct CSearchJob;

struct CSearchRequest
{
    std::string m_strQuery;
    int m_nSearchOption = 0;         // index of the search option list
    int m_nHitLimit = 20;            // 1 to 2048 unless All Hits
    bool m_bAllHits = false;
    std::vector<CSearchEngine> m_engines;
    bool m_bRemoveDups = true;
    bool m_bVerifyLinks = false;
    bool m_bShowResultsPage = false;
    bool m_bOneAtATime = false;

    // The connection.
    int m_nConnectMethod = kConnectPreconfigured; // any code but 1 and 3 is the system's settings
    std::string m_strProxy;                       // the proxy's address (it may carry ":port")
    std::string m_strPort;                        // its port, maybe empty
    std::string m_strUserAgent;                   // empty: the program's own
    int m_nTimeoutSeconds = kDefaultTimeoutSeconds;
};

// Whether a hit limit is one the form accepts (1 to 2048).
bool IsValidHitLimit(int nHitLimit);

// Fills the job's search from the request (engines, query term, limit, options).
// False, leaving the job alone, when the hit limit is not valid and All Hits is off.
bool BuildSearchJob(const CSearchRequest& request, CSearchJob& job);

// The session options for the request's connection.
CSessionOptions BuildSessionOptions(const CSearchRequest& request);
