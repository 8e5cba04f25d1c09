// SPDX-License-Identifier: MIT
#pragma once

// The internet client layer: session, connection and request, in the manner of
// the system's internet library the program was first written for, on libcurl.
//
// Threading: a session may be shared by requests on any thread; a connection and
// its requests are used by one thread at a time. Every call is synchronous. A
// request given a cancel signal ends its waits at once when the signal is set
// and reports an error with m_bCancelled.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CCancelSignal;
class IClock;

// Connect method codes, stored as they are in the profile.
enum ConnectMethod : int
{
    kConnectPreconfigured = 0, // the system's settings: the environment's proxy, else the desktop's
    kConnectDirect = 1,
    kConnectProxy = 3,         // through the proxy "address:port"
};

struct CInternetError
{
    std::string m_strText;    // the library's description; may be empty
    bool m_bCancelled = false; // the wait ended because the search was cancelled
};

// The User-Agent of every request unless the user sets another.
inline constexpr const char* kDefaultUserAgent = "Internet Questrel/2.0a";

// The time-out of connecting and of a transfer that receives nothing, in
// seconds: the user's one setting, within 1 to 600.
inline constexpr int kDefaultTimeoutSeconds = 20;
inline constexpr int kMaxTimeoutSeconds = 600;
// Every answer must be over within this many time-outs (120 s by default).
inline constexpr int kDeadlineFactor = 6;
int ClampTimeoutSeconds(int nSeconds);

struct CSessionOptions
{
    int m_nConnectMethod = kConnectPreconfigured; // any code other than 1 or 3 acts as 0
    std::string m_strProxy;                       // "address:port", used for method 3 only
    std::string m_strAgent = kDefaultUserAgent;
    long m_nConnectTimeoutMs = kDefaultTimeoutSeconds * 1000L;
    long m_nStallTimeoutMs = kDefaultTimeoutSeconds * 1000L; // a transfer that receives nothing this long fails
    long m_nDeadlineMs = kDeadlineFactor * kDefaultTimeoutSeconds * 1000L; // a transfer not over by then fails

    void SetTimeoutSeconds(int nSeconds)
    {
        m_nConnectTimeoutMs = m_nStallTimeoutMs = ClampTimeoutSeconds(nSeconds) * 1000L;
        m_nDeadlineMs = kDeadlineFactor * m_nStallTimeoutMs;
    }
    long m_nMaxRedirects = 10;
    // A page whose results a script writes is loaded again in the system's
    // browser engine, with these settings (pages asked for outside a search;
    // a search goes by its own settings).
    bool m_bBrowserEngine = false;
    const IClock* m_pClock = nullptr; // the time-outs' clock; the steady clock when none
};

// Starts the network library once per process (the stand-in for the sockets
// start-up), and has large blocks (the pages fetched) given back to the system
// as soon as they are freed. False when the library cannot be started.
bool InitNetworkLibrary();
void CleanupNetworkLibrary();

// A session: the options of every request, and what its requests share (open
// connections, DNS answers, TLS sessions), whatever thread they run on.
class CInternetSession
{
public:
    explicit CInternetSession(CSessionOptions options);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    const CSessionOptions& GetOptions() const { return m_options; }
    const IClock& GetClock() const;
    // The library's share handle (CURLSH*) that the session's requests use.
    void* GetShare() const;
    // The proxy argument as passed to the library for this session: nullptr
    // for the system's settings, "" for direct, else the proxy string.
    const char* GetProxyArgument() const;

private:
    struct CShare;
    CSessionOptions m_options;
    std::unique_ptr<CShare> m_pShare;
};

// Opens a session; false (and a description) when the options cannot work.
std::unique_ptr<CInternetSession> OpenInternetSession(const CSessionOptions& options,
                                                      std::string* pError);

class CHttpRequest;

// The response side of a request, as the page reader sees it.
class IHttpResponse
{
public:
    virtual ~IHttpResponse() = default;
    // A header of the final response, as text; a header that comes more than once
    // gives its values joined by ", ". False when absent.
    virtual bool QueryHeader(const char* pszName, std::string* pValue) const = 0;
    // Reads up to nWanted body bytes; like the system library, a read returns
    // the full amount unless the body ends first. *pRead == 0 means the end.
    // False on a failed transfer (after the bytes received before the failure
    // have been delivered) or on cancellation.
    virtual bool Read(char* pBuffer, size_t nWanted, size_t* pRead, CInternetError* pError) = 0;
};

// A connection names a server; the host is not contacted until a request is sent.
class CHttpConnection
{
public:
    CHttpConnection(CInternetSession& session, std::string strHost, uint16_t nPort, bool bSecure);
    const std::string& GetServerName() const { return m_strHost; }
    uint16_t GetPort() const { return m_nPort; }
    bool IsSecure() const { return m_bSecure; }
    CInternetSession& GetSession() const { return m_session; }

    // A GET request for the object (path and "?" part, as composed). The request
    // target is made valid HTTP when sent (see EncodeRequestTarget).
    std::unique_ptr<CHttpRequest> OpenRequest(const std::string& strObject,
                                              CCancelSignal* pCancel) const;

private:
    CInternetSession& m_session;
    std::string m_strHost;
    uint16_t m_nPort;
    bool m_bSecure;
};

// One HTTP/1.0 GET, redirects followed.
class CHttpRequest : public IHttpResponse
{
public:
    CHttpRequest(const CHttpConnection& connection, const std::string& strObject,
                 CCancelSignal* pCancel);
    ~CHttpRequest() override;
    CHttpRequest(const CHttpRequest&) = delete;
    CHttpRequest& operator=(const CHttpRequest&) = delete;

    // The most body bytes the request takes (after decoding a compressed
    // answer): past it the transfer ends as if the body ended there, so an
    // answer that inflates without end costs no more than this. Unlimited by
    // default; set before Send.
    void SetMaxBodyBytes(size_t nMax);
    // Sends the request and waits for the final response's headers.
    bool Send(CInternetError* pError);

    bool QueryHeader(const char* pszName, std::string* pValue) const override;
    bool Read(char* pBuffer, size_t nWanted, size_t* pRead, CInternetError* pError) override;
    long GetStatusCode() const;
    // The status line's reason phrase of the final response ("Forbidden"), maybe empty.
    const std::string& GetReasonPhrase() const;
    // The address requested, and the address of the final response (after redirects).
    const std::string& GetUrl() const;
    std::string GetEffectiveUrl() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// The request target made valid for the request line: every blank, control byte,
// byte of 0x80 or above, each of " < > \ ^ ` { | } and a '%' that does not start
// an escape becomes %XX.
std::string EncodeRequestTarget(const std::string& strTarget);
