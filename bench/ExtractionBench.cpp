// SPDX-License-Identifier: MIT
// Extraction throughput: a page of 2048 hits with the duplicate test on, against
// a list that already holds 20 000 rows, links cleaned as a search cleans them
// (references decoded, resolved against the page, the engine's redirects
// unwrapped); once with plain tokens and once with a start token that holds the
// {*} wildcard. Baseline: the same page scanned for its tokens only (the least
// any extraction must do), measured in the same run.

#include "BenchUtil.h"
#include "results/ResultRows.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"

#include <string>

namespace {

constexpr const char* kStart = "<li><a href=\"http";
constexpr const char* kWildStart = "<li{*}><a{*} href=\"http";
constexpr const char* kEnd = "</a>";

std::string MakePage(int nHits)
{
    std::string page = "<html><body><ul>\n";
    for (int i = 0; i < nHits; ++i)
        page += "<li><a href=\"http://bench.example/result/" + std::to_string(i) +
                "\">Result <b>" + std::to_string(i) +
                "</b> about red apple&nbsp;orchards, with a longer description\nthat spans "
                "lines &quot;as pages do&quot;</a> <span>extra</span></li>\n";
    return page + "</ul></body></html>\n";
}

size_t ScanTokens(const std::string& page)
{
    size_t nFound = 0;
    size_t p = page.find(kStart);
    while (p != std::string::npos) {
        const size_t e = page.find(kEnd, p);
        if (e == std::string::npos)
            break;
        ++nFound;
        p = page.find(kStart, e + 1);
    }
    return nFound;
}

} // namespace

int main()
{
    const std::string page = MakePage(2048);
    CResultRows existing;
    for (int i = 0; i < 20000; ++i)
        existing.AppendHit({"existing row", "http://other.example/" + std::to_string(i), "E"});

    volatile size_t nSink = 0;
    const double nBaseline = MedianMs(21, [&] { nSink = nSink + ScanTokens(page); });

    // Each run extracts into the 20 000 rows; the rows it added are removed
    // again afterwards, outside the timing.
    const CLinkCleaner links("https://search.example/find?q=red+apple", "https://search.example/find");
    auto extract = [&](const char* pszStart) {
        std::vector<double> times;
        for (int nRun = 0; nRun < 21; ++nRun) {
            const auto t0 = std::chrono::steady_clock::now();
            const int nAdded = ExtractPageHits(page, existing, pszStart, kEnd, "Bench", true, nullptr, &links).m_nAdded;
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            nSink = nSink + static_cast<size_t>(nAdded);
            for (int i = 0; i < nAdded; ++i)
                existing.DeleteRow(existing.GetRowCount() - 1);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double nExtract = extract(kStart);
    const double nWildExtract = extract(kWildStart);

    // Hostile pages: 2 MB of one link repeated with no end token after it, and
    // 400 KB of near misses of a token whose first part holds no tag.
    std::string repeated;
    while (repeated.size() < 2000000)
        repeated += "<a href=\"http://x.example/\">x</a>";
    std::string nearMisses;
    while (nearMisses.size() < 400000)
        nearMisses += "class=\"x\" ";
    const double nRepeated = MedianMs(5, [&] {
        CResultRows rows;
        nSink = nSink + static_cast<size_t>(ExtractPageHits(repeated, rows, "<a href=\"", "</nope>", "B", true).m_nAdded);
    });
    const double nNearMisses = MedianMs(5, [&] {
        CResultRows rows;
        nSink = nSink + static_cast<size_t>(ExtractPageHits(nearMisses, rows, "class=\"{*}\" href=\"", "</a>", "B", true).m_nAdded);
    });
    const double nRepeatedScan = MedianMs(5, [&] { nSink = nSink + repeated.find("</nope>"); });

    std::printf("page: %zu bytes, 2048 hits, duplicate test against 20000 rows\n", page.size());
    ReportRatio("extraction (2048 hits, dups on)", nExtract, "baseline: token scan of the same page",
                nBaseline);
    ReportRatio("extraction, start token with {*}", nWildExtract, "baseline: token scan of the same page",
                nBaseline);
    ReportRatio("2 MB of one link, no end token", nRepeated, "baseline: one search of it for the end token",
                nRepeatedScan);
    ReportRatio("400 KB of near misses of class=\"{*}\" href=\"", nNearMisses,
                "baseline: one search of 2 MB for the end token", nRepeatedScan);
    return 0;
}
