// SPDX-License-Identifier: MIT
// Result pages whose script writes their results, on loopback: one page loaded
// with the browser engine against a plain fetch of the same page in this run;
// a search of two such engines against a search of two engines whose pages
// hold their results; and the peak memory of that search's browser processes
// together (their proportional set size, sampled while the search runs).

#include "BenchUtil.h"
#include "LoopbackServer.h"
#include "ScriptPages.h"
#include "TestFixtures.h"
#include "platform/BrowserEngine.h"
#include "platform/InternetClient.h"
#include "results/ResultRows.h"
#include "search/PageRequest.h"
#include "search/SearchJob.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

// The proportional set size, in kB, of every process whose command line holds
// the marker (a browser's profile folder is in it).
long ProcessesPssKb(const std::string& strMarker)
{
    long nTotal = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream command(entry.path() / "cmdline");
        const std::string strCommand((std::istreambuf_iterator<char>(command)), std::istreambuf_iterator<char>());
        if (strCommand.find(strMarker) == std::string::npos)
            continue;
        std::ifstream rollup(entry.path() / "smaps_rollup");
        for (std::string strLine; std::getline(rollup, strLine);)
            if (strLine.rfind("Pss:", 0) == 0)
                nTotal += std::atol(strLine.c_str() + 4);
    }
    return nTotal;
}

} // namespace

int main()
{
    if (FindBrowserEngine().empty()) {
        std::printf("bench_browser: no browser engine installed (scripts/setup installs chromium-headless-shell)\n");
        return 0;
    }
    InitNetworkLibrary();
    qtest::CTempDir tmp;
    setenv("TMPDIR", tmp.GetPath().c_str(), 1); // the browser's profiles, where the sampler looks
    qtest::CLoopbackServer server(qtest::ScriptPage);
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    options.m_bBrowserEngine = true;
    CInternetSession session(options);

    const std::string strAddress = server.GetBaseUrl() + "/list?q=red+apple";
    const double nBrowser = MedianMs(5, [&] {
        const auto answer = FetchAnswer(session, {strAddress, nullptr, BrowserRule::Always});
        if (!answer || answer->m_strText.find("Red apple 5") == std::string::npos)
            std::fprintf(stderr, "bench_browser: the script's list is missing\n");
    });
    const double nPlain = MedianMs(5, [&] { FetchAnswer(session, {strAddress, nullptr, BrowserRule::Never}); });

    auto search = [&](const char* pszPath, std::atomic<long>* pPeakKb) {
        CResultRows rows;
        std::vector<CSearchEngine> engines;
        for (const char* pszName : {"One", "Two"})
            engines.push_back(qtest::TestEngine(pszName, ResultCount, server.GetBaseUrl() + pszPath, "?q=", "", "",
                                                qtest::kScriptHitToken));
        qtest::CRecordingHost host;
        CSearchJob job = qtest::SearchJobFor(std::move(engines), &session, &host, &rows);
        job.m_settings.m_bRemoveDups = false;
        job.m_strResultsPagePath = tmp.File("questrel.htm");
        std::atomic<bool> bDone{false};
        std::thread sampler([&] {
            while (pPeakKb && !bDone) {
                *pPeakKb = std::max(pPeakKb->load(), ProcessesPssKb(tmp.GetPath()));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        SearchThreadProc(job);
        bDone = true;
        sampler.join();
        if (rows.GetRowCount() != 10)
            std::fprintf(stderr, "bench_browser: %d rows, not 10\n", rows.GetRowCount());
    };
    std::atomic<long> nPeakKb{0};
    const double nScripted = MedianMs(3, [&] { search("/list", &nPeakKb); });
    const double nPlainSearch = MedianMs(3, [&] { search("/plain", nullptr); });

    std::printf("result pages whose script writes five results, on loopback\n");
    ReportRatio("browser engine (one page)", nBrowser, "baseline: plain fetch of the page", nPlain);
    ReportRatio("search of two such engines", nScripted, "baseline: two engines of plain pages", nPlainSearch);
    std::printf("%-44s %9.1f MB\n", "peak memory of that search's browsers (PSS)", nPeakKb / 1024.0);
    CleanupNetworkLibrary();
    return 0;
}
