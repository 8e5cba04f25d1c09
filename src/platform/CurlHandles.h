// SPDX-License-Identifier: MIT
#pragma once

// Owners of the library's handles and strings, so none leaks on an early return.
// An easy handle still in a multi handle is taken out by CCurlTransfer.

#include <curl/curl.h>
#include <memory>
#include <string>

struct CCurlUrlDeleter
{
    void operator()(CURLU* p) const { curl_url_cleanup(p); }
};
using CCurlUrlPtr = std::unique_ptr<CURLU, CCurlUrlDeleter>;

struct CCurlEasyDeleter
{
    void operator()(CURL* p) const { curl_easy_cleanup(p); }
};
using CCurlEasyPtr = std::unique_ptr<CURL, CCurlEasyDeleter>;

struct CCurlMultiDeleter
{
    void operator()(CURLM* p) const { curl_multi_cleanup(p); }
};
using CCurlMultiPtr = std::unique_ptr<CURLM, CCurlMultiDeleter>;

struct CCurlShareDeleter
{
    void operator()(CURLSH* p) const { curl_share_cleanup(p); }
};
using CCurlSharePtr = std::unique_ptr<CURLSH, CCurlShareDeleter>;

// An easy handle while it is part of a multi handle: removed from it when the
// owner goes (the multi handle must outlive it).
class CCurlTransfer
{
public:
    CCurlTransfer() = default;
    ~CCurlTransfer() { Reset(); }
    CCurlTransfer(const CCurlTransfer&) = delete;
    CCurlTransfer& operator=(const CCurlTransfer&) = delete;

    // Owns a new easy handle for the multi handle; returns it.
    CURL* Make(CURLM* pMulti)
    {
        Reset();
        m_pMulti = pMulti;
        m_pEasy.reset(curl_easy_init());
        return m_pEasy.get();
    }
    CURL* Get() const { return m_pEasy.get(); }
    // Adds the handle to the multi handle (once).
    void Start()
    {
        if (!m_bAdded && m_pMulti && m_pEasy)
            m_bAdded = curl_multi_add_handle(m_pMulti, m_pEasy.get()) == CURLM_OK;
    }
    bool IsStarted() const { return m_bAdded; }
    void Reset()
    {
        if (m_bAdded)
            curl_multi_remove_handle(m_pMulti, m_pEasy.get());
        m_bAdded = false;
        m_pEasy.reset();
    }

private:
    CURLM* m_pMulti = nullptr;
    CCurlEasyPtr m_pEasy;
    bool m_bAdded = false;
};

// One part of a parsed address as text; false when the part is absent.
inline bool GetUrlPart(CURLU* pUrl, CURLUPart part, unsigned nFlags, std::string* pValue)
{
    char* psz = nullptr;
    if (curl_url_get(pUrl, part, &psz, nFlags) != CURLUE_OK)
        return false;
    *pValue = psz ? psz : "";
    curl_free(psz);
    return true;
}
