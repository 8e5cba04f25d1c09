// SPDX-License-Identifier: MIT
#pragma once

// Writing an engine definition from one of the engine's result pages, as the
// user has it in the browser: the query typed and the address of its result
// page. Everything is read from the address and the page's own structure: no
// table of engines, hosts, class names or phrases.
//
// - URL, prefix and suffix: the address split around the query as this
//   program composes it, so the first page the definition asks for is the
//   address given.
// - Start and end tokens: the page's links are grouped by the markup they
//   stand in, the group that reads most like a list of results wins (or the
//   one that holds the result the user pointed at), and the tokens are the
//   markup its links share (see LinkGroups.h, TokenLearner.h).
// - Paging: from the page's link to its next page, where one of this
//   program's paging types fits, checked by asking for that page once.
//
// LearnEngine is the one learning sequence: the command line, the Learn
// dialog and the tests all call it.

#include "engines/SearchEngine.h"
#include "results/ResultRows.h"
#include "search/PageAnswer.h"
#include "search/PageRequest.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Splits the address around the query (composed with '+' for blanks, or
// percent-encoded, or as a parameter whose decoded value is the query) into
// the engine's URL, prefix and suffix. False when the query is not in it.
bool SplitAddressAroundQuery(const std::string& strAddress, const std::string& strQuery, CSearchEngine& engine);

// The paging type and next-page command from the page's link to its next
// page; type ResultCount (one page) when there is none or none fits.
void LearnPaging(const std::string& strPage, const std::string& strQuery, int nHitsOnPage, CSearchEngine& engine);

enum class LearnVerdict
{
    Learned,
    BadAddress,     // the query is not in the address
    Failed,         // no answer: an Internet error, or cancelled
    Refused,        // status 400 or above, a bot check, a page that asks for JavaScript
    NothingMatched, // the page says it found nothing
    NoList,         // an answer, but no links of it repeat like a list of results
};

struct CLearnRequest
{
    std::string m_strName;
    std::string m_strQuery;
    std::string m_strAddress; // of the result page, as the browser shows it
    std::string m_strExample; // one result's address, as the browser shows it after a click; may be empty
    int m_nGroup = -1;        // a group of an earlier result's m_groups to take instead of the best
};

// A group of links the learner considered, as the user may pick it.
struct CLearnGroup
{
    size_t m_nHits = 0;
    std::vector<std::string> m_titles; // the first few
    std::vector<std::string> m_hosts;  // the first few distinct
};

struct CLearnResult
{
    LearnVerdict m_nVerdict = LearnVerdict::Failed;
    std::string m_strReason; // why it is not Learned (for the user)
    CSearchEngine m_engine;  // the record (name, address split, tokens, paging)
    std::vector<CSearchHit> m_hits;
    std::vector<CLearnGroup> m_groups; // best first
    int m_nGroup = -1;                 // which of them the record takes
    bool m_bPagingChecked = false;     // the next page was asked for and gave other hits
    std::string m_strPagingNote;       // what became of the paging when it was not checked
    std::string m_strExampleNote;      // when the example is in no list of the page
    CPageAnswer m_answer;              // the first page
};

// Fetches a page as FetchAnswer does (the caller adds its cancel signal): the
// answer, empty when cancelled.
using LearnFetch = std::function<std::optional<CPageAnswer>(const CPageRequest& request)>;

// The whole sequence: the address split, the page fetched, its links grouped,
// the tokens, the refusal or "nothing matched" verdict, the paging (its next
// page fetched once to check it, unless bCheckPaging is false). A page whose
// links make no list but that has scripts is loaded again with the browser
// engine (when the fetch may use one) and learned from what its scripts wrote.
CLearnResult LearnEngine(const CLearnRequest& request, const LearnFetch& fetch, bool bCheckPaging = true);
// The same from a page already fetched; pFetch (may be null) checks the paging.
CLearnResult LearnFromPage(const CLearnRequest& request, const CPageAnswer& answer, const LearnFetch* pFetch);

// "the page says nothing matched QUERY; learn from a query with results" and
// the like: the verdict as the user reads it.
std::string DescribeLearnFailure(const CLearnResult& result, const std::string& strQuery);
