// SPDX-License-Identifier: MIT
#include "platform/ShellOpen.h"

#include <cerrno>
#include <chrono>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kOpenerWaitMs = 1000;

std::mutex g_handlerMutex;
ShellOpenHandler g_handler;

int SpawnOpener(const std::string& strTarget)
{
    if (strTarget.empty() || strTarget[0] == '-')
        return kShellOpenNoAssociation;
    char szProgram[] = "xdg-open";
    std::string strArgument = strTarget;
    char* argv[] = {szProgram, strArgument.data(), nullptr};
    pid_t pid = 0;
    const int nError = posix_spawnp(&pid, szProgram, nullptr, nullptr, argv, environ);
    if (nError == ENOMEM)
        return kShellOpenOutOfMemory;
    if (nError != 0)
        return kShellOpenNoBrowser;
    // The opener hands the target to the desktop and exits at once; its exit
    // status says whether a browser took it. One that is still running after a
    // moment is the browser itself: it is reaped in the background.
    for (int i = 0; i < kOpenerWaitMs / 10; ++i) {
        int nStatus = 0;
        const pid_t nDone = waitpid(pid, &nStatus, WNOHANG);
        if (nDone == pid)
            return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0 ? kShellOpenOk : kShellOpenNoBrowser;
        if (nDone < 0 && errno != EINTR)
            return kShellOpenOk;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ReapInBackground(pid);
    return kShellOpenOk;
}

} // namespace

void ReapInBackground(pid_t pid)
{
    std::thread([pid] {
        int nStatus = 0;
        while (waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

int ShellOpen(const std::string& strTarget)
{
    ShellOpenHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = g_handler;
    }
    return handler ? handler(strTarget) : SpawnOpener(strTarget);
}

void SetShellOpenHandler(ShellOpenHandler handler)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_handler = std::move(handler);
}
