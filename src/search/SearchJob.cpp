#include "search/SearchJob.h"

#include "platform/CancelSignal.h"
#include "platform/SearchHost.h"
#include "results/LinkVerifier.h"
#include "results/ResultRows.h"
#include "results/ResultsPage.h"
#include "search/FetchState.h"
#include "search/HitExtraction.h"
#include "search/HitLink.h"
#include "search/PageFetch.h"
#include "search/QueryComposer.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"

namespace {

// Fetches and extracts one engine's pages into its outcome. False when the
// search was cancelled.
bool SearchOneEngine(CSearchJob& job, CFetchState& fs, const CSearchEngine& engine,
                     CEngineOutcome& outcome)
{
    const std::string strAddress =
        BuildFirstPageAddress(engine, job.m_strQueryTerm, job.m_nHitLimit);
    if (!ParseRequestTarget(fs, strAddress) || !IsRequestableTarget(fs)) {
        fs.g_hStatusWnd->Message(kMsgInvalidUrl, kAppCaption);
        outcome.m_nKind = CEngineOutcome::Kind::InternetError;
        outcome.m_strText = kMsgInvalidUrl;
        return true;
    }
    if (!ConnectToServer(fs, fs.g_strServer)) {
        outcome.m_nKind = CEngineOutcome::Kind::InternetError;
        outcome.m_strText = fs.m_strLastError;
        return true;
    }

    // How the first page went decides the outcome of an engine that lists nothing.
    bool bFirstPage = true;
    for (;;) {
        if (!FetchPage(fs, engine)) {
            outcome.m_nKind = CEngineOutcome::Kind::Cancelled;
            return false;
        }
        if (fs.m_nPageStatus >= 400) {
            // A refusal or an error page holds no hits: it is not scanned.
            if (bFirstPage) {
                outcome.m_nKind = CEngineOutcome::Kind::HttpError;
                outcome.m_nHttpStatus = fs.m_nPageStatus;
                outcome.m_strText =
                    fs.m_strPageReason.empty() ? StandardReasonPhrase(fs.m_nPageStatus) : fs.m_strPageReason;
            }
            break;
        }
        const CLinkCleaner links(fs.m_strPageUrl, engine.m_strUrl);
        int nAdded = 0;
        CPageHits pageHits;
        engine.AddHitsFromPage(fs.g_strPage, *job.m_pResultList, job.m_nHitLimit, nAdded,
                               job.m_bRemoveDups, fs.m_pCancel, &links, &pageHits);
        if (fs.IsCancelled()) {
            outcome.m_nKind = CEngineOutcome::Kind::Cancelled;
            return false;
        }
        outcome.m_nHits += nAdded;
        outcome.m_nDuplicates += pageHits.m_nDuplicates;
        if (bFirstPage) {
            if (!fs.m_strLastError.empty()) {
                outcome.m_nKind = CEngineOutcome::Kind::InternetError;
                outcome.m_strText = fs.m_strLastError;
            } else if (!pageHits.m_bTokenFound) {
                outcome.m_nKind = CEngineOutcome::Kind::NoResults;
            }
        }
        bFirstPage = false;
        if (engine.m_nSearchType == ResultCount || outcome.m_nHits >= job.m_nHitLimit || nAdded == 0)
            break;
        // The next page goes over the same connection. An address that cannot be
        // parsed ends this engine's paging: fetching the old target again would
        // only bring the same page back.
        const std::string strNext =
            BuildNextPageAddress(engine, job.m_strQueryTerm, outcome.m_nHits, fs.g_strServer);
        if (!ParseRequestTarget(fs, strNext))
            break;
    }
    // An engine that listed hits has answered, whatever its first page said.
    if (outcome.m_nHits > 0 || outcome.m_nKind == CEngineOutcome::Kind::Pending) {
        outcome.m_nKind = CEngineOutcome::Kind::Hits;
        outcome.m_strText.clear();
    }
    return true;
}

} // namespace

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
    CFetchState fs;
    fs.m_pCancel = &cancel;
    fs.g_bShowHtml = job.m_bShowResultsPage;
    fs.m_strResultsPagePath = GetResultsPagePath();
    if (job.m_bResetResultsPage)
        ResetResultsPage(fs.m_strResultsPagePath);

    // However the run ends after a cancel, the last status text says so (once),
    // and every engine not finished is cancelled.
    auto endCancelled = [&bridge, &outcomes] {
        outcomes.CancelPending();
        bridge.StatusCancelled(kStatusFindCancelled);
        return 0;
    };
    for (size_t i = 0; i < job.m_engines.size(); ++i) {
        const CSearchEngine& engine = job.m_engines[i];
        if (cancel.IsSignalled())
            return endCancelled();
        if (!engine.m_bValid)
            continue;
        fs.g_hStatusWnd = &bridge;
        fs.g_pSession = job.m_pSession;
        fs.m_strEngine = engine.m_strName;
        CEngineOutcome outcome;
        outcome.m_strEngine = engine.m_strName;
        const bool bGoOn = SearchOneEngine(job, fs, engine, outcome);
        outcomes.Set(i, std::move(outcome));
        fs.g_strPage.clear();
        fs.g_pConnection.reset();
        fs.m_strEngine.clear();
        if (!bGoOn)
            return endCancelled();
    }
    if (cancel.IsSignalled())
        return endCancelled();
    if (job.m_bVerifyLinks) {
        fs.g_hStatusWnd = &bridge;
        fs.g_pSession = job.m_pSession;
        bridge.Status(kStatusVerifyingAll);
        VerifyLinks(fs, *job.m_pResultList, job.m_nMaxParallelChecks);
        if (cancel.IsSignalled())
            return endCancelled();
    }
    bridge.SearchDone();
    if (job.m_bShowResultsPage && job.m_bOpenResultsPage && !cancel.IsSignalled())
        ShowResultsPage(fs.m_strResultsPagePath);
    return 0;
}

// ---------------------------------------------------------------------------

CSearchRun::~CSearchRun()
{
    Cancel();
    Join();
}

bool CSearchRun::Start(CSearchJob job)
{
    if (m_thread.joinable())
        return false;
    if (!job.m_pCancel)
        job.m_pCancel = std::make_shared<CCancelSignal>();
    CSearchJob* pJob = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pJob = std::make_unique<CSearchJob>(std::move(job));
        pJob = m_pJob.get();
    }
    m_bFinished = false;
    m_thread = std::thread([this, pJob] {
        SearchThreadProc(*pJob);
        m_bFinished = true;
    });
    return true;
}

void CSearchRun::Cancel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pJob && m_pJob->m_pCancel)
        m_pJob->m_pCancel->Signal();
}

void CSearchRun::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

CCancelSignal* CSearchRun::GetCancelSignal() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pJob ? m_pJob->m_pCancel.get() : nullptr;
}
