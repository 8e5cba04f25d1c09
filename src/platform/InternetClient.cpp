// SPDX-License-Identifier: MIT
#include "platform/InternetClient.h"

#include "platform/CancelSignal.h"
#include "platform/Clock.h"
#include "platform/CurlGet.h"
#include "platform/CurlHandles.h"
#include "platform/SystemProxy.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <malloc.h>
#include <mutex>

int ClampTimeoutSeconds(int nSeconds)
{
    return nSeconds < 1 ? 1 : nSeconds > kMaxTimeoutSeconds ? kMaxTimeoutSeconds : nSeconds;
}

bool InitNetworkLibrary()
{
    // Pages are large blocks made and freed by many threads. By default the
    // allocator raises its threshold for mapping blocks of their own after the
    // first is freed, and then keeps freed pages in per-thread arenas: a search
    // of sixteen big pages held over four times what it used. Blocks from
    // 256 KiB up are mapped, and unmapped when freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

void CleanupNetworkLibrary()
{
    curl_global_cleanup();
}

// ---------------------------------------------------------------------------

// The share handle with the locks the library asks for when threads share it.
struct CInternetSession::CShare
{
    CCurlSharePtr m_pHandle{curl_share_init()};
    std::mutex m_locks[CURL_LOCK_DATA_LAST];

    static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* pUser)
    {
        static_cast<CShare*>(pUser)->m_locks[data].lock();
    }
    static void Unlock(CURL*, curl_lock_data data, void* pUser)
    {
        static_cast<CShare*>(pUser)->m_locks[data].unlock();
    }
};

CInternetSession::CInternetSession(CSessionOptions options)
    : m_options(std::move(options)), m_pShare(std::make_unique<CShare>())
{
    CURLSH* pShare = m_pShare->m_pHandle.get();
    curl_share_setopt(pShare, CURLSHOPT_LOCKFUNC, &CShare::Lock);
    curl_share_setopt(pShare, CURLSHOPT_UNLOCKFUNC, &CShare::Unlock);
    curl_share_setopt(pShare, CURLSHOPT_USERDATA, m_pShare.get());
    curl_share_setopt(pShare, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(pShare, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl_share_setopt(pShare, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
}

CInternetSession::~CInternetSession() = default;

const IClock& CInternetSession::GetClock() const
{
    return m_options.m_pClock ? *m_options.m_pClock : SteadyClock();
}

void* CInternetSession::GetShare() const
{
    return m_pShare->m_pHandle.get();
}

const char* CInternetSession::GetProxyArgument() const
{
    switch (m_options.m_nConnectMethod) {
    case kConnectDirect:
        return "";
    case kConnectProxy:
        return m_options.m_strProxy.c_str();
    default:
        return nullptr;
    }
}

std::unique_ptr<CInternetSession> OpenInternetSession(const CSessionOptions& options,
                                                      std::string* pError)
{
    // A proxy needs at least its address ("address:port", the port may be empty).
    if (options.m_nConnectMethod == kConnectProxy &&
        (options.m_strProxy.empty() || options.m_strProxy[0] == ':')) {
        if (pError)
            *pError = "No proxy server is set for the proxy connect method.";
        return nullptr;
    }
    // The agent becomes a header line: a line break in it would add headers.
    for (const char c : options.m_strAgent) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            if (pError)
                *pError = "The User Agent must be one line of text.";
            return nullptr;
        }
    }
    return std::make_unique<CInternetSession>(options);
}

// ---------------------------------------------------------------------------

CHttpConnection::CHttpConnection(CInternetSession& session, std::string strHost, uint16_t nPort,
                                 bool bSecure)
    : m_session(session), m_strHost(std::move(strHost)), m_nPort(nPort), m_bSecure(bSecure)
{
}

std::unique_ptr<CHttpRequest> CHttpConnection::OpenRequest(const std::string& strObject,
                                                           CCancelSignal* pCancel) const
{
    return std::make_unique<CHttpRequest>(*this, strObject, pCancel);
}

std::string EncodeRequestTarget(const std::string& strTarget)
{
    static constexpr std::string_view kUnsafe = "\"<>\\^`{|}";
    std::string out;
    out.reserve(strTarget.size() + 8);
    for (size_t i = 0; i < strTarget.size(); ++i) {
        const char ch = strTarget[i];
        const auto c = static_cast<unsigned char>(ch);
        // A '%' that does not start an escape ("%%" of a template, an unformatted
        // "%d") would make the request line invalid: it is sent as "%25".
        const bool bLonePercent =
            ch == '%' && !(i + 2 < strTarget.size() && HexDigitValue(strTarget[i + 1]) >= 0 &&
                           HexDigitValue(strTarget[i + 2]) >= 0);
        if (c <= 0x20 || c >= 0x7F || bLonePercent || kUnsafe.find(ch) != std::string_view::npos)
            AppendPercentEncoded(out, c);
        else
            out += ch;
    }
    if (out.empty() || out[0] != '/')
        out.insert(0, "/");
    return out;
}

// ---------------------------------------------------------------------------

std::string BuildRequestUrl(const CHttpConnection& connection, const std::string& strObject)
{
    // The scheme's own port is left out, so the address reads as the user wrote it
    // (links on the page are resolved against it).
    const bool bSecure = connection.IsSecure();
    const uint16_t nPort = connection.GetPort();
    const bool bDefaultPort = nPort == (bSecure ? 443 : 80);
    return std::string(bSecure ? "https://" : "http://") + connection.GetServerName() +
           (bDefaultPort ? std::string() : ":" + std::to_string(nPort)) + EncodeRequestTarget(strObject);
}

void ConfigureGet(CURL* h, const CHttpConnection& connection, const std::string& strUrl,
                  char* pszErrorBuffer)
{
    const CSessionOptions& options = connection.GetSession().GetOptions();
    curl_easy_setopt(h, CURLOPT_URL, strUrl.c_str());
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, options.m_nMaxRedirects);
    // The body is read to its end; the announced length is judged by the caller,
    // so a broken Content-Length never makes the whole response fail.
    curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, options.m_strAgent.c_str());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, options.m_nConnectTimeoutMs);
    if (const char* pszProxy = connection.GetSession().GetProxyArgument()) {
        curl_easy_setopt(h, CURLOPT_PROXY, pszProxy);
        // The proxy the user named has no bypass list: the environment's no_proxy
        // is for the system's settings only.
        if (*pszProxy)
            curl_easy_setopt(h, CURLOPT_NOPROXY, "");
    } else {
        // The system's settings: the desktop's proxy for this address, if any
        // (the library itself reads the environment's).
        const std::string strSystemProxy = SystemProxyFor(strUrl);
        if (!strSystemProxy.empty()) {
            curl_easy_setopt(h, CURLOPT_PROXY, strSystemProxy.c_str());
            curl_easy_setopt(h, CURLOPT_NOPROXY, "");
        }
    }
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, pszErrorBuffer);
    // Compressed answers are welcome; the library decodes them.
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_SHARE, connection.GetSession().GetShare());
    // A transfer given up during a name look-up that does not answer must not
    // wait for the look-up to end: the resolver thread is left to finish alone.
    curl_easy_setopt(h, CURLOPT_QUICK_EXIT, 1L);
}

