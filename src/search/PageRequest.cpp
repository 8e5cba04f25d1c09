// SPDX-License-Identifier: MIT
#include "search/PageRequest.h"

#include "engines/SearchEngine.h"
#include "platform/BrowserEngine.h"
#include "platform/InternetClient.h"
#include "search/FetchState.h"
#include "search/PageFetch.h"
#include "search/RequestTarget.h"
#include "search/SearchTexts.h"

#include <memory>

std::optional<CPageAnswer> FetchAnswer(CInternetSession& session, const CPageRequest& request)
{
    CPageAnswer answer;
    answer.m_strAddress = request.m_strAddress;
    const bool bBrowser = session.GetOptions().m_bBrowserEngine;
    if (request.m_nBrowserRule == BrowserRule::Always && (!bBrowser || FindBrowserEngine().empty())) {
        // Only the browser's page is wanted, and there is none to have.
        if (bBrowser)
            answer.m_strBrowserError = kBrowserNotInstalled;
        return answer;
    }
    CFetchState fs;
    fs.m_pSession = &session;
    fs.m_pCancel = request.m_pCancel;
    fs.m_nMessageRoute = MessageRoute::Drop; // the answer says what went wrong
    fs.m_bKeepPagesOut = true;
    fs.m_bBrowserEngine = bBrowser;
    fs.m_nBrowserRule = request.m_nBrowserRule;
    if (!ParseRequestTarget(fs, request.m_strAddress) || !IsRequestableTarget(fs)) {
        answer.m_strError = kMsgInvalidUrl;
        return answer;
    }
    if (!ConnectToServer(fs, fs.m_strServer)) {
        answer.m_strError = fs.m_answer.m_strError;
        return answer;
    }
    CSearchEngine engine;
    engine.m_strUrl = request.m_strAddress;
    engine.m_strStartToken = request.m_strStartToken;
    if (!FetchPage(fs, engine))
        return std::nullopt;
    answer = std::move(fs.m_answer);
    answer.m_strAddress = request.m_strAddress;
    return answer;
}

std::optional<CPageAnswer> FetchAnswer(const CSessionOptions& options, const CPageRequest& request)
{
    std::string strError;
    const std::unique_ptr<CInternetSession> pSession = OpenInternetSession(options, &strError);
    if (pSession)
        return FetchAnswer(*pSession, request);
    CPageAnswer answer;
    answer.m_strAddress = request.m_strAddress;
    answer.m_strError = strError.empty() ? kMsgInternetException : strError;
    return answer;
}
