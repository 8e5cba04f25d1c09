// SPDX-License-Identifier: MIT
#include "platform/HttpCheckSet.h"

#include "platform/CancelSignal.h"
#include "platform/CurlGet.h"
#include "platform/CurlHandles.h"

#include <algorithm>

struct CHttpCheckSet::CMultiOwner
{
    CCurlMultiPtr m_pHandle{curl_multi_init()};
};

struct CHttpCheckSet::CCheck
{
    int m_nId = 0;
    CCurlTransfer m_transfer;
    CURL* m_pEasy = nullptr;
    std::string m_strUrl;
    CFinalHeaderTracker m_headers{10};
    CStallWatch m_stall{60000, 120000, SteadyClock()};
    bool m_bHeadersFinal = false;
    bool m_bFinished = false;
    char m_szError[CURL_ERROR_SIZE] = {};

    static size_t OnHeader(char* pData, size_t nSize, size_t nCount, void* pUser)
    {
        auto* pCheck = static_cast<CCheck*>(pUser);
        pCheck->m_stall.Note();
        if (pCheck->m_headers.OnLine(pCheck->m_pEasy, std::string_view(pData, nSize * nCount)))
            pCheck->m_bHeadersFinal = true;
        return nSize * nCount;
    }
    // The body is not wanted: the first byte of it ends the transfer.
    static size_t OnBody(char*, size_t, size_t, void*) { return 0; }
};

CHttpCheckSet::CHttpCheckSet(CCancelSignal* pCancel)
    : m_pCancel(pCancel), m_pMulti(std::make_unique<CMultiOwner>())
{
    if (m_pCancel) {
        CURLM* pMulti = m_pMulti->m_pHandle.get();
        m_nWaker = m_pCancel->AddWaker([pMulti] { curl_multi_wakeup(pMulti); });
    }
}

CHttpCheckSet::~CHttpCheckSet()
{
    if (m_pCancel)
        m_pCancel->RemoveWaker(m_nWaker);
    m_checks.clear(); // before the multi handle
}

int CHttpCheckSet::Add(const CHttpConnection& connection, const std::string& strObject)
{
    auto pCheck = std::make_unique<CCheck>();
    const CSessionOptions& options = connection.GetSession().GetOptions();
    pCheck->m_nId = m_nNextId++;
    pCheck->m_headers = CFinalHeaderTracker(options.m_nMaxRedirects);
    pCheck->m_stall = CStallWatch(options.m_nStallTimeoutMs, options.m_nDeadlineMs, connection.GetSession().GetClock());
    pCheck->m_strUrl = BuildRequestUrl(connection, strObject);
    pCheck->m_pEasy = pCheck->m_transfer.Make(m_pMulti->m_pHandle.get());
    ConfigureGet(pCheck->m_pEasy, connection, pCheck->m_strUrl, pCheck->m_szError);
    curl_easy_setopt(pCheck->m_pEasy, CURLOPT_HEADERFUNCTION, &CCheck::OnHeader);
    curl_easy_setopt(pCheck->m_pEasy, CURLOPT_HEADERDATA, pCheck.get());
    curl_easy_setopt(pCheck->m_pEasy, CURLOPT_WRITEFUNCTION, &CCheck::OnBody);
    curl_easy_setopt(pCheck->m_pEasy, CURLOPT_WRITEDATA, pCheck.get());
    curl_easy_setopt(pCheck->m_pEasy, CURLOPT_PRIVATE, pCheck.get());
    pCheck->m_transfer.Start();
    const int nId = pCheck->m_nId;
    m_checks.push_back(std::move(pCheck));
    return nId;
}

void CHttpCheckSet::Finish(CCheck& check, bool bAnswered, const std::string& strError)
{
    CHttpCheckResult result;
    result.m_nId = check.m_nId;
    result.m_bAnswered = bAnswered;
    result.m_strError = strError;
    if (bAnswered) {
        curl_easy_getinfo(check.m_pEasy, CURLINFO_RESPONSE_CODE, &result.m_nStatus);
        // A redirect still asked for after the most the session follows leads
        // nowhere: that is no answer.
        if (result.m_nStatus >= 300 && result.m_nStatus < 400 && check.m_headers.SawLocation()) {
            result.m_bAnswered = false;
            result.m_strError = curl_easy_strerror(CURLE_TOO_MANY_REDIRECTS);
        }
    }
    m_finished.push_back(std::move(result));
    check.m_bFinished = true;
}

bool CHttpCheckSet::WaitForNext(CHttpCheckResult& result)
{
    for (;;) {
        if (m_pCancel && m_pCancel->IsSignalled())
            return false;
        if (!m_finished.empty()) {
            result = std::move(m_finished.front());
            m_finished.pop_front();
            return true;
        }
        if (m_checks.empty())
            return false;

        CURLM* pMulti = m_pMulti->m_pHandle.get();
        int nRunning = 0;
        curl_multi_perform(pMulti, &nRunning);
        int nQueued = 0;
        while (CURLMsg* pMsg = curl_multi_info_read(pMulti, &nQueued)) {
            if (pMsg->msg != CURLMSG_DONE)
                continue;
            CCheck* pCheck = nullptr;
            curl_easy_getinfo(pMsg->easy_handle, CURLINFO_PRIVATE, &pCheck);
            if (!pCheck || pCheck->m_bFinished)
                continue;
            if (pCheck->m_bHeadersFinal)
                Finish(*pCheck, true, {});
            else
                Finish(*pCheck, false, pCheck->m_szError[0] ? pCheck->m_szError
                                                            : curl_easy_strerror(pMsg->data.result));
        }
        for (auto& pCheck : m_checks) {
            if (pCheck->m_bFinished)
                continue;
            if (pCheck->m_bHeadersFinal) {
                Finish(*pCheck, true, {});
            } else if (pCheck->m_stall.HasExpired()) {
                pCheck->m_stall.Describe(pCheck->m_szError, sizeof pCheck->m_szError);
                Finish(*pCheck, false, pCheck->m_szError);
            }
        }
        // Finished transfers are dropped at once; their connections close.
        for (auto it = m_checks.begin(); it != m_checks.end();) {
            if ((*it)->m_bFinished) {
                it = m_checks.erase(it);
            } else {
                ++it;
            }
        }
        if (m_finished.empty())
            curl_multi_poll(pMulti, nullptr, 0, 100, nullptr);
    }
}