bool CFinalHeaderTracker::OnLine(CURL* pEasy, std::string_view line)
{
    if (line.size() >= 5 && line.substr(0, 5) == "HTTP/") {
        m_bSawLocation = false;
        // "HTTP/1.1 403 Forbidden": the text after the code.
        const size_t nCode = line.find(' ');
        const size_t nReason = nCode == std::string_view::npos ? nCode : line.find(' ', nCode + 1);
        m_strReason = nReason == std::string_view::npos ? std::string()
                                                        : TrimWhiteSpace(line.substr(nReason + 1));
    } else if (line.size() >= 9 && EqualsNoCase(line.substr(0, 9), "location:")) {
        m_bSawLocation = true;
    } else if (line == "\r\n" || line == "\n") {
        long nCode = 0;
        long nRedirects = 0;
        curl_easy_getinfo(pEasy, CURLINFO_RESPONSE_CODE, &nCode);
        curl_easy_getinfo(pEasy, CURLINFO_REDIRECT_COUNT, &nRedirects);
        const bool bInterim = nCode >= 100 && nCode < 200;
        const bool bFollowed =
            nCode >= 300 && nCode < 400 && m_bSawLocation && nRedirects < m_nMaxRedirects;
        return !bInterim && !bFollowed;
    }
    return false;
}

void CStallWatch::Describe(char* pszBuffer, size_t nSize) const
{
    if (m_pClock->Now() - m_start > m_deadline)
        std::snprintf(pszBuffer, nSize, "%s: the answer took longer than %lld s",
                      curl_easy_strerror(CURLE_OPERATION_TIMEDOUT), static_cast<long long>(m_deadline.count() / 1000));
    else
        std::snprintf(pszBuffer, nSize, "%s: no data received for %lld ms",
                      curl_easy_strerror(CURLE_OPERATION_TIMEDOUT), static_cast<long long>(m_stall.count()));
}

