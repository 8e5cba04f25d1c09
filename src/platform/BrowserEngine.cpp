// SPDX-License-Identifier: MIT
#include "platform/BrowserEngine.h"

#include "platform/CancelSignal.h"
#include "platform/Url.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr size_t kMaxDocumentBytes = 32u * 1024 * 1024;

// Whether a process of the group is still running (a zombie is not: it
// writes nothing and shows no command line).
bool GroupHasLiveProcess(pid_t pgid)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream in(entry.path() / "stat");
        std::string strStat;
        if (!std::getline(in, strStat))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold blanks and parentheses.
        const size_t nEnd = strStat.rfind(')');
        if (nEnd == std::string::npos)
            continue;
        std::istringstream fields(strStat.substr(nEnd + 1));
        char chState = 0;
        long nParent = 0, nGroup = 0;
        if (fields >> chState >> nParent >> nGroup && nGroup == pgid && chState != 'Z' && chState != 'X')
            return true;
    }
    return false;
}

// The browser's process group: every process it started, ended with it. The
// others die as they leave their last system call, after the first: the load
// waits for that (a second at most), so that none writes into the profile
// once it is removed.
void EndProcessGroup(pid_t pid)
{
    ::kill(-pid, SIGKILL);
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    for (int nTry = 0; nTry < 100 && GroupHasLiveProcess(pid); ++nTry) {
        ::kill(-pid, SIGKILL);
        ::usleep(10000);
    }
}

// The turns of the loads: at most kMaxBrowserLoadsAtOnce hold one.
class CLoadTurns
{
public:
    // False, holding none, when cancelled while waiting.
    bool Take(CCancelSignal* pCancel)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (pCancel && pCancel->IsSignalled())
                return false;
            if (m_nHeld < kMaxBrowserLoadsAtOnce) {
                ++m_nHeld;
                return true;
            }
            // The cancel signal is looked at between waits, as the load does.
            m_freed.wait_for(lock, std::chrono::milliseconds(50));
        }
    }
    void Give()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_nHeld;
        m_freed.notify_one();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_freed;
    int m_nHeld = 0;
};

CLoadTurns g_turns;

struct CTurnHeld
{
    ~CTurnHeld() { g_turns.Give(); }
};

} // namespace

std::string FindBrowserEngine()
{
    if (const char* pszOverride = std::getenv("QUESTREL_BROWSER_ENGINE"))
        return (*pszOverride && ::access(pszOverride, X_OK) == 0) ? std::string(pszOverride) : std::string();
    for (const char* pszPath : {"/usr/bin/chromium-headless-shell", "/usr/lib/chromium/chromium-headless-shell"})
        if (::access(pszPath, X_OK) == 0)
            return pszPath;
    return {};
}

bool LoadInBrowserEngine(const CBrowserLoad& load, CBrowserPage& page)
{
    page = CBrowserPage{};
    const std::string strProgram = FindBrowserEngine();
    if (strProgram.empty()) {
        page.m_strError = kBrowserNotInstalled;
        return true;
    }
    if (!IsHttpAddressWithHost(load.m_strAddress)) {
        page.m_strError = "Invalid URL";
        return true;
    }
    if (!g_turns.Take(load.m_pCancel))
        return false;
    const CTurnHeld turn;
    // A fresh profile in the temporary folder ($TMPDIR, else /tmp).
    std::error_code ecTemp;
    std::filesystem::path tempDir = std::filesystem::temp_directory_path(ecTemp);
    if (ecTemp)
        tempDir = "/tmp";
    std::string strProfileTemplate = (tempDir / "questrel-browser-XXXXXX").string();
    char* szProfile = strProfileTemplate.data();
    if (!::mkdtemp(szProfile)) {
        page.m_strError = N_("no temporary folder for the browser engine");
        return true;
    }
    page.m_strProfile = szProfile;
    std::vector<std::string> args = {strProgram, "--disable-gpu", "--no-first-run", "--disable-extensions",
                                     "--user-data-dir=" + std::string(szProfile)};
    if (::geteuid() == 0)
        args.push_back("--no-sandbox"); // the browser refuses its sandbox to root
    // Without either switch the browser takes the system's settings itself.
    if (!load.m_bSystemProxy)
        args.push_back(load.m_strProxy.empty() ? "--no-proxy-server" : "--proxy-server=" + load.m_strProxy);
    if (!load.m_strUserAgent.empty())
        args.push_back("--user-agent=" + load.m_strUserAgent);
    // Virtual time runs on while the page waits for nothing but the clock, and
    // stops while its scripts fetch: the document is dumped once what they
    // asked for has come.
    args.push_back("--virtual-time-budget=10000");
    args.push_back("--dump-dom");
    args.push_back(load.m_strAddress);
    std::vector<char*> argv;
    for (std::string& strArg : args)
        argv.push_back(strArg.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        std::filesystem::remove_all(szProfile);
        page.m_strError = kBrowserNotStarted;
        return true;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int nSpawn = posix_spawn(&pid, strProgram.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeFds[1]);
    if (nSpawn != 0) {
        ::close(pipeFds[0]);
        std::filesystem::remove_all(szProfile);
        page.m_strError = kBrowserNotStarted;
        return true;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::max(1, load.m_nTimeoutSeconds));
    bool bCancelled = false;
    bool bTimedOut = false;
    char block[16384];
    for (;;) {
        if (load.m_pCancel && load.m_pCancel->IsSignalled()) {
            bCancelled = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            bTimedOut = true;
            break;
        }
        pollfd fd{pipeFds[0], POLLIN, 0};
        const int nReady = ::poll(&fd, 1, 50); // the cancel signal and the time-out are looked at between waits
        if (nReady < 0 && errno != EINTR)
            break;
        if (nReady <= 0)
            continue;
        const ssize_t nRead = ::read(pipeFds[0], block, sizeof block);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead <= 0)
            break; // the document is whole
        if (page.m_strText.size() + static_cast<size_t>(nRead) > kMaxDocumentBytes) {
            page.m_strError = N_("the page is too long");
            break;
        }
        page.m_strText.append(block, static_cast<size_t>(nRead));
    }
    ::close(pipeFds[0]);
    EndProcessGroup(pid);
    std::error_code ec;
    std::filesystem::remove_all(szProfile, ec);
    if (bCancelled) {
        page.m_strText.clear();
        return false;
    }
    if (bTimedOut) {
        page.m_strText.clear();
        page.m_strError = kBrowserTimedOut;
    } else if (page.m_strText.empty() && page.m_strError.empty()) {
        page.m_strError = kBrowserGaveNothing;
    }
    return true;
}
