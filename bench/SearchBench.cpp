// A whole questrel-cli search over the sample engines, against the same
// requests made by the curl program alone, both measured in this run.
//
//   bench_search PATH-TO-questrel-cli

#include "BenchUtil.h"
#include "SampleEngines.h"
#include "engines/EngineCatalogue.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

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

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_search PATH-TO-questrel-cli\n");
        return 2;
    }
    const std::string strCli = argv[1];
    qtest::CSampleEngineServer sample;
    char szDir[] = "/tmp/questrel-bench-XXXXXX";
    if (!::mkdtemp(szDir))
        return 1;
    const std::string strDir = szDir;
    const std::string strCatalogue = strDir + "/engines.dat";
    SaveEngines(strCatalogue, sample.GetCatalogue());

    const std::string strSearch = Quote(strCli) + " --engines " + Quote(strCatalogue) +
                                  " search --direct --all-hits -q 'red apple'";
    // One run to learn the requests a search makes.
    if (Run(strSearch) != 0) {
        std::fprintf(stderr, "bench_search: the search failed\n");
        return 1;
    }
    std::string strCurl = "curl -s -0 -A 'Internet Questrel/2.0a'";
    for (const std::string& strLine : sample.GetServer().GetRequestLines()) {
        const size_t nSp1 = strLine.find(' ');
        const size_t nSp2 = strLine.rfind(' ');
        strCurl += " -o /dev/null " + Quote(sample.GetBaseUrl() + strLine.substr(nSp1 + 1, nSp2 - nSp1 - 1));
    }
    const size_t nRequests = sample.GetServer().GetRequestCount();

    const double nSearch = MedianMs(11, [&] { Run(strSearch); });
    const double nCurl = MedianMs(11, [&] { Run(strCurl); });
    std::printf("whole search: %zu requests to 4 sample engines, all hits\n", nRequests);
    ReportRatio("questrel-cli search", nSearch, "baseline: curl fetching the same URLs", nCurl);
    std::filesystem::remove_all(strDir);
    return 0;
}