// ---------------------------------------------------------------------------
// The request runs on its own multi handle, so that a cancel can wake the wait
// at once (curl_multi_wakeup) and reads can be pulled in any size.

struct CHttpRequest::Impl
{
    CCurlMultiPtr m_pMulti{curl_multi_init()};
    CCurlTransfer m_transfer; // taken out of the multi handle before it goes
    CURL* m_pEasy = nullptr;
    CCancelSignal* m_pCancel = nullptr;
    int m_nWaker = 0;
    CStallWatch m_stall{60000, 120000, SteadyClock()};

    std::string m_strUrl;
    std::string m_buffer; // received body bytes not yet read
    size_t m_nBufferPos = 0;
    size_t m_nMaxBody = static_cast<size_t>(-1);
    size_t m_nBodyBytes = 0;   // decoded body bytes taken so far
    bool m_bCutAtMax = false;  // the body was ended at m_nMaxBody

    bool m_bHeadersFinal = false;
    CFinalHeaderTracker m_headers{10};
    bool m_bDone = false;
    CURLcode m_result = CURLE_OK;
    char m_szError[CURL_ERROR_SIZE] = {};

    static size_t OnHeader(char* pData, size_t nSize, size_t nCount, void* pUser);
    static size_t OnBody(char* pData, size_t nSize, size_t nCount, void* pUser);

    bool IsCancelled() const { return m_pCancel && m_pCancel->IsSignalled(); }
    void Perform();
    void NoteActivity() { m_stall.Note(); }
    void Wait() { curl_multi_poll(m_pMulti.get(), nullptr, 0, 100, nullptr); }
    void FillError(CInternetError* pError) const;
    size_t Available() const { return m_buffer.size() - m_nBufferPos; }
};

size_t CHttpRequest::Impl::OnHeader(char* pData, size_t nSize, size_t nCount, void* pUser)
{
    auto* pImpl = static_cast<Impl*>(pUser);
    const size_t nBytes = nSize * nCount;
    pImpl->NoteActivity();
    if (pImpl->m_headers.OnLine(pImpl->m_pEasy, std::string_view(pData, nBytes)))
        pImpl->m_bHeadersFinal = true;
    return nBytes;
}

size_t CHttpRequest::Impl::OnBody(char* pData, size_t nSize, size_t nCount, void* pUser)
{
    auto* pImpl = static_cast<Impl*>(pUser);
    const size_t nBytes = nSize * nCount;
    if (pImpl->m_nBufferPos > 0 && pImpl->m_nBufferPos >= pImpl->m_buffer.size() / 2) {
        pImpl->m_buffer.erase(0, pImpl->m_nBufferPos);
        pImpl->m_nBufferPos = 0;
    }
    pImpl->m_bHeadersFinal = true;
    pImpl->NoteActivity();
    // The bytes come here as they are decoded, a block at a time: the cap holds
    // however far a compressed answer would inflate.
    const size_t nTake = std::min(nBytes, pImpl->m_nMaxBody - pImpl->m_nBodyBytes);
    pImpl->m_buffer.append(pData, nTake);
    pImpl->m_nBodyBytes += nTake;
    if (nTake < nBytes) {
        pImpl->m_bCutAtMax = true;
        return CURL_WRITEFUNC_ERROR; // ends the transfer (and the decoding) here
    }
    return nBytes;
}

void CHttpRequest::Impl::Perform()
{
    int nRunning = 0;
    curl_multi_perform(m_pMulti.get(), &nRunning);
    int nQueued = 0;
    while (CURLMsg* pMsg = curl_multi_info_read(m_pMulti.get(), &nQueued)) {
        if (pMsg->msg == CURLMSG_DONE) {
            m_bDone = true;
            // A body ended at the cap is a whole answer as far as the reader goes.
            m_result = m_bCutAtMax ? CURLE_OK : pMsg->data.result;
        }
    }
    if (!m_bDone && m_stall.HasExpired()) {
        m_bDone = true;
        m_result = CURLE_OPERATION_TIMEDOUT;
        m_stall.Describe(m_szError, sizeof m_szError);
    }
}

void CHttpRequest::Impl::FillError(CInternetError* pError) const
{
    if (!pError)
        return;
    if (IsCancelled()) {
        pError->m_bCancelled = true;
        pError->m_strText = "The operation was cancelled.";
        return;
    }
    pError->m_bCancelled = false;
    pError->m_strText = m_szError[0] ? m_szError : curl_easy_strerror(m_result);
}

