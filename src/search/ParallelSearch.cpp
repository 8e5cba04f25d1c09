// SPDX-License-Identifier: MIT
#include "search/ParallelSearch.h"

#include "engines/SearchEngine.h"
#include "platform/CancelSignal.h"
#include "platform/WorkerThreads.h"
#include "results/ResultRows.h"
#include "results/ResultsPage.h"
#include "search/EngineOutcome.h"
#include "search/PageFetch.h"

#include <atomic>
#include <unordered_map>
#include <unordered_set>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

constexpr size_t kAllHits = SIZE_MAX;

// A hash of the URL of each row from the one given on.
std::vector<size_t> UrlHashes(const CResultRows& rows, int nFrom)
{
    std::vector<size_t> hashes;
    for (int nRow = nFrom, nRows = rows.GetRowCount(); nRow < nRows; ++nRow)
        hashes.push_back(std::hash<std::string>{}(rows.GetCell(nRow, 1)));
    return hashes;
}

// One page as the look-ahead fetched it.
struct CFetchedPage
{
    std::string m_strObject; // the request target it answers
    bool m_bCancelled = false;
    CPageAnswer m_answer;
    std::vector<std::string> m_messages; // raised by its fetch, shown at commit
    size_t m_nBudgetBytes = 0;           // what the page's text holds of the search's page budget
};

// One engine's look-ahead: the pages so far, guarded by the search's mutex.
struct CLookAhead
{
    std::vector<CFetchedPage> m_pages;
    bool m_bDone = false;
    CCancelSignal m_cancel; // set by the search's cancel, or when its pages are not wanted
    int m_nWaker = 0;
    // How far down its own list the engines after it know its hits; kAllHits
    // once they are all known.
    size_t m_nRankShared = 0;
};

class CSideBySide
{
public:
    CSideBySide(const std::vector<CSearchEngine>& engines, const CEngineSearchRules& rules,
                const CSearchContext& context)
        : m_engines(engines), m_rules(rules), m_context(context), m_lookAheads(engines.size())
    {
        for (auto& pLookAhead : m_lookAheads)
            pLookAhead = std::make_unique<CLookAhead>();
        // The search's cancel ends every look-ahead's transfer and every wait.
        if (m_context.m_pCancel) {
            m_nWaker = m_context.m_pCancel->AddWaker([this] {
                for (auto& pLookAhead : m_lookAheads)
                    pLookAhead->m_cancel.Signal();
                std::lock_guard<std::mutex> lock(m_mutex);
                m_changed.notify_all();
            });
            if (m_context.m_pCancel->IsSignalled())
                for (auto& pLookAhead : m_lookAheads)
                    pLookAhead->m_cancel.Signal();
        }
    }

    ~CSideBySide()
    {
        for (auto& pLookAhead : m_lookAheads)
            pLookAhead->m_cancel.Signal();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_changed.notify_all(); // a look-ahead may wait for the engines before it
        }
        m_pool.Wait();
        if (m_context.m_pCancel)
            m_context.m_pCancel->RemoveWaker(m_nWaker);
    }

    void StartPool(size_t nMaxAtOnce)
    {
        const size_t nThreads = std::min(std::max<size_t>(nMaxAtOnce, 1), m_engines.size());
        if (nThreads > 0)
            m_pool.Start([this] {
                for (size_t n = m_nNext++; n < m_engines.size(); n = m_nNext++)
                    LookAhead(n);
            }, nullptr, nThreads);
    }

    bool Commit(CResultRows& rows, CSearchOutcomes& outcomes);

