// SPDX-License-Identifier: MIT
#include "workbench/PageProbe.h"

#include "engines/SearchEngine.h"
#include "platform/InternetClient.h"
#include "search/EngineOutcome.h"
#include "search/FetchState.h"
#include "search/PageFetch.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"

#include <memory>

bool FetchResultPage(CInternetSession& session, const std::string& strAddress, CCancelSignal* pCancel,
                     CPageAnswer& answer)
{
    answer = CPageAnswer{};
    answer.m_strAddress = strAddress;
    CFetchState fs;
    fs.g_pSession = &session;
    fs.m_pCancel = pCancel;
    fs.m_nMessageRoute = MessageRoute::Drop; // the answer says what went wrong
    fs.m_bKeepPagesOut = true;
    if (!ParseRequestTarget(fs, strAddress) || !IsRequestableTarget(fs)) {
        answer.m_strError = kMsgInvalidUrl;
        return true;
    }
    if (!ConnectToServer(fs, fs.g_strServer)) {
        answer.m_strError = fs.m_answer.m_strError;
        return true;
    }
    CSearchEngine engine;
    engine.m_strUrl = strAddress;
    if (!FetchPage(fs, engine))
        return false;
    answer = std::move(fs.m_answer);
    answer.m_strAddress = strAddress;
    return true;
}

bool FetchResultPage(const CSessionOptions& options, const std::string& strAddress, CCancelSignal* pCancel,
                     CPageAnswer& answer)
{
    std::string strError;
    const std::unique_ptr<CInternetSession> pSession = OpenInternetSession(options, &strError);
    if (pSession)
        return FetchResultPage(*pSession, strAddress, pCancel, answer);
    answer = CPageAnswer{};
    answer.m_strAddress = strAddress;
    answer.m_strError = strError.empty() ? kMsgInternetException : strError;
    return true;
}
