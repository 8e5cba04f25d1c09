// SPDX-License-Identifier: MIT
#include "platform/ShellOpen.h"

#include <cerrno>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

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
    // The opener hands the target to the desktop and exits; reap it without waiting here.
    std::thread([pid] {
        int nStatus = 0;
        while (waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return kShellOpenOk;
}

} // namespace

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
