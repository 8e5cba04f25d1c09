// SPDX-License-Identifier: MIT
#include "results/ResultsPage.h"

#include "platform/ShellOpen.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {
constexpr const char* kSeparatorLine =
    "---------------------------------------------------------------\n";
}

std::string GetResultsPagePath()
{
    std::error_code ec;
    std::string strDir = std::filesystem::current_path(ec).string();
    if (ec)
        return std::string("./") + kResultsPageFileName;
    if (strDir.empty() || strDir.back() != '/')
        strDir += '/';
    return strDir + kResultsPageFileName;
}

void ResetResultsPage(const std::string& strPath)
{
    ::unlink(strPath.c_str());
}

bool AppendToResultsPage(const std::string& strPath, const std::string& strPage)
{
    // A symbolic link put in its place is never followed.
    const int fd = ::open(strPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    std::string block = kSeparatorLine;
    block += strPage;
    block += '\n';
    size_t nDone = 0;
    bool bOk = true;
    while (bOk && nDone < block.size()) {
        const ssize_t n = ::write(fd, block.data() + nDone, block.size() - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        bOk = n > 0;
        if (bOk)
            nDone += static_cast<size_t>(n);
    }
    return (::close(fd) == 0) && bOk;
}

void ShowResultsPage(const std::string& strPath)
{
    ShellOpen(strPath);
}