private:
    class CLookAheadRows;

    // With duplicates removed, an engine's count, and so the address of its next
    // page and whether one is asked at all, depends on the hits of the engines
    // before it. Each look-ahead shares the hits of its pages as it goes; a
    // paging engine's look-ahead tests its n-th hit once the engines before it
    // have shared theirs down to the n-th (or all of theirs). Where engines list a
    // page they share at about the same place, as engines do, the look-ahead
    // then asks exactly the pages the commit will ask.
    void ShareHits(size_t nEngine, const std::vector<size_t>& hashes, size_t nRank);
    bool IsListedBefore(size_t nEngine, size_t nRank, size_t nUrlHash);

    class CRecordingPages;
    class CReplayPages;

    bool IsCancelled() const { return m_context.m_pCancel && m_context.m_pCancel->IsSignalled(); }
    void LookAhead(size_t nEngine);
    // Frees the look-ahead's pages from the next one to be taken on (they are
    // not wanted), giving their bytes back to the budget.
    void DropPages(CLookAhead& lookAhead, size_t nFrom);

    const std::vector<CSearchEngine>& m_engines;
    const CEngineSearchRules& m_rules;
    const CSearchContext m_context;
    std::vector<std::unique_ptr<CLookAhead>> m_lookAheads;
    // What the look-aheads' pages may hold together; past it a look-ahead
    // stops and the commit fetches that engine's pages itself.
    CPageBudget m_budget{kLookAheadBudgetBytes};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::atomic<size_t> m_nNext{0};
    // A hash of each hit URL the look-aheads listed, to the first engine that
    // listed it. A rare false match only makes a look-ahead guess wrong, which
    // the commit notices as it does any page not asked for.
    std::unordered_map<size_t, size_t> m_listedBy;
    CWorkerThreads m_pool;
    int m_nWaker = 0;
};

// The look-ahead's source: fetches now and keeps every page with the message
// boxes its fetch raised.
class CSideBySide::CRecordingPages : public IPageSource
{
public:
    // pRows: the look-ahead's rows when they share their hits, or null.
    CRecordingPages(CSideBySide& search, CLookAhead& lookAhead, CLookAheadRows* pRows)
        : m_search(search), m_lookAhead(lookAhead), m_pRows(pRows)
    {
    }

    bool FetchPage(CFetchState& fs, const CSearchEngine& engine) override;

private:
    bool Record(CFetchState& fs, const CSearchEngine& engine)
    {
        CFetchedPage page;
        page.m_strObject = fs.m_strObject;
        fs.m_nMessageRoute = MessageRoute::Record;
        fs.m_recordedMessages.clear();
        const bool bFetched = ::FetchPage(fs, engine);
        fs.m_nMessageRoute = MessageRoute::Drop;
        page.m_bCancelled = !bFetched;
        // The look-ahead reads its own copy of the page for its paging; the
        // copy kept for the commit counts against the budget as well.
        if (bFetched && m_search.m_budget.Take(fs.m_answer.m_strText.size())) {
            page.m_answer = fs.m_answer;
            page.m_nBudgetBytes = page.m_answer.m_strText.size();
        } else {
            // Cancelled, or over the budget: the commit fetches it itself.
            page.m_bCancelled = true;
            fs.GiveBackBudget();
            fs.m_answer.m_strText.clear();
        }
        page.m_messages = std::move(fs.m_recordedMessages);
        const bool bKept = !page.m_bCancelled;
        std::lock_guard<std::mutex> lock(m_search.m_mutex);
        m_lookAhead.m_pages.push_back(std::move(page));
        m_search.m_changed.notify_all();
        return bKept;
    }

    CSideBySide& m_search;
    CLookAhead& m_lookAhead;
    CLookAheadRows* m_pRows;
};

// A look-ahead's rows: its own hits, tested against the engines before it too
// when it pages.
class CSideBySide::CLookAheadRows
{
public:
    CLookAheadRows(CSideBySide& search, size_t nEngine, bool bFollow) : m_search(search), m_nEngine(nEngine)
    {
        if (bFollow)
            m_rows.SetListedElsewhere([this](std::string_view url) { return IsListedBefore(url); });
    }

    CResultRows& Get() { return m_rows; }

    // Its hits so far, for the engines after it; bAll: they are all it lists.
    void Share(bool bAll = false)
    {
        const std::vector<size_t> hashes = UrlHashes(m_rows, m_nRowsShared);
        m_nRowsShared += static_cast<int>(hashes.size());
        m_search.ShareHits(m_nEngine, hashes, bAll ? kAllHits : Rank());
    }

private:
    // How far down its own list it is: the distinct hits seen, listed or not.
    size_t Rank() const { return static_cast<size_t>(m_rows.GetRowCount()) + m_listedBefore.size(); }

