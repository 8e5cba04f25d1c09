// SPDX-License-Identifier: MIT
#pragma once

// The query term and the request addresses of an engine's result pages.

#include "engines/SearchEngine.h"

#include <string>

// Search option indexes (positions in the sorted option list).
enum SearchOption : int
{
    kOptionAllWords = 0, // "Page contains all of the words in any order"
    kOptionAnyWord = 1,  // "Page contains at least one of the words"
    kOptionPhrase = 2,   // "Page contains entire phrase"
};

extern const char* const kSearchOptionTexts[3];

// The query text made into the term inserted into addresses. Characters that
// would change an address's meaning (% & # + = ? ;) are percent-encoded first;
// then option 0 turns blanks into "+", option 1 keeps them, option 2 turns them
// into "+" and encloses the term in double quotes. Any other option: empty.
std::string ComposeQueryTerm(const std::string& strQuery, int nSearchOption);

// The first result page: URL + prefix + term + suffix, formatted by type
// (MultiplePages and PagesFromOne with 1, ResultCount with the hit limit,
// StartNumber and PagesFromZero with 0, SinglePage not formatted).
std::string BuildFirstPageAddress(const CSearchEngine& engine, const std::string& strTerm,
                                  int nHitLimit);

// The next result page after nCount hits of this engine on nPages pages.
// PagesFromOne and PagesFromZero: URL + next-page command formatted with the
// term (%s) and the number of the page to fetch. Never called for ResultCount.
std::string BuildNextPageAddress(const CSearchEngine& engine, const std::string& strTerm,
                                 int nCount, const std::string& strCurrentHost, int nPages = 1);
