// SPDX-License-Identifier: MIT
#pragma once

// One page asked for outside a search (learning a definition, checking an
// engine, a dialog's preview): a request value in, the answer as a value out,
// with nothing shown to anyone. The paging state a search keeps between its
// pages (the open connection, where its messages go) stays inside the search.

#include "search/BrowserPages.h"
#include "search/PageAnswer.h"

#include <optional>
#include <string>
#include <utility>

class CCancelSignal;
class CInternetSession;
struct CSessionOptions;

struct CPageRequest
{
    CPageRequest(std::string strAddress, CCancelSignal* pCancel = nullptr,
                          BrowserRule nBrowserRule = BrowserRule::WallOnly, std::string strStartToken = {})
        : m_strAddress(std::move(strAddress)), m_pCancel(pCancel), m_nBrowserRule(nBrowserRule),
          m_strStartToken(std::move(strStartToken))
    {
    }

    std::string m_strAddress;          // an absolute http or https address
    CCancelSignal* m_pCancel = nullptr; // ends the transfer where it waits; may be null
    // Which answers go again to the browser engine, when the session's options
    // allow it; WallOrNoList looks for the start token.
    BrowserRule m_nBrowserRule = BrowserRule::WallOnly;
    std::string m_strStartToken;
};

// The page at the address, over the session. Empty only when cancelled; a fetch
// that failed says why in m_strError ("Invalid URL" for an address that cannot
// be asked). Under BrowserRule::Always without a browser engine to use nothing
// is asked: the answer is empty (with m_strBrowserError when none is installed).
std::optional<CPageAnswer> FetchAnswer(CInternetSession& session, const CPageRequest& request);
// The same over a session of its own, opened with the options (one that cannot
// be opened is the answer's error).
std::optional<CPageAnswer> FetchAnswer(const CSessionOptions& options, const CPageRequest& request);
