// SPDX-License-Identifier: MIT
// A loopback result page whose script writes its five results: loaded with the
// browser engine against a plain fetch of the same page, both in this run;
// then two browser loads at once and the peak memory of the largest browser
// process.

#include "BenchUtil.h"
#include "LoopbackServer.h"
#include "platform/BrowserEngine.h"
#include "platform/InternetClient.h"
#include "search/PageRequest.h"

#include <sys/resource.h>
#include <thread>

namespace {

constexpr const char* kScriptPage =
    "<html><body><ol id=\"r\"></ol><script>"
    "for (let i = 1; i <= 5; ++i) { const li = document.createElement('li');"
    " li.innerHTML = '<a href=\"https://r' + i + '.example/\">Result ' + i + '</a>';"
    " document.getElementById('r').appendChild(li); }</script></body></html>";

} // namespace

int main()
{
    if (FindBrowserEngine().empty()) {
        std::printf("bench_browser: no browser engine installed (scripts/setup installs chromium-headless-shell)\n");
        return 0;
    }
    InitNetworkLibrary();
    qtest::CLoopbackServer server([](const qtest::CRecordedRequest&) { return qtest::CReply::Ok(kScriptPage); });
    const std::string strAddress = server.GetBaseUrl() + "/search?q=red+apple";

    CBrowserLoad load;
    load.m_strAddress = strAddress;
    const double nBrowser = MedianMs(5, [&] {
        CBrowserPage page;
        LoadInBrowserEngine(load, page);
        if (page.m_strText.find("Result 5") == std::string::npos)
            std::fprintf(stderr, "bench_browser: the script's list is missing: %s\n", page.m_strError.c_str());
    });
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    CInternetSession session(options);
    const double nPlain = MedianMs(5, [&] { FetchAnswer(session, {strAddress, nullptr}); });

    const double nTwo = MedianMs(3, [&] {
        std::thread other([&] {
            CBrowserPage page;
            LoadInBrowserEngine(load, page);
        });
        CBrowserPage page;
        LoadInBrowserEngine(load, page);
        other.join();
    });
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);

    std::printf("a result page whose script writes five results, on loopback\n");
    ReportRatio("browser engine (one page)", nBrowser, "baseline: plain fetch of the page", nPlain);
    ReportRatio("browser engine (two pages at once)", nTwo, "baseline: one page", nBrowser);
    std::printf("%-44s %9.1f MB\n", "peak memory of the largest browser process", usage.ru_maxrss / 1024.0);
    CleanupNetworkLibrary();
    return 0;
}
