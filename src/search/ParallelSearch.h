// SPDX-License-Identifier: MIT
#pragma once

// Engines searched side by side, with exactly the results of a search that asks
// them one after another.
//
// Every engine gets a look-ahead of its own: on a thread of a small pool (at most
// 16 engines at once, the rest in engine order as places free up) it pages
// through its results with its own fetch state and connection, testing
// duplicates against its own hits only, and keeps each page it fetched (the
// request, the answer and the message boxes its fetch raised, not shown yet).
//
// What the user sees is committed on the search's worker, engine after engine in
// engine order, by the very steps of the one-after-another search
// (SearchEnginePages) with the real result list: each page that search would ask
// for is taken from the engine's look-ahead, waiting for it if need be, and goes
// through the real duplicate test, the hit limit, the results page and the
// message boxes there. Where the two part, the commit decides:
//  - the look-ahead went further (the real duplicate test ended the paging, or
//    the limit was reached): its later pages are dropped and it is stopped;
//  - the look-ahead stopped short, or asked for another page (duplicates of
//    earlier engines made the real count smaller, and the next address carries
//    the count): the commit fetches the pages from there on itself.
// So the rows, their order, the duplicate test, the hit limits, the results page,
// the message boxes and the engine outcomes are those of the one-after-another
// search. Status texts are shown as the look-aheads make them; rows appear as
// they are committed: the engine at the head streams its rows as its pages
// arrive, the engines behind it follow the moment its turn ends.
//
// The pages the look-aheads keep (and are reading) hold at most
// kLookAheadBudgetBytes together: a look-ahead whose page would pass it stops,
// and the commit fetches that engine's pages from there itself, so a search's
// memory stays bounded whatever the engines send.
//
// A cancel of the search stops every look-ahead at once; nothing uncommitted
// reaches the list.

#include "search/EngineSearch.h"
#include "search/FetchState.h"

#include <vector>

class CResultRows;
class CSearchEngine;
class CSearchOutcomes;

inline constexpr size_t kMaxEnginesAtOnce = 16;
inline constexpr size_t kLookAheadBudgetBytes = 64u * 1024 * 1024;

// Searches the engines side by side into the rows, committing in engine order;
// writes one outcome per engine. False when the search was cancelled.
bool SearchEnginesSideBySide(const std::vector<CSearchEngine>& engines, const CEngineSearchRules& rules,
                             const CSearchContext& context, CResultRows& rows, CSearchOutcomes& outcomes,
                             size_t nMaxAtOnce = kMaxEnginesAtOnce);
