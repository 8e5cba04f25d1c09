// SPDX-License-Identifier: MIT
#include "workbench/EngineCheck.h"

#include "platform/CancelSignal.h"
#include "platform/WorkerThreads.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/PageRefusal.h"
#include "search/QueryComposer.h"
#include "search/extract/TokenPattern.h"
#include "workbench/EngineLearner.h"

#include <atomic>

const char* VerdictName(CheckVerdict nVerdict)
{
    switch (nVerdict) {
    case CheckVerdict::Ok: return "ok";
    case CheckVerdict::NoHits: return "no-hits";
    case CheckVerdict::Refused: return "refused";
    case CheckVerdict::Failed: break;
    }
    return "failed";
}

namespace {

std::string Plural(size_t n, const char* pszOne, const char* pszMany)
{
    return std::to_string(n) + " " + (n == 1 ? pszOne : pszMany);
}

} // namespace

CEngineCheck DiagnoseEngine(const CSearchEngine& engine, const std::string& strQuery, const CPageAnswer& answer)
{
    CEngineCheck check;
    check.m_strEngine = engine.m_strName;
    check.m_strAddress = answer.m_strAddress;
    check.m_nStatus = answer.m_nStatus;
    check.m_nPageBytes = answer.m_strText.size();
    if (answer.m_nStatus >= 400) {
        check.m_nVerdict = CheckVerdict::Refused;
        check.m_strDetail = answer.DescribeStatus();
        return check;
    }
    // An error of the transfer fails the check, whatever arrived before it.
    if (answer.m_nStatus == 0 || !answer.m_strError.empty()) {
        check.m_nVerdict = CheckVerdict::Failed;
        check.m_strDetail = answer.m_strError.empty() ? "no answer" : answer.m_strError;
        return check;
    }
    const std::string& page = answer.m_strText;
    if (engine.m_strStartToken.empty() || engine.m_strEndToken.empty()) {
        check.m_nVerdict = CheckVerdict::NoHits;
        check.m_strDetail = engine.m_strStartToken.empty() ? "the start token is empty" : "the end token is empty";
        return check;
    }
    // Counted as the extraction matches them ({*} included).
    check.m_nStartTokens = CTokenPattern(engine.m_strStartToken).Count(page);
    check.m_nEndTokens = CTokenPattern(engine.m_strEndToken).Count(page);

    const CLinkCleaner links(answer.m_strUrl.empty() ? answer.m_strAddress : answer.m_strUrl, engine.m_strUrl);
    CResultRows rows, raw;
    const CPageHits hits = ExtractPageHits(page, rows, engine.m_strStartToken, engine.m_strEndToken,
                                           engine.m_strName, true, nullptr, &links);
    ExtractPageHits(page, raw, engine.m_strStartToken, engine.m_strEndToken, engine.m_strName, false);
    check.m_hits = rows.GetRows();
    check.m_nDuplicates = hits.m_nDuplicates;
    for (const CSearchHit& hit : check.m_hits)
        check.m_nEmptyDescriptions += hit.m_strDescription.empty();
    // Links resolved against the page alone, and as the search takes them.
    const CLinkCleaner resolver(answer.m_strUrl.empty() ? answer.m_strAddress : answer.m_strUrl, "");
    for (const CSearchHit& hit : raw.GetRows())
        check.m_nRedirectsUnwrapped += links.Clean(hit.m_strUrl) != resolver.Clean(hit.m_strUrl);
    if (engine.m_nSearchType != ResultCount && !check.m_hits.empty())
        check.m_strNextAddress = BuildNextPageAddress(engine, ComposeQueryTerm(strQuery, kOptionAllWords),
                                                      static_cast<int>(check.m_hits.size()),
                                                      HostOfUrl(check.m_strAddress));

    if (!check.m_hits.empty()) {
        check.m_nVerdict = CheckVerdict::Ok;
        check.m_strDetail = Plural(check.m_hits.size(), "hit", "hits");
        return check;
    }
    if (check.m_nStartTokens == 0) {
        const std::string strRefusal = RefusalReason(page);
        if (!strRefusal.empty()) {
            check.m_nVerdict = CheckVerdict::Refused;
            check.m_strDetail = strRefusal;
            return check;
        }
    }
    check.m_nVerdict = CheckVerdict::NoHits;
    if (page.empty())
        check.m_strDetail = "the page is empty";
    else if (check.m_nStartTokens == 0)
        check.m_strDetail = "start token not on the page";
    else if (hits.m_nDuplicates > 0)
        check.m_strDetail = "every hit was a duplicate";
    else
        check.m_strDetail = "start token found " + Plural(check.m_nStartTokens, "time", "times") +
                            ", but no link after it is a result";
    return check;
}

CEngineMend MendEngine(CInternetSession& session, const CSearchEngine& engine, const CEngineCheck& check,
                       const std::string& strQuery, CCancelSignal* pCancel)
{
    CEngineMend mend;
    mend.m_old = engine;
    if (check.m_nVerdict != CheckVerdict::NoHits) {
        mend.m_strWhy = check.m_nVerdict == CheckVerdict::Ok ? "it works" : "it " + std::string(VerdictName(check.m_nVerdict)) +
                                                                          ": only a broken definition is mended";
        return mend;
    }
    CLearnRequest request;
    request.m_strName = engine.m_strName;
    request.m_strQuery = strQuery;
    request.m_strAddress = BuildFirstPageAddress(engine, ComposeQueryTerm(strQuery, kOptionAllWords), 20);
    const std::optional<CPageAnswer> answer = FetchAnswer(session, {request.m_strAddress, pCancel});
    if (!answer) {
        mend.m_strWhy = "cancelled";
        return mend;
    }
    const CLearnResult learned = LearnFromPage(request, *answer, nullptr);
    if (learned.m_nVerdict != LearnVerdict::Learned) {
        mend.m_strWhy = DescribeLearnFailure(learned, strQuery);
        return mend;
    }
    mend.m_new = engine;
    mend.m_new.m_strStartToken = learned.m_engine.m_strStartToken;
    mend.m_new.m_strEndToken = learned.m_engine.m_strEndToken;
    mend.m_new.IsValid();
    mend.m_newHits = learned.m_hits;
    mend.m_bMended = true;
    return mend;
}

std::vector<CEngineCheck> CheckEngines(CInternetSession& session, const std::vector<CSearchEngine>& engines,
                                       const std::string& strQuery, CCancelSignal* pCancel)
{
    std::vector<CEngineCheck> checks(engines.size());
    const std::string strTerm = ComposeQueryTerm(strQuery, kOptionAllWords);
    std::atomic<size_t> nNext{0};
    auto work = [&] {
        for (size_t i = nNext++; i < engines.size(); i = nNext++) {
            const CSearchEngine& engine = engines[i];
            const std::optional<CPageAnswer> answer =
                FetchAnswer(session, {BuildFirstPageAddress(engine, strTerm, 20), pCancel});
            if (!answer) {
                checks[i].m_strEngine = engine.m_strName;
                checks[i].m_strDetail = "cancelled";
                continue;
            }
            checks[i] = DiagnoseEngine(engine, strQuery, *answer);
        }
    };
    CWorkerThreads pool;
    pool.Start(work, nullptr, std::min<size_t>(16, engines.size()));
    pool.Wait();
    return checks;
}
