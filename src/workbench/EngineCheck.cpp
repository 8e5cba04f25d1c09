// SPDX-License-Identifier: MIT
#include "workbench/EngineCheck.h"

#include "platform/CancelSignal.h"
#include "platform/WorkerThreads.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/BrowserPages.h"
#include "search/EngineOutcome.h"
#include "search/QueryComposer.h"
#include "search/extract/TokenPattern.h"
#include "workbench/EngineLearner.h"
#include "platform/Translate.h"
#include "search/TemplateFormat.h"

#include <atomic>

const char* VerdictName(CheckVerdict nVerdict)
{
    switch (nVerdict) {
    case CheckVerdict::Ok: return N_("ok");
    case CheckVerdict::NoHits: return N_("no-hits");
    case CheckVerdict::Refused: return N_("refused");
    case CheckVerdict::Failed: break;
    }
    return N_("failed");
}

std::string BrowserNote(const CEngineCheck& check, bool bTranslated)
{
    auto text = [bTranslated](const std::string& str) { return bTranslated ? std::string(Tr(str.c_str())) : str; };
    if (check.m_bByBrowser)
        return text(kLoadedByBrowser);
    return check.m_strBrowserError.empty() ? std::string() : "; " + text(check.m_strBrowserError);
}

std::string DescribeDetailForUser(const CEngineCheck& check)
{
    const std::string strNote = BrowserNote(check, false);
    if (check.m_nVerdict == CheckVerdict::Ok)
        return FormatTemplate(TrN("%d hit", "%d hits", check.m_hits.size()),
                              {CTemplateArg::Int(static_cast<long long>(check.m_hits.size()))}) +
               BrowserNote(check, true);
    // The fixed reasons have translations; the others stay as they are.
    const std::string strReason = check.m_strDetail.substr(0, check.m_strDetail.size() - strNote.size());
    return Tr(strReason.c_str()) + BrowserNote(check, true);
}

namespace {

std::string Plural(size_t n, const char* pszOne, const char* pszMany)
{
    return std::to_string(n) + " " + (n == 1 ? pszOne : pszMany);
}

// The definition's tokens and hits on the page, counted and cleaned as a search takes them.
void ReadPageWithTokens(const CSearchEngine& engine, const std::string& strQuery, const CPageAnswer& answer,
                        CEngineCheck& check)
{
    const std::string& page = answer.m_strText;
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
}

// Why a page that answered gave no hits.
std::string NoHitsDetail(const CSearchEngine& engine, const CPageAnswer& answer, const CEngineCheck& check)
{
    if (engine.m_strStartToken.empty())
        return N_("the start token is empty");
    if (engine.m_strEndToken.empty())
        return N_("the end token is empty");
    if (answer.m_strText.empty())
        return N_("the page is empty");
    if (check.m_nStartTokens == 0)
        return N_("start token not on the page");
    if (check.m_nDuplicates > 0)
        return N_("every hit was a duplicate");
    return "start token found " + Plural(check.m_nStartTokens, "time", "times") + ", but no link after it is a result";
}

} // namespace

CEngineCheck DiagnoseEngine(const CSearchEngine& engine, const std::string& strQuery, const CPageAnswer& answer)
{
    CEngineCheck check;
    check.m_strEngine = engine.m_strName;
    check.m_strAddress = answer.m_strAddress;
    check.m_nStatus = answer.m_nStatus;
    check.m_nPageBytes = answer.m_strText.size();
    // Scanned as a search scans it: not an error page, and only with both tokens.
    if (answer.m_nStatus < 400 && !engine.m_strStartToken.empty() && !engine.m_strEndToken.empty())
        ReadPageWithTokens(engine, strQuery, answer, check);

    // The verdict is the one a search gives the engine for this page, but a
    // check wants the whole page: an error of the transfer fails it, whatever
    // arrived before the error.
    const bool bTokenFound = check.m_nStartTokens > 0;
    const int nHits = answer.m_strError.empty() ? static_cast<int>(check.m_hits.size()) : 0;
    using Kind = CEngineOutcome::Kind;
    const CEngineOutcome outcome = JudgeFirstPage(answer, nHits, bTokenFound,
                                                  bTokenFound ? std::string() : AnswerRefusal(answer));
    switch (outcome.m_nKind) {
    case Kind::HttpError: check.m_nVerdict = CheckVerdict::Refused; check.m_strDetail = answer.DescribeStatus(); break;
    case Kind::Refused: check.m_nVerdict = CheckVerdict::Refused; check.m_strDetail = outcome.m_strText; break;
    case Kind::InternetError: check.m_nVerdict = CheckVerdict::Failed; check.m_strDetail = outcome.m_strText; break;
    default:
        check.m_nVerdict = check.m_hits.empty() ? CheckVerdict::NoHits : CheckVerdict::Ok;
        check.m_strDetail = check.m_hits.empty() ? NoHitsDetail(engine, answer, check)
                                                 : Plural(check.m_hits.size(), "hit", "hits");
    }
    check.m_bByBrowser = answer.m_bByBrowser;
    if (check.m_nVerdict == CheckVerdict::Refused && !answer.m_bByBrowser)
        check.m_strBrowserError = answer.m_strBrowserError;
    check.m_strDetail += BrowserNote(check, false);
    return check;
}

CEngineMend MendEngine(CInternetSession& session, const CSearchEngine& engine, const CEngineCheck& check,
                       const std::string& strQuery, CCancelSignal* pCancel)
{
    CEngineMend mend;
    mend.m_old = engine;
    if (check.m_nVerdict != CheckVerdict::NoHits) {
        mend.m_strWhy = check.m_nVerdict == CheckVerdict::Ok
                            ? Tr("it works")
                            : FormatTemplate(Tr("it %s: only a broken definition is mended"),
                                             {CTemplateArg::Text(VerdictName(check.m_nVerdict))});
        return mend;
    }
    CLearnRequest request;
    request.m_strName = engine.m_strName;
    request.m_strQuery = strQuery;
    request.m_strAddress = BuildFirstPageAddress(engine, ComposeQueryTerm(strQuery, kOptionAllWords), 20);
    const CLearnResult learned = LearnEngine(
        request, [&session, pCancel](CPageRequest page) {
            page.m_pCancel = pCancel;
            return FetchAnswer(session, page);
        },
        false);
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
            // The page goes again to the browser engine as a search would send it.
            const std::optional<CPageAnswer> answer =
                FetchAnswer(session, {BuildFirstPageAddress(engine, strTerm, 20), pCancel, BrowserRule::WallOrNoList,
                                      engine.m_strStartToken});
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
