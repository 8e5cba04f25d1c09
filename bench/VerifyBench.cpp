// Link verification of 200 URLs on loopback, each answered after 50 ms: up to
// 8 checks at once against one check at a time, both measured in this run.

#include "BenchUtil.h"
#include "LoopbackServer.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "platform/SearchHost.h"
#include "results/LinkVerifier.h"
#include "results/ResultRows.h"
#include "search/FetchState.h"

#include <thread>

namespace {

double VerifyMs(qtest::CLoopbackServer& server, CInternetSession& session, int nParallel)
{
    CResultRows rows;
    for (int i = 0; i < 200; ++i)
        rows.AppendHit({"hit", server.GetBaseUrl() + (i % 5 == 0 ? "/dead/" : "/live/") + std::to_string(i), "E"});
    CCancelSignal cancel;
    CSearchHostBridge bridge(nullptr, cancel);
    CFetchState fs;
    fs.g_pSession = &session;
    fs.g_hStatusWnd = &bridge;
    fs.m_pCancel = &cancel;
    const double nMs = MedianMs(1, [&] { VerifyLinks(fs, rows, nParallel); });
    if (rows.GetRowCount() != 160)
        std::fprintf(stderr, "bench_verify: %d rows left, expected 160\n", rows.GetRowCount());
    return nMs;
}

} // namespace

int main()
{
    InitNetworkLibrary();
    qtest::CLoopbackServer server([](const qtest::CRecordedRequest& request) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return request.m_strPath.rfind("/dead/", 0) == 0 ? qtest::CReply::Make(404, "gone")
                                                         : qtest::CReply::Ok("<html>here</html>");
    });
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    CInternetSession session(options);
    const double nParallel = VerifyMs(server, session, kMaxParallelChecks);
    const double nSerial = VerifyMs(server, session, 1);
    std::printf("link verification: 200 URLs, 50 ms server delay, 40 dead\n");
    ReportRatio("8 checks at once", nParallel, "baseline: one check at a time", nSerial);
    CleanupNetworkLibrary();
    return 0;
}
