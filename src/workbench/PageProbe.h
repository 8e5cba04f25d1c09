// SPDX-License-Identifier: MIT
#pragma once

// One result page fetched for the workbench (learning a definition, checking
// an engine): the answer as a value, with nothing shown to anyone.

#include <string>

class CCancelSignal;
class CInternetSession;

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
