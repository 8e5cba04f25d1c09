// SPDX-License-Identifier: MIT
#include "search/EngineSearch.h"

#include "engines/SearchEngine.h"
#include "search/EngineOutcome.h"
#include "search/FetchState.h"
#include "search/HitExtraction.h"
#include "search/HitLink.h"
#include "search/PageFetch.h"
#include "search/PageRefusal.h"
#include "search/QueryComposer.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"

#include <algorithm>

bool CLivePages::FetchPage(CFetchState& fs, const CSearchEngine& engine)
{
    return ::FetchPage(fs, engine);
}

bool SearchEnginePages(const CEngineSearchRules& rules, const CSearchEngine& engine, CFetchState& fs,
                       CResultRows& rows, IPageSource& pages, CEngineOutcome& outcome)
{
    const std::string strAddress =
        BuildFirstPageAddress(engine, rules.m_strQueryTerm, rules.m_nHitLimit);
    if (!ParseRequestTarget(fs, strAddress) || !IsRequestableTarget(fs)) {
        fs.Message(kMsgInvalidUrl);
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
    int nPages = 0;
    for (;;) {
        if (!pages.FetchPage(fs, engine)) {
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
        // An engine the catalogue holds but cannot use gives no hits. The hit
        // limit is applied between pages, not within one.
        CPageHits pageHits;
        if (engine.m_bValid)
            pageHits = ExtractPageHits(fs.g_strPage, rows, engine.m_strStartToken, engine.m_strEndToken,
                                       engine.m_strName, rules.m_bRemoveDups, fs.m_pCancel, &links,
                                       std::max(rules.m_nHitLimit, kMaxRowsPerPage));
        const int nAdded = pageHits.m_nAdded;
        if (fs.IsCancelled()) {
            outcome.m_nKind = CEngineOutcome::Kind::Cancelled;
            return false;
        }
        outcome.m_nHits += nAdded;
        outcome.m_nDuplicates += pageHits.m_nDuplicates;
        outcome.m_bPageCut = outcome.m_bPageCut || pageHits.m_bCut;
        outcome.m_bPageTooLong = outcome.m_bPageTooLong || fs.m_bPageTooLong;
        if (bFirstPage) {
            if (!fs.m_strLastError.empty()) {
                outcome.m_nKind = CEngineOutcome::Kind::InternetError;
                outcome.m_strText = fs.m_strLastError;
            } else if (!pageHits.m_bTokenFound) {
                // A page without the token may be the engine's refusal.
                outcome.m_strText = RefusalReason(fs.g_strPage);
                outcome.m_nKind = outcome.m_strText.empty() ? CEngineOutcome::Kind::NoResults
                                                            : CEngineOutcome::Kind::Refused;
            }
        }
        bFirstPage = false;
        ++nPages;
        if (engine.m_nSearchType == ResultCount || outcome.m_nHits >= rules.m_nHitLimit || nAdded == 0)
            break;
        // The next page goes over the same connection. An address that cannot be
        // parsed ends this engine's paging: fetching the old target again would
        // only bring the same page back.
        const std::string strNext =
            BuildNextPageAddress(engine, rules.m_strQueryTerm, outcome.m_nHits, fs.g_strServer, nPages);
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
