#include "search/SearchJob.h"

#include "platform/CancelSignal.h"
#include "platform/SearchHost.h"
#include "results/LinkVerifier.h"
#include "results/ResultRows.h"
#include "results/ResultsPage.h"
#include "search/FetchState.h"
#include "search/PageFetch.h"
#include "search/QueryComposer.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"

namespace {

// Fetches and extracts one engine's pages. False when the search was cancelled.
bool SearchOneEngine(CSearchJob& job, CFetchState& fs, const CSearchEngine& engine)
{
    const std::string strAddress =
        BuildFirstPageAddress(engine, job.m_strQueryTerm, job.m_nHitLimit);
    if (!ParseRequestTarget(fs, strAddress) || !IsRequestableTarget(fs)) {
        fs.g_hStatusWnd->Message(kMsgInvalidUrl, kAppCaption);
        return true;
    }
    if (!ConnectToServer(fs, fs.g_strServer))
        return true;

    int nCount = 0;
    for (;;) {
        if (!FetchPage(fs, engine))
            return false;
        int nAdded = 0;
        engine.AddHitsFromPage(fs.g_strPage, *job.m_pResultList, job.m_nHitLimit, nAdded,
                               job.m_bRemoveDups, fs.m_pCancel);
        if (fs.IsCancelled())
            return false;
        nCount += nAdded;
        if (engine.m_nSearchType == ResultCount || nCount >= job.m_nHitLimit || nAdded == 0)
            return true;
        // The next page goes over the same connection. An address that cannot be
        // parsed ends this engine's paging: fetching the old target again would
        // only bring the same page back.
        const std::string strNext =
            BuildNextPageAddress(engine, job.m_strQueryTerm, nCount, fs.g_strServer);
        if (!ParseRequestTarget(fs, strNext))
            return true;
    }
}

} // namespace

int SearchThreadProc(CSearchJob& job)
{
    CCancelSignal& cancel = *job.m_pCancel;
    CSearchHostBridge bridge(job.m_pHost, cancel);
    CFetchState fs;
    fs.m_pCancel = &cancel;
    fs.g_bShowHtml = job.m_bShowResultsPage;
    fs.m_strResultsPagePath = GetResultsPagePath();
    if (job.m_bResetResultsPage)
        ResetResultsPage(fs.m_strResultsPagePath);

    // However the run ends after a cancel, the last status text says so (once).
    auto endCancelled = [&bridge] {
        bridge.StatusCancelled(kStatusFindCancelled);
        return 0;
    };
    for (const CSearchEngine& engine : job.m_engines) {
        if (cancel.IsSignalled())
            return endCancelled();
        if (!engine.m_bValid)
            continue;
        fs.g_hStatusWnd = &bridge;
        fs.g_pSession = job.m_pSession;
        const bool bGoOn = SearchOneEngine(job, fs, engine);
        fs.g_strPage.clear();
        fs.g_pConnection.reset();
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
