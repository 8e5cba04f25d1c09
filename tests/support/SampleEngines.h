// SPDX-License-Identifier: MIT
#pragma once

// Sample search engines served on loopback: one engine of each paging type,
// with result pages made up from the query. Used by the tests, the benchmarks
// and the README's demo.
//
//   Sample Multi   MultiplePages  8 hits a page, 40 in all; next page by count
//   Sample Count   ResultCount    as many hits as asked for, at most 50
//   Sample Start   StartNumber    10 hits a page from a start number, 25 in all
//   Sample Single  SinglePage     10 hits a page from a hit number, 30 in all
//
// Every fourth hit of each engine links to a page the engines share, so the
// duplicate test has something to do; every seventh links to a page that
// answers 404. The other links answer 200.

#include "LoopbackServer.h"
#include "engines/SearchEngine.h"

#include <string>
#include <vector>

namespace qtest {

inline constexpr const char* kSampleStartToken = "<li><a href=\"http";
inline constexpr const char* kSampleEndToken = "</a>";

// The catalogue of the sample engines at a base URL ("http://127.0.0.1:port").
std::vector<CSearchEngine> SampleEngineCatalogue(const std::string& strBaseUrl);

// The reply of the sample engines to a request.
CReply SampleEngineReply(const CRecordedRequest& request, const std::string& strBaseUrl);

// A loopback server that serves the sample engines.
class CSampleEngineServer
{
public:
    explicit CSampleEngineServer(uint16_t nPort = 0);
    CLoopbackServer& GetServer() { return m_server; }
    std::string GetBaseUrl() const { return m_server.GetBaseUrl(); }
    std::vector<CSearchEngine> GetCatalogue() const { return SampleEngineCatalogue(GetBaseUrl()); }

private:
    CLoopbackServer m_server;
};

} // namespace qtest
