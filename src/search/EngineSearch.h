// SPDX-License-Identifier: MIT
#pragma once

// The pages of one engine: first page, then next pages by the engine's paging
// type until its hit limit is reached or a page adds no row, and how the engine
// ended. The same steps serve a search one engine after another, an engine's
// own look-ahead and the commit of engines searched side by side; only where
// the pages come from and which rows they go to differ.

#include <string>

class CResultRows;
class CSearchEngine;
struct CEngineOutcome;
struct CFetchState;

// Where an engine's pages come from. Threading: one source serves one engine
// and is called by the one thread that searches it (the worker, or the
// engine's look-ahead thread); sources of different engines run at once.
class IPageSource
{
public:
    virtual ~IPageSource() = default;
    // The page of the fetch state's target, with FetchPage's contract: false
    // when the search was cancelled.
    virtual bool FetchPage(CFetchState& fs, const CSearchEngine& engine) = 0;
};

// Pages fetched now, over the fetch state's connection.
class CLivePages : public IPageSource
{
public:
    bool FetchPage(CFetchState& fs, const CSearchEngine& engine) override;
};

struct CEngineSearchRules
{
    std::string m_strQueryTerm;
    int m_nHitLimit = 0; // the search's EngineHitLimit
    bool m_bRemoveDups = true;
};

// Searches one engine into the rows and says how it ended. False when the
// search was cancelled. Runs on the thread that owns the fetch state; the rows
// and the context's objects are thread-safe, so engines run side by side.
bool SearchEnginePages(const CEngineSearchRules& rules, const CSearchEngine& engine, CFetchState& fs,
                       CResultRows& rows, IPageSource& pages, CEngineOutcome& outcome);
