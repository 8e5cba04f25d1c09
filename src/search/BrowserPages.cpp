// SPDX-License-Identifier: MIT
#include "search/BrowserPages.h"

#include "platform/BrowserEngine.h"
#include "platform/InternetClient.h"
#include "platform/TextUtil.h"
#include "search/PageRefusal.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>

bool HasScripts(std::string_view page)
{
    constexpr std::string_view kTag = "<script";
    return std::search(page.begin(), page.end(), kTag.begin(), kTag.end(),
                       [](char a, char b) { return ToLowerAscii(a) == b; }) != page.end();
}

bool PageNeedsBrowser(std::string_view page, std::string_view startToken, BrowserRule rule)
{
    if (rule == BrowserRule::Always || rule == BrowserRule::Never)
        return rule == BrowserRule::Always;
    size_t nLength = 0;
    if (!startToken.empty() && CTokenPattern(startToken).Find(page, 0, &nLength) != std::string_view::npos)
        return false;
    const std::string strRefusal = RefusalReason(page);
    if (strRefusal == kRefusalJavaScript)
        return true;
    return rule == BrowserRule::WallOrNoList && strRefusal.empty() && HasScripts(page) && !SaysNothingMatched(page);
}

std::string AnswerRefusal(const CPageAnswer& answer)
{
    std::string strRefusal = RefusalReason(answer.m_strText);
    if (strRefusal.empty() && answer.m_bByBrowser && !SaysNothingMatched(answer.m_strText))
        strRefusal = answer.m_strPlainRefusal;
    return strRefusal;
}

bool LoadAnswerInBrowser(const CSessionOptions& options, CPageAnswer& answer, CCancelSignal* pCancel)
{
    CBrowserLoad load;
    load.m_strAddress = answer.m_strUrl.empty() ? answer.m_strAddress : answer.m_strUrl;
    load.m_bSystemProxy = options.m_nConnectMethod != kConnectDirect && options.m_nConnectMethod != kConnectProxy;
    if (options.m_nConnectMethod == kConnectProxy)
        load.m_strProxy = options.m_strProxy;
    load.m_strUserAgent = options.m_strAgent;
    load.m_nTimeoutSeconds = static_cast<int>(options.m_nStallTimeoutMs / 1000);
    load.m_pCancel = pCancel;
    CBrowserPage page;
    if (!LoadInBrowserEngine(load, page))
        return false;
    if (!page.m_strError.empty() || page.m_strText.empty()) {
        answer.m_strBrowserError = page.m_strError.empty() ? std::string(kBrowserGaveNothing) : page.m_strError;
        return true;
    }
    answer.m_strPlainRefusal = RefusalReason(answer.m_strText);
    answer.m_strText = std::move(page.m_strText);
    answer.m_bByBrowser = true;
    answer.m_strBrowserError.clear();
    return true;
}
