// SPDX-License-Identifier: MIT
#include "search/LinkVerifier.h"

#include "platform/CancelSignal.h"
#include "results/ResultRows.h"
#include "search/FetchState.h"
#include "search/PageFetch.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"
#include "search/TemplateFormat.h"
#include "platform/Url.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

bool UrlExists(const CHttpCheckResult& result)
{
    if (!result.m_bAnswered)
        return false;
    const long n = result.m_nStatus;
    return (n > 0 && n < 400) || n == 401 || n == 403 || n == 405 || n == 429;
}

namespace {

// One row taken into the pass, from its start until it is decided.
struct CPendingRow
{
    std::string m_strUrl;
    std::string m_strOrigin; // scheme, host and port: what the per-host limit counts
    std::unique_ptr<CHttpConnection> m_pConnection; // kept until its check starts
    std::string m_strObject;
    int m_nCheckId = 0;      // its running check, 0 when none
    bool m_bWaiting = false; // ready to be checked, its host is busy
    bool m_bDecided = false;
    bool m_bDead = false;
};

// How far ahead of the first undecided row the pass takes rows in.
constexpr size_t kMaxWindow = 256;

} // namespace

void VerifyLinks(CFetchState& fs, CResultRows& rows, int nMaxParallel, int nMaxPerHost)
{
    const int nUrlColumn = CResultRows::FindColumn(kColumnUrl);
    int nCount = rows.GetRowCount();
    int nRow = 0; // the row at the head of the window
    std::deque<CPendingRow> window;
    std::unordered_map<int, CPendingRow*> running; // by check id
    std::unordered_map<std::string, int> perOrigin;
    CHttpCheckSet checks(fs.m_pCancel);
    nMaxParallel = std::max(nMaxParallel, 1);
    nMaxPerHost = std::max(nMaxPerHost, 1);

    auto startCheck = [&](CPendingRow& pending) {
        pending.m_nCheckId = checks.Add(*pending.m_pConnection, pending.m_strObject);
        pending.m_pConnection.reset();
        pending.m_bWaiting = false;
        running[pending.m_nCheckId] = &pending;
        ++perOrigin[pending.m_strOrigin];
    };
    // Takes the next row of the list into the window: its status text, its parse
    // (with the "Invalid URL" box in list order) and, when it can be requested,
    // its connection.
    // Links that cannot be requested are said once, after the pass, not in a
    // box each.
    int nNotChecked = 0;
    std::string strFirstNotChecked;
    // A host that did not answer twice in the pass is not asked again: its
    // other links take the same verdict, said once after the pass.
    std::unordered_map<std::string, int> unanswered; // by origin
    std::unordered_map<std::string, std::string> silent; // origin -> its host, for the notice
    int nUnasked = 0;
    std::string strFirstUnasked;
    auto decideUnasked = [&](CPendingRow& pending) {
        pending.m_pConnection.reset();
        pending.m_bWaiting = false;
        pending.m_bDecided = true;
        pending.m_bDead = true;
        if (nUnasked++ == 0)
            strFirstUnasked = silent[pending.m_strOrigin];
    };
    const MessageRoute nRoute = fs.m_nMessageRoute;
    auto takeRow = [&](int nPosition) {
        window.emplace_back();
        CPendingRow& pending = window.back();
        pending.m_strUrl = rows.GetCell(nPosition, nUrlColumn);
        ReportStatus(fs, Tr(kStatusVerifyingUrl) + pending.m_strUrl);
        InternetScheme nScheme = kSchemeUnknown;
        fs.m_nMessageRoute = MessageRoute::Record;
        fs.m_recordedMessages.clear();
        const bool bRequestable = ParseRequestTarget(fs, pending.m_strUrl, &nScheme) && IsRequestableTarget(fs) &&
                                  ConnectToServer(fs, fs.m_strServer);
        fs.m_nMessageRoute = nRoute;
        if (!fs.m_recordedMessages.empty() && nNotChecked++ == 0)
            strFirstNotChecked = pending.m_strUrl;
        fs.m_recordedMessages.clear();
        if (!bRequestable) {
            pending.m_bDecided = true; // no request: the row stays
            return;
        }
        pending.m_strOrigin = std::to_string(fs.m_nScheme) + "://" + fs.m_strServer + ":" + std::to_string(fs.m_nPort);
        if (silent.count(pending.m_strOrigin)) {
            decideUnasked(pending);
            return;
        }
        pending.m_pConnection = std::move(fs.m_pConnection);
        pending.m_strObject = fs.m_strObject;
        if (perOrigin[pending.m_strOrigin] < nMaxPerHost && static_cast<int>(running.size()) < nMaxParallel)
            startCheck(pending);
        else
            pending.m_bWaiting = true; // its request is made when a place frees up
    };
    // Keeps every place busy: rows already taken whose host has room first, then
    // new rows, as far as the window reaches.
    auto fill = [&] {
        for (CPendingRow& pending : window) {
            if (pending.m_bWaiting && silent.count(pending.m_strOrigin))
                decideUnasked(pending);
            if (static_cast<int>(running.size()) >= nMaxParallel)
                return;
            if (pending.m_bWaiting && perOrigin[pending.m_strOrigin] < nMaxPerHost)
                startCheck(pending);
        }
        while (static_cast<int>(running.size()) < nMaxParallel && window.size() < kMaxWindow &&
               nRow + static_cast<int>(window.size()) < std::min(nCount, rows.GetRowCount()) &&
               !fs.IsCancelled())
            takeRow(nRow + static_cast<int>(window.size()));
    };

    for (;;) {
        if (fs.IsCancelled())
            return;
        fill();
        if (window.empty())
            break;

        // The answers come in any order; the rows are decided in list order.
        if (!window.front().m_bDecided) {
            CHttpCheckResult result;
            if (!checks.WaitForNext(result))
                return; // cancelled
            const auto it = running.find(result.m_nId);
            if (it != running.end()) {
                it->second->m_bDecided = true;
                it->second->m_bDead = !UrlExists(result);
                const std::string& strOrigin = it->second->m_strOrigin;
                --perOrigin[strOrigin];
                if (!result.m_bAnswered && ++unanswered[strOrigin] == 2)
                    silent[strOrigin] = HostOfUrl(it->second->m_strUrl);
                running.erase(it);
            }
            continue;
        }

        const CPendingRow head = std::move(window.front());
        window.pop_front();
        if (fs.IsCancelled())
            return;
        if (head.m_bDead && rows.GetCell(nRow, nUrlColumn) == head.m_strUrl) {
            ReportStatus(fs, head.m_strUrl + Tr(kStatusUrlDeleted));
            if (rows.DeleteRowIf(nRow, head.m_strUrl)) {
                --nCount; // the next row has moved into this position
                continue;
            }
        }
        ++nRow;
    }
    if (nUnasked > 0)
        fs.Message(FormatTemplate(TrN(kMsgLinksOfSilentHosts, nUnasked), {CTemplateArg::Int(nUnasked), CTemplateArg::Text(strFirstUnasked)}));
    if (nNotChecked == 1)
        fs.Message(std::string(Tr(kMsgInvalidUrl)) + ": " + strFirstNotChecked);
    else if (nNotChecked > 1)
        fs.Message(FormatTemplate(TrN(kMsgLinksNotChecked, nNotChecked),
                                  {CTemplateArg::Int(nNotChecked), CTemplateArg::Text(strFirstNotChecked)}));
    ReportStatus(fs, "");
}
