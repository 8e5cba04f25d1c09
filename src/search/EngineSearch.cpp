// SPDX-License-Identifier: MIT
#include "search/EngineSearch.h"

#include "engines/SearchEngine.h"
#include "search/EngineOutcome.h"
#include "search/PageAnswer.h"
#include "search/FetchState.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/PageFetch.h"
#include "search/BrowserPages.h"
#include "search/QueryComposer.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"

#include <algorithm>

bool CLivePages::FetchPage(CFetchState& fs, const CSearchEngine& engine)
{
    return ::FetchPage(fs, engine);
}

namespace {

// What an engine's pages gave, as far as its outcome goes.
struct CPagesGiven
{
    bool m_bCancelled = false;
    std::string m_strNotAsked;   // why no page could be asked for (bad address, no connection)
    bool m_bFirstPage = false;   // a first page was fetched
    CPageAnswer m_first;         // its answer (without its text)
    bool m_bFirstTokenFound = false;
    std::string m_strFirstRefusal; // what the first page says when it is a refusal
    int m_nHits = 0;
    int m_nDuplicates = 0;
    bool m_bPageCut = false;
    bool m_bPageTooLong = false;
};

// The one place an engine's outcome is decided. An engine that listed hits has
// answered, whatever its first page said; otherwise its first page tells.
CEngineOutcome DecideOutcome(const CPagesGiven& given)
{
    using Kind = CEngineOutcome::Kind;
    CEngineOutcome outcome;
    if (given.m_bCancelled) {
        outcome.m_nKind = Kind::Cancelled;
    } else if (!given.m_strNotAsked.empty()) {
        outcome.m_nKind = Kind::InternetError;
        outcome.m_strText = given.m_strNotAsked;
    } else if (!given.m_bFirstPage) {
        outcome.m_nKind = Kind::Hits;
    } else {
        outcome = JudgeFirstPage(given.m_first, given.m_nHits, given.m_bFirstTokenFound, given.m_strFirstRefusal);
    }
    outcome.m_nHits = given.m_nHits;
    outcome.m_nDuplicates = given.m_nDuplicates;
    outcome.m_bPageCut = given.m_bPageCut;
    outcome.m_bPageTooLong = given.m_bPageTooLong;
    return outcome;
}

// Fetches the engine's pages into the rows, first page then next pages by its
// paging type, and says what they gave.
void SearchPages(const CEngineSearchRules& rules, const CSearchEngine& engine, CFetchState& fs, CResultRows& rows,
                 IPageSource& pages, CPagesGiven& given)
{
    const std::string strAddress = BuildFirstPageAddress(engine, rules.m_strQueryTerm, rules.m_nHitLimit);
    if (!ParseRequestTarget(fs, strAddress) || !IsRequestableTarget(fs)) {
        fs.Message(Tr(kMsgInvalidUrl));
        given.m_strNotAsked = kMsgInvalidUrl;
        return;
    }
    if (!ConnectToServer(fs, fs.m_strServer)) {
        given.m_strNotAsked = fs.m_answer.m_strError;
        return;
    }
    for (int nPages = 0;;) {
        // The next pages of an engine whose first page needed the browser
        // engine need it too; other engines' next pages only when they ask.
        fs.m_nBrowserRule = (nPages == 0 || given.m_first.m_bByBrowser) ? BrowserRule::WallOrNoList : BrowserRule::WallOnly;
        if (!pages.FetchPage(fs, engine)) {
            given.m_bCancelled = true;
            return;
        }
        const CPageAnswer& answer = fs.m_answer;
        const bool bFirst = nPages == 0;
        if (bFirst) {
            given.m_bFirstPage = true;
            given.m_first = answer;
            given.m_first.m_strText.clear();
        }
        if (answer.m_nStatus >= 400)
            return; // a refusal or an error page holds no hits: it is not scanned
        // An engine the catalogue holds but cannot use gives no hits. The hit
        // limit is applied between pages, not within one.
        const CLinkCleaner links(answer.m_strUrl, engine.m_strUrl);
        CPageHits pageHits;
        if (engine.m_bValid)
            pageHits = ExtractPageHits(answer.m_strText, rows, engine.m_strStartToken, engine.m_strEndToken,
                                       engine.m_strName, rules.m_bRemoveDups, fs.m_pCancel, &links,
                                       std::max(rules.m_nHitLimit, kMaxRowsPerPage),
                                       given.m_nHits + given.m_nDuplicates);
        if (fs.IsCancelled()) {
            given.m_bCancelled = true;
            return;
        }
        given.m_nHits += pageHits.m_nAdded;
        given.m_nDuplicates += pageHits.m_nDuplicates;
        given.m_bPageCut = given.m_bPageCut || pageHits.m_bCut;
        given.m_bPageTooLong = given.m_bPageTooLong || answer.m_bTooLong;
        if (bFirst) {
            given.m_bFirstTokenFound = pageHits.m_bTokenFound;
            if (!pageHits.m_bTokenFound && answer.m_strError.empty())
                given.m_strFirstRefusal = AnswerRefusal(answer);
        }
        ++nPages;
        if (engine.m_nSearchType == ResultCount || given.m_nHits >= rules.m_nHitLimit || pageHits.m_nAdded == 0)
            return;
        // The next page goes over the same connection. An address that cannot be
        // parsed ends this engine's paging: fetching the old target again would
        // only bring the same page back.
        const std::string strNext =
            BuildNextPageAddress(engine, rules.m_strQueryTerm, given.m_nHits, fs.m_strServer, nPages);
        if (!ParseRequestTarget(fs, strNext))
            return;
    }
}

} // namespace

bool SearchEnginePages(const CEngineSearchRules& rules, const CSearchEngine& engine, CFetchState& fs,
                       CResultRows& rows, IPageSource& pages, CEngineOutcome& outcome)
{
    CPagesGiven given;
    SearchPages(rules, engine, fs, rows, pages, given);
    std::string strEngine = std::move(outcome.m_strEngine);
    outcome = DecideOutcome(given);
    outcome.m_strEngine = std::move(strEngine);
    return !given.m_bCancelled;
}
