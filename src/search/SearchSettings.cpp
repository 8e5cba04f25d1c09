// SPDX-License-Identifier: MIT
#include "search/SearchSettings.h"

#include "search/QueryComposer.h"
#include "search/SearchJob.h"

bool IsValidHitLimit(int nHitLimit)
{
    return nHitLimit >= 1 && nHitLimit <= kMaxHitLimit;
}

int EngineHitLimit(const CSearchSettings& settings)
{
    return settings.m_bAllHits ? kMaxHitLimit : settings.m_nHitLimit;
}

bool BuildSearchJob(const CSearchSettings& settings, std::vector<CSearchEngine> engines, CSearchJob& job)
{
    if (!settings.m_bAllHits && !IsValidHitLimit(settings.m_nHitLimit))
        return false;
    job.m_engines = std::move(engines);
    job.m_settings = settings;
    job.m_strQueryTerm = ComposeQueryTerm(settings.m_strQuery, settings.m_nSearchOption);
    return true;
}

CSessionOptions BuildSessionOptions(const CSearchSettings& settings)
{
    CSessionOptions options;
    const int nMethod = settings.m_nConnectMethod;
    options.m_nConnectMethod = (nMethod == kConnectDirect || nMethod == kConnectProxy) ? nMethod : kConnectPreconfigured;
    // Without a port the address alone names the proxy (it may carry its own ":port").
    if (options.m_nConnectMethod == kConnectProxy)
        options.m_strProxy = settings.m_strPort.empty() ? settings.m_strProxy : settings.m_strProxy + ":" + settings.m_strPort;
    if (!settings.m_strUserAgent.empty())
        options.m_strAgent = settings.m_strUserAgent;
    options.SetTimeoutSeconds(settings.m_nTimeoutSeconds);
    options.m_bBrowserEngine = settings.m_bBrowserEngine;
    return options;
}
