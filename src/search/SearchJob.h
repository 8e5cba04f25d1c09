// SPDX-License-Identifier: MIT
#pragma once

// One search run: the job block filled when Search is pressed, the worker that
// carries it out, and the owner of the worker thread.
//
// The worker searches the engines side by side (see ParallelSearch.h), or one
// after another when asked: first page, then next pages by the engine's paging
// type until its hit limit is reached or a page adds no row; either way the
// rows come out the same. After the last engine it tells the host the search is
// done and opens the results page when asked. After a cancel it adds no row, writes no status text
// but "Find cancelled.", writes nothing to the results page and opens nothing.
//
// An answer of status 400 or above is the engine's failure: its page is not
// scanned and its paging ends, without a message box. Each engine's outcome
// (hits, no results, HTTP error, Internet error, cancelled) is kept in the
// job's outcomes.

#include "engines/SearchEngine.h"
#include "search/EngineOutcome.h"
#include "platform/WorkerThreads.h"
#include "search/SearchSettings.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCancelSignal;
class CInternetSession;
class CResultRows;
class ISearchHost;

struct CSearchJob
{
    std::vector<CSearchEngine> m_engines;      // copies of the chosen engines, in catalogue order
    CInternetSession* m_pSession = nullptr;    // not owned
    std::shared_ptr<CInternetSession> m_pSessionOwner; // when set, keeps the session alive as long as the worker
    ISearchHost* m_pHost = nullptr;            // not owned
    CResultRows* m_pResultList = nullptr;      // not owned
    CSearchSettings m_settings;                // what the user asked for (query, limit, options)
    std::string m_strQueryTerm;                // the query as the engines' addresses take it
    bool m_bResetResultsPage = true;           // delete the last search's results page first
    bool m_bOpenResultsPage = true;            // open it at the end (when collected)
    std::string m_strResultsPagePath;          // where it goes; empty: questrel.htm in the current folder
    int m_nMaxParallelChecks = 16;             // link checks at once
    std::shared_ptr<CCancelSignal> m_pCancel;  // this run's signal
    std::shared_ptr<CSearchOutcomes> m_pOutcomes; // one per engine; made by the worker when missing
};

// The worker's procedure; returns 0.
int SearchThreadProc(CSearchJob& job);

// Owns the worker thread of one search at a time. Threading: Start, Join,
// IsBusy and SetProcedure are called by the owner's thread (the UI, or the
// CLI's main thread); Cancel from any thread.
class CSearchRun
{
public:
    CSearchRun() = default;
    ~CSearchRun();
    CSearchRun(const CSearchRun&) = delete;
    CSearchRun& operator=(const CSearchRun&) = delete;

    // Starts the worker on the job (a cancel signal is made when it has none).
    // onEnded, when given, is called on the worker thread as its last act.
    // False while an earlier worker has not been joined.
    bool Start(CSearchJob job, std::function<void()> onEnded = nullptr);
    // Sets the run's cancel signal; the worker stops at once and makes no further
    // host call. May be called from any thread.
    void Cancel();
    // Waits for the worker to end. Quick after Cancel; at once when !IsBusy().
    void Join();
    // Whether a worker was started and has not ended yet (stopped or not): a
    // front end that must not wait waits for onEnded instead of joining.
    bool IsBusy() const { return !m_bEnded; }
    // What the worker runs (SearchThreadProc unless a test puts in another).
    void SetProcedure(std::function<int(CSearchJob&)> procedure) { m_procedure = std::move(procedure); }

private:
    std::unique_ptr<CSearchJob> m_pJob;
    std::function<int(CSearchJob&)> m_procedure;
    std::atomic<bool> m_bEnded{true}; // set before onEnded, which may ask IsBusy
    bool m_bJoined = true;
    CWorkerThreads m_worker;
};
