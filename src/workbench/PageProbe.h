// SPDX-License-Identifier: MIT
#pragma once

// One result page fetched for the workbench (learning a definition, checking
// an engine): the answer as a value, with nothing shown to anyone.

#include <string>

class CCancelSignal;
class CInternetSession;
struct CSessionOptions;

struct CPageAnswer
{
    std::string m_strAddress; // as asked for
    std::string m_strUrl;     // of the final answer, after redirects
    long m_nStatus = 0;       // 0 when none came
    std::string m_strReason;  // its reason phrase
    std::string m_strText;    // the page
    std::string m_strError;   // the Internet error, when it failed

    // "HTTP 403 Forbidden" for a status of 400 or above, else empty.
    std::string DescribeStatus() const;
};

// Fetches the address over the session. False only when cancelled; a failed
// fetch fills m_strError ("Invalid URL" for an address that cannot be asked).
bool FetchResultPage(CInternetSession& session, const std::string& strAddress, CCancelSignal* pCancel,
                     CPageAnswer& answer);
// The same over a session of its own, opened with the options (one that cannot
// be opened is the answer's error).
bool FetchResultPage(const CSessionOptions& options, const std::string& strAddress, CCancelSignal* pCancel,
                     CPageAnswer& answer);
