// SPDX-License-Identifier: MIT
#include "LoopbackServer.h"

#include "platform/TextUtil.h"

#include <arpa/inet.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qtest {

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A query parameter as a form sends it: '+' is a blank, %XX a byte.
std::string DecodeParam(std::string s)
{
    std::replace(s.begin(), s.end(), '+', ' ');
    return PercentDecode(s);
}

const char* ReasonPhrase(int nCode)
{
    switch (nCode) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 410: return "Gone";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

} // namespace

std::string CRecordedRequest::Header(const std::string& strName) const
{
    const std::string strWanted = Lower(strName) + ":";
    size_t nPos = 0;
    while (nPos < m_strHead.size()) {
        size_t nEnd = m_strHead.find("\r\n", nPos);
        if (nEnd == std::string::npos)
            nEnd = m_strHead.size();
        const std::string strLine = m_strHead.substr(nPos, nEnd - nPos);
        if (Lower(strLine.substr(0, strWanted.size())) == strWanted) {
            std::string strValue = strLine.substr(strWanted.size());
            while (!strValue.empty() && strValue.front() == ' ')
                strValue.erase(0, 1);
            return strValue;
        }
        nPos = nEnd + 2;
    }
    return {};
}

std::string CRecordedRequest::Param(const std::string& strName) const
{
    size_t nPos = 0;
    while (nPos <= m_strQuery.size()) {
        size_t nEnd = m_strQuery.find('&', nPos);
        if (nEnd == std::string::npos)
            nEnd = m_strQuery.size();
        const std::string strPair = m_strQuery.substr(nPos, nEnd - nPos);
        const size_t nEq = strPair.find('=');
        if (nEq != std::string::npos && strPair.substr(0, nEq) == strName)
            return DecodeParam(strPair.substr(nEq + 1));
        nPos = nEnd + 1;
    }
    return {};
}

CReply CReply::Make(int nCode, std::string strBody, bool bContentLength,
                    const std::string& strExtraHeaders)
{
    CReply reply;
    reply.m_strHead = "HTTP/1.0 " + std::to_string(nCode) + " " + ReasonPhrase(nCode) +
                      "\r\nContent-Type: text/html\r\n";
    if (bContentLength)
        reply.m_strHead += "Content-Length: " + std::to_string(strBody.size()) + "\r\n";
    reply.m_strHead += strExtraHeaders + "\r\n";
    reply.m_strBody = std::move(strBody);
    return reply;
}

CReply CReply::Redirect(int nCode, const std::string& strLocation)
{
    return Make(nCode, "<html>moved</html>", true, "Location: " + strLocation + "\r\n");
}

CReply CReply::Raw(std::string strBytes)
{
    CReply reply;
    reply.m_strBody = std::move(strBytes);
    return reply;
}

// ---------------------------------------------------------------------------

CLoopbackServer::CLoopbackServer(Handler handler, uint16_t nPort) : m_handler(std::move(handler))
{
    if (::pipe2(m_wakePipe, O_CLOEXEC) != 0)
        return;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    const int nOne = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &nOne, sizeof nOne);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(nPort);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        return;
    }
    socklen_t nLen = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &nLen);
    m_nPort = ntohs(addr.sin_port);
    m_nListenFd = fd;
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

CLoopbackServer::~CLoopbackServer()
{
    Stop();
    for (int fd : m_wakePipe)
        if (fd >= 0)
            ::close(fd);
}

std::string CLoopbackServer::GetBaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort);
}

std::vector<CRecordedRequest> CLoopbackServer::GetRequests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::vector<std::string> CLoopbackServer::GetRequestLines() const
{
    std::vector<std::string> lines;
    for (const CRecordedRequest& request : GetRequests())
        lines.push_back(request.m_strRequestLine);
    return lines;
}

size_t CLoopbackServer::GetRequestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.size();
}

void CLoopbackServer::SetHandler(Handler handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handler = std::move(handler);
}

CLoopbackServer::Handler CLoopbackServer::GetHandler() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handler;
}

void CLoopbackServer::Stop()
{
    if (m_bStopping.exchange(true))
        return;
    if (m_wakePipe[1] >= 0) {
        const char c = 'x';
        [[maybe_unused]] const ssize_t n = ::write(m_wakePipe[1], &c, 1);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (int fd : m_openFds)
            ::shutdown(fd, SHUT_RDWR);
    }
    m_stopCv.notify_all();
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        threads.swap(m_connectionThreads);
    }
    for (std::thread& t : threads)
        t.join();
    if (m_nListenFd >= 0) {
        ::close(m_nListenFd);
        m_nListenFd = -1;
    }
}

