// SPDX-License-Identifier: MIT
// Link verification of 200 loopback links on 8 hosts, 10 of them answering
// after 2 s, against curl checking the same links 8 at once
// (curl -Z --parallel-max 8), both measured in this run.

#include "BenchUtil.h"
#include "LoopbackServer.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "platform/SearchHost.h"
#include "search/LinkVerifier.h"
#include "results/ResultRows.h"
#include "search/FetchState.h"

#include <cstdlib>
#include <memory>
#include <thread>

namespace {

constexpr int kLinks = 200;
constexpr int kHosts = 8;

bool IsSlow(int i)
{
    return i % 21 == 0 && i / 21 < 10;
}

} // namespace

int main()
{
    InitNetworkLibrary();
    std::vector<std::unique_ptr<qtest::CLoopbackServer>> hosts;
    for (int i = 0; i < kHosts; ++i)
        hosts.push_back(std::make_unique<qtest::CLoopbackServer>([](const qtest::CRecordedRequest& request) {
            if (request.m_strPath.rfind("/slow/", 0) == 0)
                std::this_thread::sleep_for(std::chrono::seconds(2));
            return qtest::CReply::Ok("<html>here</html>");
        }));
    std::vector<std::string> urls;
    for (int i = 0; i < kLinks; ++i)
        urls.push_back(hosts[i % kHosts]->GetBaseUrl() + (IsSlow(i) ? "/slow/" : "/live/") + std::to_string(i));

    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    CInternetSession session(options);
    const double nVerify = MedianMs(1, [&] {
        CResultRows rows;
        for (const std::string& strUrl : urls)
            rows.AppendHit({"hit", strUrl, "E"});
        CCancelSignal cancel;
        CSearchHostBridge bridge(nullptr, cancel);
        CFetchState fs;
        fs.m_pSession = &session;
        fs.m_pHost = &bridge;
        fs.m_pCancel = &cancel;
        VerifyLinks(fs, rows);
        if (rows.GetRowCount() != kLinks)
            std::fprintf(stderr, "bench_verify: %d rows left, expected %d\n", rows.GetRowCount(), kLinks);
    });

    std::string strCurl = "curl -s -0 -Z --parallel-max 8";
    for (const std::string& strUrl : urls)
        strCurl += " -o /dev/null " + strUrl;
    const double nCurl = MedianMs(1, [&] { std::system((strCurl + " >/dev/null 2>&1").c_str()); });

    std::printf("link verification: %d links on %d hosts, 10 answering after 2 s\n", kLinks, kHosts);
    ReportRatio("VerifyLinks (16 at once, 4 a host)", nVerify, "baseline: curl -Z --parallel-max 8", nCurl);
    CleanupNetworkLibrary();
    return 0;
}
