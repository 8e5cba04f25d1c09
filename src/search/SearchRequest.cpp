// SPDX-License-Identifier: MIT
#include "search/SearchRequest.h"

#include "search/QueryComposer.h"
#include "search/SearchJob.h"

bool IsValidHitLimit(int nHitLimit)
{
    return nHitLimit >= 1 && nHitLimit <= kMaxHitLimit;
}

bool BuildSearchJob(const CSearchRequest& request, CSearchJob& job)
{
    if (!request.m_bAllHits && !IsValidHitLimit(request.m_nHitLimit))
        return false;
    job.m_engines = request.m_engines;
    job.m_strQueryTerm = ComposeQueryTerm(request.m_strQuery, request.m_nSearchOption);
    job.m_nHitLimit = request.m_bAllHits ? kMaxHitLimit : request.m_nHitLimit;
    job.m_bRemoveDups = request.m_bRemoveDups;
    job.m_bVerifyLinks = request.m_bVerifyLinks;
    job.m_bShowResultsPage = request.m_bShowResultsPage;
    job.m_bOneAtATime = request.m_bOneAtATime;
    return true;
}

CSessionOptions BuildSessionOptions(const CSearchRequest& request)
{
    CSessionOptions options;
    const int nMethod = request.m_nConnectMethod;
    options.m_nConnectMethod = (nMethod == kConnectDirect || nMethod == kConnectProxy) ? nMethod : kConnectPreconfigured;
    // Without a port the address alone names the proxy (it may carry its own ":port").
    if (options.m_nConnectMethod == kConnectProxy)
        options.m_strProxy = request.m_strPort.empty() ? request.m_strProxy : request.m_strProxy + ":" + request.m_strPort;
    if (!request.m_strUserAgent.empty())
        options.m_strAgent = request.m_strUserAgent;
    options.SetTimeoutSeconds(request.m_nTimeoutSeconds);
    return options;
}
