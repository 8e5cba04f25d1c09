// SPDX-License-Identifier: MIT
#include "search/SearchJob.h"

#include "platform/CancelSignal.h"
#include "platform/FileUtil.h"
#include "platform/SearchHost.h"
#include "search/LinkVerifier.h"
#include "results/ResultRows.h"
#include "results/ResultsPage.h"
#include "search/EngineSearch.h"
#include "search/FetchState.h"
#include "search/ParallelSearch.h"
#include "search/SearchTexts.h"


int SearchThreadProc(CSearchJob& job)
{
    CCancelSignal& cancel = *job.m_pCancel;
    CSearchHostBridge bridge(job.m_pHost, cancel);
    if (!job.m_pOutcomes)
        job.m_pOutcomes = std::make_shared<CSearchOutcomes>();
    CSearchOutcomes& outcomes = *job.m_pOutcomes;
    {
        std::vector<std::string> names;
        for (const CSearchEngine& engine : job.m_engines)
            names.push_back(engine.m_strName);
        outcomes.Reset(names);
    }
    CSearchContext context;
    context.m_pSession = job.m_pSession;
    context.m_pHost = &bridge;
    context.m_pCancel = &cancel;
    context.m_bCollectPages = job.m_settings.m_bShowResultsPage;
    context.m_bBrowserEngine = job.m_settings.m_bBrowserEngine;
    context.m_strResultsPagePath = job.m_strResultsPagePath.empty() ? GetResultsPagePath() : job.m_strResultsPagePath;
    if (job.m_bResetResultsPage)
        ResetResultsPage(context.m_strResultsPagePath);
    CEngineSearchRules rules;
    rules.m_strQueryTerm = job.m_strQueryTerm;
    rules.m_nHitLimit = EngineHitLimit(job.m_settings);
    rules.m_bRemoveDups = job.m_settings.m_bRemoveDups;

    // However the run ends after a cancel, the last status text says so (once),
    // and every engine not finished is cancelled.
    auto endCancelled = [&bridge, &outcomes] {
        outcomes.CancelPending();
        bridge.StatusCancelled(Tr(kStatusFindCancelled));
        return 0;
    };
    if (job.m_settings.m_bOneAtATime) {
        CLivePages pages;
        for (size_t i = 0; i < job.m_engines.size(); ++i) {
            const CSearchEngine& engine = job.m_engines[i];
            if (cancel.IsSignalled())
                return endCancelled();
            if (!engine.m_bValid)
                continue;
            CFetchState fs(context);
            fs.m_strEngine = engine.m_strName;
            CEngineOutcome outcome;
            outcome.m_strEngine = engine.m_strName;
            const bool bGoOn = SearchEnginePages(rules, engine, fs, *job.m_pResultList, pages, outcome);
            outcomes.Set(i, std::move(outcome));
            if (!bGoOn)
                return endCancelled();
        }
    } else if (!SearchEnginesSideBySide(job.m_engines, rules, context, *job.m_pResultList, outcomes)) {
        return endCancelled();
    }
    if (cancel.IsSignalled())
        return endCancelled();
    if (job.m_settings.m_bVerifyLinks) {
        CFetchState fs(context);
        bridge.Status(Tr(kStatusVerifyingAll));
        VerifyLinks(fs, *job.m_pResultList, job.m_nMaxParallelChecks);
        if (cancel.IsSignalled())
            return endCancelled();
    }
    // Nothing that is not there is opened (a page that could not be written);
    // a page the browser could not show is said with the search's messages.
    if (job.m_settings.m_bShowResultsPage && job.m_bOpenResultsPage && !cancel.IsSignalled() &&
        FileExists(context.m_strResultsPagePath)) {
        const std::string strError = ShowResultsPage(context.m_strResultsPagePath);
        if (!strError.empty())
            bridge.Message("The results page could not be shown in the browser.\n" + strError, kAppCaption);
    }
    bridge.SearchDone();
    return 0;
}

// ---------------------------------------------------------------------------

CSearchRun::~CSearchRun()
{
    Cancel();
    Join();
}

bool CSearchRun::Start(CSearchJob job, std::function<void()> onEnded)
{
    if (!m_bJoined)
        return false;
    if (!job.m_pCancel)
        job.m_pCancel = std::make_shared<CCancelSignal>();
    m_pJob = std::make_unique<CSearchJob>(std::move(job));
    m_bEnded = false;
    m_bJoined = false;
    std::function<int(CSearchJob&)> procedure = m_procedure ? m_procedure : SearchThreadProc;
    m_worker.Start([this, pJob = m_pJob.get(), procedure = std::move(procedure), onEnded = std::move(onEnded)] {
        procedure(*pJob);
        m_bEnded = true;
        if (onEnded)
            onEnded();
    }, m_pJob->m_pCancel);
    return true;
}

void CSearchRun::Cancel()
{
    m_worker.Stop();
}

void CSearchRun::Join()
{
    m_worker.Wait();
    m_bJoined = true;
}
