// SPDX-License-Identifier: MIT
#include "FuzzAnswerServer.h"

#include "engines/SearchEngine.h"
#include "platform/InternetClient.h"
#include "search/PageFetch.h"

#include <arpa/inet.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace fuzz {

namespace {

std::mutex g_mutex;
std::string g_strAnswer;

// Answers every connection with the current input, then closes it.
uint16_t StartServer()
{
    const int nListen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(nListen, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(nListen, 16);
    socklen_t nLength = sizeof address;
    ::getsockname(nListen, reinterpret_cast<sockaddr*>(&address), &nLength);
    std::thread([nListen] {
        for (;;) {
            const int fd = ::accept(nListen, nullptr, nullptr);
            if (fd < 0)
                continue;
            // Read the request head (or what comes within a second).
            std::string strRequest;
            char buffer[4096];
            pollfd pfd{fd, POLLIN, 0};
            while (strRequest.find("\r\n\r\n") == std::string::npos && ::poll(&pfd, 1, 1000) > 0) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                strRequest.append(buffer, static_cast<size_t>(n));
            }
            std::string strAnswer;
            {
                std::lock_guard<std::mutex> lock(g_mutex);
                strAnswer = g_strAnswer;
            }
            size_t nDone = 0;
            while (nDone < strAnswer.size()) {
                const ssize_t n = ::send(fd, strAnswer.data() + nDone, strAnswer.size() - nDone, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                nDone += static_cast<size_t>(n);
            }
            ::shutdown(fd, SHUT_WR);
            ::close(fd);
        }
    }).detach();
    return ntohs(address.sin_port);
}

} // namespace

void SetAnswer(std::string strAnswer)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_strAnswer = std::move(strAnswer);
}

void FetchAnswer(CFetchState& fs, size_t nMaxPageBytes)
{
    static const bool bStarted = InitNetworkLibrary();
    static const uint16_t nPort = StartServer();
    (void)bStarted;
    CSessionOptions options;
    options.m_nConnectMethod = kConnectDirect;
    options.m_nMaxRedirects = 0;
    options.SetTimeoutSeconds(2);
    CInternetSession session(options);
    fs.m_pSession = &session;
    fs.m_nMaxPageBytes = nMaxPageBytes;
    fs.m_pConnection = std::make_unique<CHttpConnection>(session, "127.0.0.1", nPort, false);
    fs.m_strObject = "/";
    CSearchEngine engine;
    engine.m_strUrl = "http://127.0.0.1/";
    const bool bFetched = FetchPage(fs, engine);
    fs.m_pConnection.reset();
    fs.m_pSession = nullptr;
    if (!bFetched)
        __builtin_trap(); // nothing cancels here
    if (fs.m_answer.m_strText.size() > fs.m_nMaxPageBytes || fs.m_answer.m_strText.find('\0') != std::string::npos)
        __builtin_trap();
}

} // namespace fuzz