    bool IsListedBefore(std::string_view url)
    {
        const size_t nHash = std::hash<std::string_view>{}(url);
        if (m_listedBefore.count(nHash))
            return true; // met again on a later page: no further down the list
        if (!m_search.IsListedBefore(m_nEngine, Rank() + 1, nHash))
            return false;
        m_listedBefore.insert(nHash);
        return true;
    }

    CSideBySide& m_search;
    const size_t m_nEngine;
    CResultRows m_rows;
    std::unordered_set<size_t> m_listedBefore; // its hits the engines before it listed
    int m_nRowsShared = 0;
};

bool CSideBySide::CRecordingPages::FetchPage(CFetchState& fs, const CSearchEngine& engine)
{
    if (m_pRows)
        m_pRows->Share(); // the pages before this one
    return Record(fs, engine);
}

// The commit's source: the look-ahead's pages while they answer the requests the
// one-after-another search makes, then pages fetched now.
class CSideBySide::CReplayPages : public IPageSource
{
public:
    CReplayPages(CSideBySide& search, CLookAhead& lookAhead) : m_search(search), m_lookAhead(lookAhead) {}

    bool FetchPage(CFetchState& fs, const CSearchEngine& engine) override
    {
        if (!m_bLive) {
            CFetchedPage page;
            if (TakeNext(fs.m_strObject, page)) {
                Deliver(fs, page);
                return true;
            }
            if (m_search.IsCancelled())
                return false;
            // From here on the look-ahead's pages are not the ones asked for.
            m_lookAhead.m_cancel.Signal();
            m_search.DropPages(m_lookAhead, m_nNext);
            m_bLive = true;
            fs.m_bQuiet = false; // the commit's own fetches say what they do
        }
        return ::FetchPage(fs, engine);
    }

private:
    // Waits for the look-ahead's next page; false when it has none for this request.
    bool TakeNext(const std::string& strObject, CFetchedPage& page)
    {
        std::unique_lock<std::mutex> lock(m_search.m_mutex);
        m_search.m_changed.wait(lock, [this] {
            return m_nNext < m_lookAhead.m_pages.size() || m_lookAhead.m_bDone || m_search.IsCancelled();
        });
        if (m_search.IsCancelled() || m_nNext >= m_lookAhead.m_pages.size())
            return false;
        CFetchedPage& next = m_lookAhead.m_pages[m_nNext];
        if (next.m_bCancelled || next.m_strObject != strObject)
            return false;
        page = std::move(next);
        ++m_nNext;
        m_search.m_budget.Give(page.m_nBudgetBytes); // the commit holds one page at a time
        return true;
    }

    // What FetchPage would have left, shown as it would have been.
    static void Deliver(CFetchState& fs, CFetchedPage& page)
    {
        fs.m_answer = std::move(page.m_answer);
        for (const std::string& strMessage : page.m_messages)
            fs.Message(strMessage);
        // The look-ahead showed its status texts; a failed write is said now.
        CollectPage(fs);
    }

    CSideBySide& m_search;
    CLookAhead& m_lookAhead;
    size_t m_nNext = 0;
    bool m_bLive = false;

public:
    size_t GetNext() const { return m_nNext; }
};

