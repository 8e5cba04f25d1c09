// SPDX-License-Identifier: MIT
#pragma once

// What one request for a result page gave, as a value: fetching fills it, the
// look-ahead of a side-by-side search keeps it and hands it on as it is, and
// an engine's outcome is decided from it.

#include <string>

struct CPageAnswer
{
    std::string m_strAddress; // as asked for
    std::string m_strUrl;     // of the final answer, after redirects (the address until one came)
    long m_nStatus = 0;       // its HTTP status; 0 when none came
    std::string m_strReason;  // its reason phrase
    std::string m_strText;    // the page's text (what was read, when the transfer broke off)
    std::string m_strError;   // the Internet error of the connect or the fetch; empty when none
    bool m_bTooLong = false;  // the page was longer than a page may be: the rest was dropped
    bool m_bByBrowser = false;       // the text is the browser engine's, after the page's scripts ran
    std::string m_strPlainRefusal;   // then: the refusal the page was without its scripts, if any
    std::string m_strBrowserError;   // why the browser engine gave no page, when one was wanted

    // "HTTP 403 Forbidden" for a status of 400 or above, else empty.
    std::string DescribeStatus() const;
};
