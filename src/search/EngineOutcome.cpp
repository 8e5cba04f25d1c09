// SPDX-License-Identifier: MIT
#include "search/EngineOutcome.h"

#include "results/ResultRows.h"
#include "search/BrowserPages.h"
#include "search/FetchState.h"
#include "search/SearchTexts.h"
#include "search/TemplateFormat.h"
#include "platform/Translate.h"

#include <algorithm>
#include <unordered_map>

namespace {

const std::string& PageCapText()
{
    static const std::string strCap = std::to_string(kMaxPageBytes >> 20) + " MiB";
    return strCap;
}

} // namespace

std::string CEngineOutcome::Describe() const
{
    const auto nHits = static_cast<unsigned long>(m_nHits);
    const std::string strBrowser = m_bByBrowser ? std::string(Tr(kLoadedByBrowser)) : std::string();
    const std::string strBrowserError =
        m_strBrowserError.empty() ? std::string() : "; " + std::string(Tr(m_strBrowserError.c_str()));
    switch (m_nKind) {
    case Kind::Hits:
        if (m_nHits == 0 && m_nDuplicates > 0)
            return Tr("0 hits (all duplicates)") + strBrowser;
        return FormatTemplate(TrN("%d hit", "%d hits", nHits), {CTemplateArg::Int(m_nHits)}) + strBrowser +
               (m_bPageCut ? Tr(" (a page held more hits than it may add; the rest was dropped)") : "") +
               (m_bPageTooLong
                    ? FormatTemplate(Tr(" (a page was longer than %s; the rest was dropped)"), {CTemplateArg::Text(PageCapText())})
                    : "");
    case Kind::NoResults:
        return (m_bPageTooLong ? FormatTemplate(Tr("no results in the first %s of its page"), {CTemplateArg::Text(PageCapText())})
                               : Tr("no results on its page")) +
               strBrowser + strBrowserError;
    case Kind::Refused:
        return FormatTemplate(Tr("refused: %s"), {CTemplateArg::Text(Tr(m_strText.c_str()))}) + strBrowser +
               strBrowserError;
    case Kind::HttpError:
        return "HTTP " + std::to_string(m_nHttpStatus) + (m_strText.empty() ? "" : " " + m_strText);
    case Kind::InternetError:
        return Tr(m_strText.c_str());
    case Kind::Cancelled:
        return m_nHits > 0 ? FormatTemplate(TrN("cancelled after %d hit", "cancelled after %d hits", nHits),
                                            {CTemplateArg::Int(m_nHits)})
                           : Tr("cancelled");
    case Kind::Pending:
        break;
    }
    return Tr("not searched");
}

const char* StandardReasonPhrase(long nStatus)
{
    switch (nStatus) {
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 402: return "Payment Required";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 406: return "Not Acceptable";
    case 407: return "Proxy Authentication Required";
    case 408: return "Request Timeout";
    case 410: return "Gone";
    case 418: return "I'm a teapot";
    case 429: return "Too Many Requests";
    case 451: return "Unavailable For Legal Reasons";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "";
    }
}

void CSearchOutcomes::Reset(const std::vector<std::string>& engineNames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_outcomes.clear();
    for (const std::string& strName : engineNames) {
        CEngineOutcome outcome;
        outcome.m_strEngine = strName;
        m_outcomes.push_back(std::move(outcome));
    }
}

void CSearchOutcomes::Set(size_t nIndex, CEngineOutcome outcome)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nIndex < m_outcomes.size())
        m_outcomes[nIndex] = std::move(outcome);
}

void CSearchOutcomes::CancelPending()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (CEngineOutcome& outcome : m_outcomes)
        if (outcome.m_nKind == CEngineOutcome::Kind::Pending)
            outcome.m_nKind = CEngineOutcome::Kind::Cancelled;
}

std::vector<CEngineOutcome> CSearchOutcomes::Get() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outcomes;
}

std::string FailureReport(const std::vector<CEngineOutcome>& outcomes, const std::vector<std::string>& messages)
{
    // Each engine that failed or refused, as the engine pane shows it; then what
    // else the search said (the link check's words). The engines' own messages
    // are what their lines say already.
    std::string strText;
    auto addLine = [&strText](const std::string& strLine) { strText += (strText.empty() ? "" : "\n") + strLine; };
    for (const CEngineOutcome& outcome : outcomes)
        if (outcome.IsFailure())
            addLine(outcome.m_strEngine + " - " + outcome.Describe());
    auto aboutAnEngine = [&outcomes](const std::string& strMessage) {
        if (strMessage == Tr(kMsgInvalidUrl))
            return true;
        for (const CEngineOutcome& outcome : outcomes)
            if (strMessage.rfind(outcome.m_strEngine + ": ", 0) == 0)
                return true;
        return false;
    };
    for (const std::string& strMessage : messages)
        if (!aboutAnEngine(strMessage))
            addLine(strMessage);
    return strText;
}

CEngineOutcome JudgeFirstPage(const CPageAnswer& first, int nHits, bool bTokenFound, const std::string& strRefusal)
{
    using Kind = CEngineOutcome::Kind;
    CEngineOutcome outcome;
    outcome.m_nHits = nHits;
    outcome.m_bByBrowser = first.m_bByBrowser;
    outcome.m_strBrowserError = first.m_strBrowserError;
    if (nHits > 0) {
        outcome.m_nKind = Kind::Hits;
    } else if (first.m_nStatus >= 400) {
        outcome.m_nKind = Kind::HttpError;
        outcome.m_nHttpStatus = first.m_nStatus;
        outcome.m_strText = first.m_strReason.empty() ? StandardReasonPhrase(first.m_nStatus) : first.m_strReason;
    } else if (!first.m_strError.empty() || first.m_nStatus == 0) {
        outcome.m_nKind = Kind::InternetError;
        outcome.m_strText = first.m_strError.empty() ? "no answer" : first.m_strError;
    } else if (!bTokenFound) {
        outcome.m_strText = strRefusal;
        outcome.m_nKind = strRefusal.empty() ? Kind::NoResults : Kind::Refused;
    } else {
        outcome.m_nKind = Kind::Hits; // answered: every hit was a duplicate
    }
    return outcome;
}

int RecountAfterVerifying(std::vector<CEngineOutcome>& outcomes, const CResultRows& rows)
{
    std::unordered_map<std::string, int> remaining;
    for (const CSearchHit& hit : rows.GetRows())
        ++remaining[hit.m_strEngine];
    int nDeleted = 0;
    for (CEngineOutcome& outcome : outcomes) {
        if (outcome.m_nKind != CEngineOutcome::Kind::Hits)
            continue;
        nDeleted += std::max(0, outcome.m_nHits - remaining[outcome.m_strEngine]);
        outcome.m_nHits = remaining[outcome.m_strEngine];
    }
    return nDeleted;
}
