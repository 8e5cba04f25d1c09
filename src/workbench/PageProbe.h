// SPDX-License-Identifier: MIT
#pragma once

// One result page fetched for the workbench (learning a definition, checking
// an engine): the answer as a value, with nothing shown to anyone.

#include "search/PageAnswer.h"

#include <string>

class CCancelSignal;
class CInternetSession;
struct CSessionOptions;

// Fetches the address over the session. False only when cancelled; a failed
// fetch fills m_strError ("Invalid URL" for an address that cannot be asked).
bool FetchResultPage(CInternetSession& session, const std::string& strAddress, CCancelSignal* pCancel,
                     CPageAnswer& answer);
// The same over a session of its own, opened with the options (one that cannot
// be opened is the answer's error).
bool FetchResultPage(const CSessionOptions& options, const std::string& strAddress, CCancelSignal* pCancel,
                     CPageAnswer& answer);
