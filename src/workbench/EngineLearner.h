// SPDX-License-Identifier: MIT
#pragma once

// Writing an engine definition from one of the engine's result pages, as the
// user has it in the browser: the query typed and the address of its result
// page. Everything is read from the address and the page's own structure:
// no table of engines, hosts or class names.
//
// - URL, prefix and suffix: the address split around the query as this
//   program composes it, so the first page the definition asks for is the
//   address given.
// - Start and end tokens: the hits are the repeated records whose links lead
//   to many different sites and whose text holds the query's words. Every
//   link's markup gives candidate tokens (its tag up to the link's quote, with
//   more or less of the markup before it); each candidate is tried with the
//   real extraction, and the one whose hits are most like results wins
//   (stable markup before generated class names).
// - Paging: from the page's own link to its next page, where one of this
//   program's paging types fits; else one page only.

#include "engines/SearchEngine.h"
#include "results/ResultRows.h"

#include <string>
#include <vector>

// Splits the address around the query (composed with '+' for blanks, or
// percent-encoded) into the engine's URL, prefix and suffix. False when the
// query is not in the address.
bool SplitAddressAroundQuery(const std::string& strAddress, const std::string& strQuery, CSearchEngine& engine);

struct CTokenProposal
{
    std::string m_strStartToken;
    std::string m_strEndToken;
    std::vector<CSearchHit> m_hits; // what the tokens find on the page
};

// The tokens whose hits on the page are most like results. False (and why)
// when no link of the page repeats like a list of results.
bool LearnTokens(const std::string& strPage, const std::string& strPageUrl, const CSearchEngine& engine,
                 const std::string& strQuery, CTokenProposal& proposal, std::string* pWhy);

// The paging type and next-page command from the page's link to its next
// page; type ResultCount (one page) when there is none or none fits.
void LearnPaging(const std::string& strPage, const std::string& strQuery, int nHitsOnPage, CSearchEngine& engine);
