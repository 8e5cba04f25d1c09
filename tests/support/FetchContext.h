// SPDX-License-Identifier: MIT
#pragma once

// What a fetch or a verification pass needs around it in a test: a direct
// session (loopback only), a recording host behind a bridge, a cancel signal,
// and the fetch state wired to them.

#include "TestFixtures.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "search/FetchState.h"

#include <memory>

namespace qtest {

struct CFetchContext
{
    std::unique_ptr<CInternetSession> pSession;
    CRecordingHost host;
    CCancelSignal cancel;
    CSearchHostBridge bridge{&host, cancel};
    CFetchState fs;

    explicit CFetchContext(long nStallTimeoutMs)
    {
        CSessionOptions options;
        options.m_nConnectMethod = kConnectDirect;
        options.m_nStallTimeoutMs = nStallTimeoutMs;
        pSession = OpenInternetSession(options, nullptr);
        fs.g_pSession = pSession.get();
        fs.g_hStatusWnd = &bridge;
        fs.m_pCancel = &cancel;
    }
};

} // namespace qtest
