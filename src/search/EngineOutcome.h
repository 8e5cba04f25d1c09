// SPDX-License-Identifier: MIT
#pragma once

// How each engine of a search ended, so that no engine fails silently: the
// hits it gave, no results on its page, an HTTP error, an Internet error, or
// cancelled. The worker writes them; the front ends read them during and after
// the search (thread-safe).

#include "search/PageAnswer.h"

#include <mutex>
#include <string>
#include <vector>

class CResultRows;

struct CEngineOutcome
{
    enum class Kind
    {
        Pending,       // not finished (yet)
        Hits,          // answered: m_nHits rows listed (may be 0, e.g. all duplicates)
        NoResults,     // its first page did not hold the start token at all
        Refused,       // its first page answered but is a bot check or asks for JavaScript (m_strText)
        HttpError,     // answered with status 400 or above
        InternetError, // no answer: connect failure, reset, time-out, TLS, proxy, bad address
        Cancelled,     // the search was stopped first
    };

    std::string m_strEngine;
    Kind m_nKind = Kind::Pending;
    int m_nHits = 0;       // rows listed for it
    int m_nDuplicates = 0; // hits dropped as duplicates
    bool m_bPageCut = false; // a page held more hits than a page may add: the rest was dropped
    bool m_bPageTooLong = false; // a page was longer than a page may be: the rest was dropped
    long m_nHttpStatus = 0;
    std::string m_strText; // the reason phrase of an HTTP error, the text of an Internet error
    bool m_bByBrowser = false;     // its first page was loaded with the browser engine
    std::string m_strBrowserError; // why the browser engine could not load its page, when it was wanted

    bool IsFailure() const
    {
        return m_nKind == Kind::HttpError || m_nKind == Kind::InternetError || m_nKind == Kind::Refused;
    }
    // "12 hits", "no results on its page", "refused: the page is a bot check",
    // "HTTP 403 Forbidden", the error text, "cancelled"; ", loaded with a
    // browser engine" after the first three when it was, and a refusal says
    // why the browser engine could not load the page when it was wanted.
    std::string Describe() const;
};

// What an engine's first page says of the engine: the one rule behind a
// search's outcome and the engine check. An engine that listed hits has
// answered, whatever its first page said; otherwise the page tells: a status
// of 400 or above, an Internet error (or no answer), a refusal (strRefusal,
// what the page says when it is one, looked for where the start token is not
// on it), no results (no start token), or answered with every hit a duplicate.
CEngineOutcome JudgeFirstPage(const CPageAnswer& first, int nHits, bool bTokenFound, const std::string& strRefusal);

// After Verify Links deleted dead rows: each engine that gave hits counts the
// rows that remain of it, as the status bar does. Returns how many were deleted.
int RecountAfterVerifying(std::vector<CEngineOutcome>& outcomes, const CResultRows& rows);

// The reason phrase of a common HTTP status ("Forbidden" for 403), or empty.
const char* StandardReasonPhrase(long nStatus);

// The outcomes of one search, one per chosen engine in engine order.
class CSearchOutcomes
{
public:
    void Reset(const std::vector<std::string>& engineNames);
    void Set(size_t nIndex, CEngineOutcome outcome);
    // Every outcome still pending becomes cancelled.
    void CancelPending();
    std::vector<CEngineOutcome> Get() const;

private:
    mutable std::mutex m_mutex;
    std::vector<CEngineOutcome> m_outcomes;
};

// What a window says after a search: a line for each engine that failed or refused, as
// the engine pane shows it ("Forbidden - HTTP 403 Forbidden"), then the
// search's other messages (the link check's).
std::string FailureReport(const std::vector<CEngineOutcome>& outcomes, const std::vector<std::string>& messages);