CHttpRequest::CHttpRequest(const CHttpConnection& connection, const std::string& strObject,
                           CCancelSignal* pCancel)
    : m_pImpl(std::make_unique<Impl>())
{
    Impl& impl = *m_pImpl;
    const CSessionOptions& options = connection.GetSession().GetOptions();
    impl.m_pCancel = pCancel;
    impl.m_stall = CStallWatch(options.m_nStallTimeoutMs, options.m_nDeadlineMs, connection.GetSession().GetClock());
    impl.m_headers = CFinalHeaderTracker(options.m_nMaxRedirects);
    impl.m_strUrl = BuildRequestUrl(connection, strObject);

    impl.m_pEasy = impl.m_transfer.Make(impl.m_pMulti.get());
    CURL* h = impl.m_pEasy;
    ConfigureGet(h, connection, impl.m_strUrl, impl.m_szError);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &impl);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &impl);

    if (pCancel) {
        CURLM* pMulti = impl.m_pMulti.get();
        impl.m_nWaker = pCancel->AddWaker([pMulti] { curl_multi_wakeup(pMulti); });
    }
}

CHttpRequest::~CHttpRequest()
{
    Impl& impl = *m_pImpl;
    if (impl.m_pCancel)
        impl.m_pCancel->RemoveWaker(impl.m_nWaker);
}

void CHttpRequest::SetMaxBodyBytes(size_t nMax)
{
    m_pImpl->m_nMaxBody = nMax;
}

bool CHttpRequest::Send(CInternetError* pError)
{
    Impl& impl = *m_pImpl;
    if (!impl.m_transfer.IsStarted()) {
        impl.m_transfer.Start();
        impl.NoteActivity();
    }
    while (!impl.m_bHeadersFinal && !impl.m_bDone) {
        if (impl.IsCancelled()) {
            impl.FillError(pError);
            return false;
        }
        impl.Perform();
        if (!impl.m_bHeadersFinal && !impl.m_bDone)
            impl.Wait();
    }
    if (!impl.m_bHeadersFinal && impl.m_result != CURLE_OK) {
        impl.FillError(pError);
        return false;
    }
    return true;
}

bool CHttpRequest::QueryHeader(const char* pszName, std::string* pValue) const
{
    struct curl_header* pHeader = nullptr;
    if (curl_easy_header(m_pImpl->m_pEasy, pszName, 0, CURLH_HEADER, -1, &pHeader) != CURLHE_OK)
        return false;
    if (pValue) {
        const size_t nAmount = pHeader->amount;
        *pValue = pHeader->value ? pHeader->value : "";
        for (size_t i = 1; i < nAmount; ++i)
            if (curl_easy_header(m_pImpl->m_pEasy, pszName, i, CURLH_HEADER, -1, &pHeader) == CURLHE_OK)
                *pValue += std::string(", ") + (pHeader->value ? pHeader->value : "");
    }
    return true;
}

long CHttpRequest::GetStatusCode() const
{
    long nCode = 0;
    curl_easy_getinfo(m_pImpl->m_pEasy, CURLINFO_RESPONSE_CODE, &nCode);
    return nCode;
}

const std::string& CHttpRequest::GetUrl() const
{
    return m_pImpl->m_strUrl;
}

std::string CHttpRequest::GetEffectiveUrl() const
{
    const char* psz = nullptr;
    if (curl_easy_getinfo(m_pImpl->m_pEasy, CURLINFO_EFFECTIVE_URL, &psz) == CURLE_OK && psz && *psz)
        return psz;
    return m_pImpl->m_strUrl;
}

const std::string& CHttpRequest::GetReasonPhrase() const
{
    return m_pImpl->m_headers.GetReasonPhrase();
}

bool CHttpRequest::Read(char* pBuffer, size_t nWanted, size_t* pRead, CInternetError* pError)
{
    Impl& impl = *m_pImpl;
    *pRead = 0;
    while (impl.Available() < nWanted && !impl.m_bDone) {
        if (impl.IsCancelled()) {
            impl.FillError(pError);
            return false;
        }
        impl.Perform();
        if (!impl.m_bDone && impl.Available() < nWanted)
            impl.Wait();
    }
    const size_t nCopy = std::min(nWanted, impl.Available());
    if (nCopy > 0) {
        std::memcpy(pBuffer, impl.m_buffer.data() + impl.m_nBufferPos, nCopy);
        impl.m_nBufferPos += nCopy;
        *pRead = nCopy;
        return true;
    }
    if (impl.m_result != CURLE_OK) {
        impl.FillError(pError);
        return false;
    }
    return true;
}
