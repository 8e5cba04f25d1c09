// SPDX-License-Identifier: MIT
#pragma once

// A small HTTP server on 127.0.0.1 for tests. Each request is answered by a
// handler with a scripted reply: any head (or garbage), the body at once or in
// chunks with delays, a stall, or a connection reset part-way. The raw request
// line and head of every request are recorded, so a test can assert on the
// exact bytes that were sent. Every wait ends when the server stops.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qtest {

struct CRecordedRequest
{
    std::string m_strRequestLine; // e.g. "GET /a?b HTTP/1.0"
    std::string m_strMethod;
    std::string m_strTarget;      // as sent
    std::string m_strPath;        // the target before '?'
    std::string m_strQuery;       // after '?', still encoded
    std::string m_strHead;        // every header line, raw

    // A header's value (case-insensitive name), or empty.
    std::string Header(const std::string& strName) const;
    // A decoded query parameter ('+' and %XX decoded), or empty.
    std::string Param(const std::string& strName) const;
};

struct CReply
{
    static constexpr size_t npos = static_cast<size_t>(-1);

    std::string m_strHead;          // status line and headers with the closing blank line, sent as is
    std::string m_strBody;
    std::shared_ptr<const std::string> m_pSharedBody; // sent instead of m_strBody when set (big pages, one copy)
    int m_nHeadDelayMs = 0;         // before anything is sent
    size_t m_nChunkSize = 0;        // body in chunks of this size; 0: at once
    int m_nChunkDelayMs = 0;        // before each chunk
    size_t m_nStallAfter = npos;    // after this many body bytes, send nothing more ...
    int m_nStallMs = -1;            // ... for this long (-1: until the server stops)
    size_t m_nResetAfter = npos;    // after this many body bytes, reset the connection

    // "HTTP/1.0 <code> <reason>", Content-Type text/html, Content-Length when asked.
    static CReply Make(int nCode, std::string strBody, bool bContentLength = true,
                       const std::string& strExtraHeaders = "");
    static CReply Ok(std::string strBody, bool bContentLength = true)
    {
        return Make(200, std::move(strBody), bContentLength);
    }
    static CReply Redirect(int nCode, const std::string& strLocation);
    // Bytes sent as they are, no HTTP framing.
    static CReply Raw(std::string strBytes);
};

class CLoopbackServer
{
public:
    using Handler = std::function<CReply(const CRecordedRequest&)>;

    // nPort 0 picks a free port.
    explicit CLoopbackServer(Handler handler, uint16_t nPort = 0);
    ~CLoopbackServer();
    CLoopbackServer(const CLoopbackServer&) = delete;
    CLoopbackServer& operator=(const CLoopbackServer&) = delete;

    bool IsListening() const { return m_nListenFd >= 0; }
    uint16_t GetPort() const { return m_nPort; }
    std::string GetBaseUrl() const; // "http://127.0.0.1:<port>"
    std::vector<CRecordedRequest> GetRequests() const;
    std::vector<std::string> GetRequestLines() const;
    size_t GetRequestCount() const;
    // Connections whose answer has been sent whole (or cut as scripted) and
    // closed: what they were sent waits for the client in its socket.
    size_t GetClosedCount() const { return m_nConnectionsClosed; }
    // Replies that have begun a scripted silence (a head delay or a stall):
    // everything before it has been sent.
    size_t GetSilencesBegun() const { return m_nSilencesBegun; }
    void SetHandler(Handler handler);

    // Ends every wait, closes every connection and joins the threads.
    void Stop();

private:
    void AcceptLoop();
    void Serve(int nFd);
    bool WaitMs(int nMs); // false when the server is stopping
    bool BeSilent(int nMs); // WaitMs, counted as a silence
    bool SendAll(int nFd, const char* p, size_t n);

    Handler GetHandler() const;

    int m_nListenFd = -1;
    int m_wakePipe[2] = {-1, -1};
    uint16_t m_nPort = 0;
    std::atomic<bool> m_bStopping{false};
    std::atomic<size_t> m_nConnectionsClosed{0};
    std::atomic<size_t> m_nSilencesBegun{0};

    mutable std::mutex m_mutex;
    std::condition_variable m_stopCv;
    Handler m_handler;
    std::vector<CRecordedRequest> m_requests;
    std::vector<int> m_openFds;
    std::vector<std::thread> m_connectionThreads;
    std::thread m_acceptThread;
};

} // namespace qtest