void CSideBySide::LookAhead(size_t nEngine)
{
    CLookAhead& lookAhead = *m_lookAheads[nEngine];
    const CSearchEngine& engine = m_engines[nEngine];
    if (engine.m_bValid && !lookAhead.m_cancel.IsSignalled()) {
        CFetchState fs(m_context);
        fs.m_pCancel = &lookAhead.m_cancel;
        fs.m_pPageBudget = &m_budget;
        fs.m_strEngine = engine.m_strName;
        fs.m_nMessageRoute = MessageRoute::Drop; // the commit raises them again
        fs.m_bKeepPagesOut = true;               // the commit writes the results page
        const bool bShare = m_rules.m_bRemoveDups;
        CLookAheadRows rows(*this, nEngine, bShare && nEngine > 0 && engine.m_nSearchType != ResultCount);
        CRecordingPages pages(*this, lookAhead, bShare ? &rows : nullptr);
        CEngineOutcome unused;
        // Pages it left to the commit (over the budget, or not wanted) leave
        // its list unfinished: then the commit shares the engine's hits.
        const bool bWhole = SearchEnginePages(m_rules, engine, fs, rows.Get(), pages, unused) &&
                            !lookAhead.m_cancel.IsSignalled();
        if (bShare)
            rows.Share(bWhole);
        fs.GiveBackBudget(); // its copy of the last page goes
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!engine.m_bValid)
        lookAhead.m_nRankShared = kAllHits; // it lists nothing
    lookAhead.m_bDone = true;
    m_changed.notify_all();
}

void CSideBySide::ShareHits(size_t nEngine, const std::vector<size_t>& hashes, size_t nRank)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const size_t nHash : hashes) {
        const auto [it, bNew] = m_listedBy.emplace(nHash, nEngine);
        if (!bNew && it->second > nEngine)
            it->second = nEngine;
    }
    size_t& nShared = m_lookAheads[nEngine]->m_nRankShared;
    nShared = std::max(nShared, nRank);
    m_changed.notify_all();
}

bool CSideBySide::IsListedBefore(size_t nEngine, size_t nRank, size_t nHash)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] {
        if (m_lookAheads[nEngine]->m_cancel.IsSignalled() || IsCancelled())
            return true;
        for (size_t i = 0; i < nEngine; ++i)
            if (m_lookAheads[i]->m_nRankShared < nRank)
                return false;
        return true;
    });
    const auto it = m_listedBy.find(nHash);
    return it != m_listedBy.end() && it->second < nEngine;
}

void CSideBySide::DropPages(CLookAhead& lookAhead, size_t nFrom)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changed.notify_all(); // its look-ahead may wait for the engines before it
    for (size_t i = nFrom; i < lookAhead.m_pages.size(); ++i) {
        CFetchedPage& page = lookAhead.m_pages[i];
        m_budget.Give(page.m_nBudgetBytes);
        page.m_nBudgetBytes = 0;
        std::string().swap(page.m_answer.m_strText);
    }
}

bool CSideBySide::Commit(CResultRows& rows, CSearchOutcomes& outcomes)
{
    for (size_t i = 0; i < m_engines.size(); ++i) {
        const CSearchEngine& engine = m_engines[i];
        if (IsCancelled())
            return false;
        if (!engine.m_bValid)
            continue;
        CFetchState fs(m_context);
        fs.m_strEngine = engine.m_strName;
        fs.m_bQuiet = true; // the look-ahead has shown the status texts
        CReplayPages pages(*this, *m_lookAheads[i]);
        CEngineOutcome outcome;
        outcome.m_strEngine = engine.m_strName;
        const int nRowsBefore = rows.GetRowCount();
        const bool bGoOn = SearchEnginePages(m_rules, engine, fs, rows, pages, outcome);
        outcomes.Set(i, std::move(outcome));
        if (m_rules.m_bRemoveDups)
            ShareHits(i, UrlHashes(rows, nRowsBefore), kAllHits);
        // Pages beyond the ones committed are not wanted.
        m_lookAheads[i]->m_cancel.Signal();
        DropPages(*m_lookAheads[i], pages.GetNext());
        if (!bGoOn)
            return false;
    }
    return !IsCancelled();
}

} // namespace

bool SearchEnginesSideBySide(const std::vector<CSearchEngine>& engines, const CEngineSearchRules& rules,
                             const CSearchContext& context, CResultRows& rows, CSearchOutcomes& outcomes,
                             size_t nMaxAtOnce)
{
    CSideBySide search(engines, rules, context);
    search.StartPool(nMaxAtOnce);
    return search.Commit(rows, outcomes);
}
