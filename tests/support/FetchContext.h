// SPDX-License-Identifier: MIT
#pragma once

// What a fetch or a verification pass needs around it in a test: a direct
// session (loopback only) whose time-outs (20 s) run on a clock that moves only
// when the test moves it, a recording host behind a bridge, a cancel signal,
// and the fetch state wired to them. However slowly the machine runs, nothing
// times out unless the test says so.

#include "TestFixtures.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "search/FetchState.h"

#include <memory>

namespace qtest {

struct CFetchContext
{
    CManualClock clock;
    std::unique_ptr<CInternetSession> pSession;
    CRecordingHost host;
    CCancelSignal cancel;
    CSearchHostBridge bridge{&host, cancel};
    CFetchState fs;

    CFetchContext()
    {
        CSessionOptions options;
        options.m_nConnectMethod = kConnectDirect;
        options.SetTimeoutSeconds(20);
        options.m_pClock = &clock;
        pSession = OpenInternetSession(options, nullptr);
        fs.m_pSession = pSession.get();
        fs.m_pHost = &bridge;
        fs.m_pCancel = &cancel;
    }
};

} // namespace qtest
