// SPDX-License-Identifier: MIT
#pragma once

// One page asked for outside a search (learning a definition, checking an
// engine, a dialog's preview): a request value in, the answer as a value out,
// with nothing shown to anyone. The paging state a search keeps between its
// pages (the open connection, where its messages go) stays inside the search.

#include "search/PageAnswer.h"

#include <optional>
#include <string>

class CCancelSignal;
class CInternetSession;
struct CSessionOptions;

struct CPageRequest
{
    std::string m_strAddress;          // an absolute http or https address
    CCancelSignal* m_pCancel = nullptr; // ends the transfer where it waits; may be null
};

// The page at the address, over the session. Empty only when cancelled; a fetch
// that failed says why in m_strError ("Invalid URL" for an address that cannot
// be asked).
std::optional<CPageAnswer> FetchAnswer(CInternetSession& session, const CPageRequest& request);
// The same over a session of its own, opened with the options (one that cannot
// be opened is the answer's error).
std::optional<CPageAnswer> FetchAnswer(const CSessionOptions& options, const CPageRequest& request);
