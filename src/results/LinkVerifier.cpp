#include "results/LinkVerifier.h"

#include "platform/CancelSignal.h"
#include "results/ResultRows.h"
#include "search/FetchState.h"
#include "search/PageFetch.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"

#include <algorithm>
#include <deque>

bool UrlExists(const CHttpCheckResult& result)
{
    if (!result.m_bAnswered)
        return false;
    const long n = result.m_nStatus;
    return (n > 0 && n < 400) || n == 401 || n == 403 || n == 405 || n == 429;
}

namespace {

// One row of the look-ahead window.
struct CPendingRow
{
    std::string m_strUrl;
    int m_nCheckId = 0;   // 0: no request (kept without one)
    bool m_bDecided = false;
    bool m_bDead = false;
};

} // namespace

void VerifyLinks(CFetchState& fs, CResultRows& rows, int nMaxParallel)
{
    const int nUrlColumn = CResultRows::FindColumn(kColumnUrl);
    int nCount = rows.GetRowCount();
    int nRow = 0; // the row at the head of the window
    std::deque<CPendingRow> window;
    CHttpCheckSet checks(fs.m_pCancel);
    if (nMaxParallel < 1)
        nMaxParallel = 1;

    // Starts the check of the row at this position (parse, connect, request).
    auto start = [&](int nPosition) {
        CPendingRow pending;
        pending.m_strUrl = rows.GetCell(nPosition, nUrlColumn);
        ReportStatus(fs, kStatusVerifyingUrl + pending.m_strUrl);
        InternetScheme nScheme = kSchemeUnknown;
        if (ParseRequestTarget(fs, pending.m_strUrl, &nScheme) && IsRequestableTarget(fs) &&
            ConnectToServer(fs, fs.g_strServer)) {
            // One connection per URL: it lives as long as its check.
            pending.m_nCheckId = checks.Add(*fs.g_pConnection, fs.g_strObject);
            fs.g_pConnection.reset();
        } else {
            pending.m_bDecided = true; // no request: the row stays
        }
        window.push_back(std::move(pending));
    };

    for (;;) {
        if (fs.IsCancelled())
            return;
        // Keep the window full, in list order, while rows are left.
        while (static_cast<int>(window.size()) < nMaxParallel &&
               nRow + static_cast<int>(window.size()) < std::min(nCount, rows.GetRowCount()) &&
               !fs.IsCancelled())
            start(nRow + static_cast<int>(window.size()));
        if (window.empty())
            break;

        while (!window.front().m_bDecided) {
            CHttpCheckResult result;
            if (!checks.WaitForNext(result))
                return; // cancelled
            for (CPendingRow& pending : window) {
                if (pending.m_nCheckId == result.m_nId) {
                    pending.m_bDecided = true;
                    pending.m_bDead = !UrlExists(result);
                }
            }
        }

        const CPendingRow head = std::move(window.front());
        window.pop_front();
        if (fs.IsCancelled())
            return;
        if (head.m_bDead && rows.GetCell(nRow, nUrlColumn) == head.m_strUrl) {
            ReportStatus(fs, head.m_strUrl + kStatusUrlDeleted);
            if (rows.DeleteRowIf(nRow, head.m_strUrl)) {
                --nCount; // the next row has moved into this position
                continue;
            }
        }
        ++nRow;
    }
    ReportStatus(fs, "");
}
