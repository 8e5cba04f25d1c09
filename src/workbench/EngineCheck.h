// SPDX-License-Identifier: MIT
#pragma once

// Which engines work today, and why not: each engine is asked for one result
// page, and its definition is tried on what came back.

#include "engines/SearchEngine.h"
#include "results/ResultRows.h"
#include "search/PageRequest.h"

#include <string>
#include <vector>

class CCancelSignal;
class CInternetSession;

enum class CheckVerdict
{
    Ok,      // hits found
    NoHits,  // the page answered, the definition found nothing on it
    Refused, // status 400 or above, a bot check, a page that asks for JavaScript
    Failed,  // an Internet error
};

// "ok", "no-hits", "refused", "failed".
const char* VerdictName(CheckVerdict nVerdict);
struct CEngineCheck;
// The check's detail in the user's language (the hit count, or the reason);
// m_strDetail itself stays English, for what machines read.
std::string DescribeDetailForUser(const CEngineCheck& check);

struct CEngineCheck
{
    std::string m_strEngine;
    CheckVerdict m_nVerdict = CheckVerdict::Failed;
    std::string m_strDetail; // "12 hits", "start token not on the page", "HTTP 403 Forbidden", ...
                             // then the browser engine's note, if any (see BrowserNote)
    bool m_bByBrowser = false;     // the page was loaded with the browser engine
    std::string m_strBrowserError; // why the browser engine could not load it, when it was wanted

    // What -v tells.
    std::string m_strAddress;
    long m_nStatus = 0;
    size_t m_nPageBytes = 0;
    size_t m_nStartTokens = 0; // occurrences on the page
    size_t m_nEndTokens = 0;
    std::vector<CSearchHit> m_hits;
    int m_nEmptyDescriptions = 0;
    int m_nRedirectsUnwrapped = 0; // links of the engine's own site replaced by their targets
    int m_nDuplicates = 0;
    std::string m_strNextAddress; // the next page the definition would ask for
};

// ", loaded with a browser engine" or "; " and why the browser engine could not
// load the page, or empty: in English, or in the user's language.
std::string BrowserNote(const CEngineCheck& check, bool bTranslated);

// The verdict on one engine from its first page for the query.
CEngineCheck DiagnoseEngine(const CSearchEngine& engine, const std::string& strQuery, const CPageAnswer& answer);

// A definition mended: the tokens of an engine whose check found its
// definition broken (the page answered, nothing was found on it), learned anew
// from the page its own address gives for the query. The address and paging
// stay the engine's. Never for an engine that refused or failed.
struct CEngineMend
{
    CSearchEngine m_old;
    CSearchEngine m_new; // valid when m_bMended
    bool m_bMended = false;
    std::string m_strWhy; // when not mended
    std::vector<CSearchHit> m_newHits;
};

// Fetches the engine's first page for the query and learns its tokens anew.
CEngineMend MendEngine(CInternetSession& session, const CSearchEngine& engine, const CEngineCheck& check,
                       const std::string& strQuery, CCancelSignal* pCancel);

// Every engine asked side by side (at most 16 at once), one page each;
// results in the engines' order. Engines not reached when cancelled are failed.
std::vector<CEngineCheck> CheckEngines(CInternetSession& session, const std::vector<CSearchEngine>& engines,
                                       const std::string& strQuery, CCancelSignal* pCancel);
