// SPDX-License-Identifier: MIT
// A whole questrel-cli search of 8 loopback engines that answer each page after
// 100 ms, one page and five pages each, against bare curl asking the same pages
// side by side (one curl process per engine, its pages in order), and against
// the same search one engine at a time; all measured in this run.
//
//   bench_search PATH-TO-questrel-cli

#include "BenchUtil.h"
#include "LoopbackServer.h"
#include "engines/EngineCatalogue.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kEngines = 8;
constexpr int kHitsPerPage = 10;

int Run(const std::string& strCommand)
{
    return std::system((strCommand + " >/dev/null 2>&1").c_str());
}

std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (const char c : s)
        out += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

qtest::CReply EnginePage(const qtest::CRecordedRequest& request)
{
    const int nStart = std::atoi(request.Param("s").c_str());
    std::string page = "<html><ul>\n";
    for (int i = nStart + 1; i <= nStart + kHitsPerPage; ++i)
        page += "<li><a href=\"http://hits.example" + request.m_strPath + "/" + std::to_string(i) +
                "\">Result " + std::to_string(i) + " about red apple</a></li>\n";
    qtest::CReply reply = qtest::CReply::Ok(page + "</ul></html>\n");
    reply.m_nHeadDelayMs = 100;
    return reply;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_search PATH-TO-questrel-cli\n");
        return 2;
    }
    const std::string strCli = argv[1];
    qtest::CLoopbackServer server(EnginePage);
    char szDir[] = "/tmp/questrel-bench-XXXXXX";
    if (!::mkdtemp(szDir))
        return 1;
    const std::string strDir = szDir;
    const std::string strCatalogue = strDir + "/engines.dat";
    std::vector<CSearchEngine> engines;
    for (int i = 0; i < kEngines; ++i) {
        CSearchEngine engine;
        engine.m_strName = "Engine " + std::to_string(i);
        engine.m_strUrl = server.GetBaseUrl() + "/e" + std::to_string(i);
        engine.m_strPrefix = "?q=";
        engine.m_strSuffix = "&s=%d";
        engine.m_nSearchType = StartNumber;
        engine.m_strStartToken = "<li><a href=\"http";
        engine.m_strEndToken = "</a>";
        engines.push_back(engine);
    }
    SaveEngines(strCatalogue, engines);

    for (const int nPages : {1, 5}) {
        const std::string strSearch = Quote(strCli) + " --engines " + Quote(strCatalogue) +
                                      " search --direct -q --max-hits " + std::to_string(nPages * kHitsPerPage) +
                                      " 'red apple'";
        std::string strCurl;
        for (int i = 0; i < kEngines; ++i) {
            strCurl += "curl -s -0 -A 'Internet Questrel/2.0a'";
            for (int nPage = 0; nPage < nPages; ++nPage)
                strCurl += " -o /dev/null " +
                           Quote(server.GetBaseUrl() + "/e" + std::to_string(i) + "?q=red+apple&s=" +
                                 std::to_string(nPage * kHitsPerPage));
            strCurl += " & ";
        }
        strCurl += "wait";
        const size_t nBefore = server.GetRequestCount();
        if (Run(strSearch) != 0 || server.GetRequestCount() - nBefore != static_cast<size_t>(kEngines * nPages)) {
            std::fprintf(stderr, "bench_search: the search did not make the expected requests\n");
            return 1;
        }
        const double nSideBySide = MedianMs(7, [&] { Run(strSearch); });
        const double nCurl = MedianMs(7, [&] { Run(strCurl); });
        const double nOneAtATime = MedianMs(3, [&] { Run(strSearch + " --one-at-a-time"); });
        std::printf("whole search: %d engines, %d page(s) each, 100 ms a page\n", kEngines, nPages);
        ReportRatio("questrel-cli search (side by side)", nSideBySide,
                    "baseline: bare curl, one process per engine", nCurl);
        ReportRatio("questrel-cli search (side by side)", nSideBySide,
                    "baseline: questrel-cli --one-at-a-time", nOneAtATime);
    }
    std::filesystem::remove_all(strDir);
    return 0;
}
