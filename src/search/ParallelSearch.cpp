// SPDX-License-Identifier: MIT
#include "search/ParallelSearch.h"

#include "engines/SearchEngine.h"
#include "platform/CancelSignal.h"
#include "results/ResultRows.h"
#include "results/ResultsPage.h"
#include "search/EngineOutcome.h"
#include "search/PageFetch.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

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
        for (std::thread& thread : m_pool)
            thread.join();
        if (m_context.m_pCancel)
            m_context.m_pCancel->RemoveWaker(m_nWaker);
    }

    void StartPool(size_t nMaxAtOnce)
    {
        const size_t nThreads = std::min(std::max<size_t>(nMaxAtOnce, 1), m_engines.size());
        for (size_t i = 0; i < nThreads; ++i)
            m_pool.emplace_back([this] {
                for (size_t n = m_nNext++; n < m_engines.size(); n = m_nNext++)
                    LookAhead(n);
            });
    }

    bool Commit(CResultRows& rows, CSearchOutcomes& outcomes);

private:
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
    std::vector<std::thread> m_pool;
    int m_nWaker = 0;
};

// The look-ahead's source: fetches now and keeps every page with the message
// boxes its fetch raised.
class CSideBySide::CRecordingPages : public IPageSource
{
public:
    CRecordingPages(CSideBySide& search, CLookAhead& lookAhead) : m_search(search), m_lookAhead(lookAhead) {}

    bool FetchPage(CFetchState& fs, const CSearchEngine& engine) override
    {
        CFetchedPage page;
        page.m_strObject = fs.g_strObject;
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

private:
    CSideBySide& m_search;
    CLookAhead& m_lookAhead;
};

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
            if (TakeNext(fs.g_strObject, page)) {
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
        CResultRows ownRows;                     // duplicates of its own hits only
        CRecordingPages pages(*this, lookAhead);
        CEngineOutcome unused;
        SearchEnginePages(m_rules, engine, fs, ownRows, pages, unused);
        fs.GiveBackBudget(); // its copy of the last page goes
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    lookAhead.m_bDone = true;
    m_changed.notify_all();
}

void CSideBySide::DropPages(CLookAhead& lookAhead, size_t nFrom)
{
    std::lock_guard<std::mutex> lock(m_mutex);
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
        const bool bGoOn = SearchEnginePages(m_rules, engine, fs, rows, pages, outcome);
        outcomes.Set(i, std::move(outcome));
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
