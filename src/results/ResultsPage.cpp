// SPDX-License-Identifier: MIT
#include "results/ResultsPage.h"

#include "platform/ShellOpen.h"
#include "results/LinkOpening.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
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

namespace {

bool WriteAll(int fd, const std::string& bytes)
{
    size_t nDone = 0;
    while (nDone < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + nDone, bytes.size() - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        nDone += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool AppendToResultsPage(const std::string& strPath, const std::string& strPage, size_t nMaxBytes)
{
    // A symbolic link put in its place is never followed, and a FIFO never
    // holds the open (it fails, or opens without waiting and is refused below).
    const int fd = ::open(strPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return false;
    struct stat st {};
    bool bOk = ::fstat(fd, &st) == 0;
    // Only a regular file of the user's own receives the pages (not one that
    // another user left in a shared folder for them).
    if (!bOk || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return false;
    }
    const int nFlags = ::fcntl(fd, F_GETFL);
    bOk = nFlags >= 0 && ::fcntl(fd, F_SETFL, nFlags & ~O_NONBLOCK) == 0;
    const size_t nSize = bOk ? static_cast<size_t>(st.st_size) : 0;
    std::string block;
    if (nSize == 0)
        block = kResultsPageHead;
    block += kSeparatorLine;
    block += strPage;
    block += '\n';
    const std::string strFull = kResultsPageFullNote;
    if (bOk && nSize < nMaxBytes) {
        if (nSize + block.size() > nMaxBytes) {
            // The page is full: what fits of this block, then the note, which
            // ends the file at the cap.
            const size_t nRoom = nMaxBytes > nSize + strFull.size() ? nMaxBytes - nSize - strFull.size() : 0;
            block.resize(std::min(block.size(), nRoom));
            block += strFull;
        }
        bOk = WriteAll(fd, block);
    }
    return (::close(fd) == 0) && bOk;
}

std::string ShowResultsPage(const std::string& strPath)
{
    return OpenFailureText(ShellOpen(strPath), strPath);
}