bool CLoopbackServer::BeSilent(int nMs)
{
    ++m_nSilencesBegun;
    return WaitMs(nMs);
}

bool CLoopbackServer::WaitMs(int nMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (nMs < 0) {
        m_stopCv.wait(lock, [this] { return m_bStopping.load(); });
        return false;
    }
    return !m_stopCv.wait_for(lock, std::chrono::milliseconds(nMs),
                              [this] { return m_bStopping.load(); });
}

void CLoopbackServer::AcceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{m_nListenFd, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (m_bStopping || (fds[1].revents & POLLIN))
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int fd = ::accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bStopping) {
            ::close(fd);
            return;
        }
        m_openFds.push_back(fd);
        m_connectionThreads.emplace_back([this, fd] { Serve(fd); });
    }
}

bool CLoopbackServer::SendAll(int nFd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t nSent = ::send(nFd, p, n, MSG_NOSIGNAL);
        if (nSent < 0 && errno == EINTR)
            continue;
        if (nSent <= 0)
            return false;
        p += nSent;
        n -= static_cast<size_t>(nSent);
    }
    return true;
}

void CLoopbackServer::Serve(int nFd)
{
    // Read the request head (bounded in size and time).
    std::string head;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 && !m_bStopping &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{nFd, POLLIN, 0};
        if (::poll(&pfd, 1, 100) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::recv(nFd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        head.append(buffer, static_cast<size_t>(n));
        if (head[0] < 'A' || head[0] > 'Z')
            break; // not HTTP (a TLS hello, say): close at once
    }

    bool bReset = false;
    const size_t nHeadEnd = head.find("\r\n\r\n");
    if (nHeadEnd != std::string::npos && !m_bStopping) {
        CRecordedRequest request;
        const size_t nLineEnd = head.find("\r\n");
        request.m_strRequestLine = head.substr(0, nLineEnd);
        request.m_strHead = head.substr(nLineEnd + 2, nHeadEnd - nLineEnd);
        const size_t nSp1 = request.m_strRequestLine.find(' ');
        const size_t nSp2 = request.m_strRequestLine.rfind(' ');
        if (nSp1 != std::string::npos && nSp2 > nSp1) {
            request.m_strMethod = request.m_strRequestLine.substr(0, nSp1);
            request.m_strTarget = request.m_strRequestLine.substr(nSp1 + 1, nSp2 - nSp1 - 1);
        }
        const size_t nQ = request.m_strTarget.find('?');
        request.m_strPath = request.m_strTarget.substr(0, nQ);
        if (nQ != std::string::npos)
            request.m_strQuery = request.m_strTarget.substr(nQ + 1);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
        }

        const Handler handler = GetHandler();
        const CReply reply = handler ? handler(request) : CReply::Make(404, "no handler");
        bool bOk = reply.m_nHeadDelayMs <= 0 || BeSilent(reply.m_nHeadDelayMs);
        bOk = bOk && SendAll(nFd, reply.m_strHead.data(), reply.m_strHead.size());
        size_t nSent = 0;
        const std::string& body = reply.m_pSharedBody ? *reply.m_pSharedBody : reply.m_strBody;
        if (bOk && body.empty() && reply.m_nStallAfter == 0)
            BeSilent(reply.m_nStallMs);
        while (bOk && nSent < body.size()) {
            if (nSent >= reply.m_nResetAfter) {
                bReset = true;
                break;
            }
            if (nSent >= reply.m_nStallAfter) {
                BeSilent(reply.m_nStallMs);
                break;
            }
            size_t nChunk = reply.m_nChunkSize ? reply.m_nChunkSize : body.size();
            nChunk = std::min({nChunk, body.size() - nSent, reply.m_nResetAfter - nSent,
                               reply.m_nStallAfter - nSent});
            if (reply.m_nChunkDelayMs > 0 && !WaitMs(reply.m_nChunkDelayMs))
                break;
            bOk = SendAll(nFd, body.data() + nSent, nChunk);
            nSent += nChunk;
        }
        if (bOk && nSent >= reply.m_nResetAfter && reply.m_nResetAfter != CReply::npos)
            bReset = true;
    }

    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_openFds.erase(std::remove(m_openFds.begin(), m_openFds.end(), nFd), m_openFds.end());
    }
    if (bReset) {
        linger lingerOption{1, 0};
        ::setsockopt(nFd, SOL_SOCKET, SO_LINGER, &lingerOption, sizeof lingerOption);
    } else {
        ::shutdown(nFd, SHUT_WR);
    }
    ::close(nFd);
    ++m_nConnectionsClosed;
}

} // namespace qtest
