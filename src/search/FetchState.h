#pragma once

// The fetch state of one search run: the values every step of the run shares
// (request target, open connection, page text). The run owns one and passes it
// to each step; only the worker thread of that run touches it. The g_ names mark
// the values that the steps hand to each other.

#include "platform/InternetClient.h"
#include "platform/SearchHost.h"

#include <cstdint>
#include <memory>
#include <string>

class CCancelSignal;

enum InternetScheme : int
{
    kSchemeUnknown = -1,
    kSchemeHttp = 0,
    kSchemeHttps,
    kSchemeFtp,
    kSchemeOther,
};

struct CFetchState
{
    CInternetSession* g_pSession = nullptr;            // not owned
    CSearchHostBridge* g_hStatusWnd = nullptr;         // status texts and message boxes
    std::unique_ptr<CHttpConnection> g_pConnection;    // the open connection, if any
    std::string g_strServer;                           // host of the last parsed address
    std::string g_strObject;                           // path and "?" part of it
    uint16_t g_nPort = 0;                              // its port (explicit or the scheme's)
    InternetScheme m_nScheme = kSchemeUnknown;         // its scheme
    std::string g_strPage;                             // text of the page being or last fetched
    bool g_bShowHtml = false;                          // collect pages in the results page

    std::string m_strEngine;                           // engine being searched; names its errors
    std::string m_strPageUrl;                          // address of the last page (after redirects)
    long m_nPageStatus = 0;                            // its HTTP status; 0 when none came
    std::string m_strPageReason;                       // its reason phrase
    std::string m_strLastError;                        // the last Internet error of a connect or fetch

    CCancelSignal* m_pCancel = nullptr;                // the run's cancel signal
    std::string m_strResultsPagePath;                  // formed when the run started
    size_t m_nMaxPageBytes = 32u * 1024 * 1024;        // the rest of a bigger page is dropped

    bool IsCancelled() const;
};
