// SPDX-License-Identifier: MIT
#include "platform/FileUtil.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadFileBytes(const std::string& strPath, std::string& bytes, size_t nMaxBytes)
{
    bytes.clear();
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool bOk = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= nMaxBytes;
    if (bOk)
        bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    while (bOk) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            bOk = n == 0;
            break;
        }
        bytes.append(buffer, static_cast<size_t>(n));
        bOk = bytes.size() <= nMaxBytes; // it may grow while it is read
    }
    ::close(fd);
    if (!bOk)
        bytes.clear();
    return bOk;
}

namespace {

// The file a path names in the end: a symbolic link's target (made absolute
// against the link's folder), followed up to a few levels; the path itself
// when it is no link.
std::string FollowLinks(std::string strPath)
{
    for (int i = 0; i < 16; ++i) {
        std::error_code ec;
        const std::filesystem::path path(strPath);
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec)))
            return strPath;
        const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
        if (ec)
            return strPath;
        strPath = (target.is_absolute() ? target : path.parent_path() / target).string();
    }
    return strPath;
}

mode_t NewFileMode()
{
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    return 0666 & ~nMask;
}

} // namespace

std::string GetPartFilePath(const std::string& strPath)
{
    const std::filesystem::path path(strPath);
    return (path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()) + ".part"))
        .string();
}

CFileLock::CFileLock(const std::string& strLockPath, int nWaitMs)
{
    const int fd = ::open(strLockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    for (int nWaited = 0;; nWaited += 10) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || nWaited >= nWaitMs)
            break;
        ::usleep(10000);
    }
    ::close(fd);
}

CFileLock::~CFileLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the file releases the lock
}

bool WriteFileAtomically(const std::string& strPathGiven, const std::string& bytes, bool bCreateFolders)
{
    const std::string strPath = FollowLinks(strPathGiven);
    std::error_code ec;
    const std::filesystem::path path(strPath);
    if (bCreateFolders && path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);

    // A file that is there must be one the user may write: a read-only document
    // is not silently replaced.
    struct stat st {};
    const bool bExists = ::stat(strPath.c_str(), &st) == 0;
    if (bExists && (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(strPath.c_str(), W_OK) != 0))
        return false;
    const mode_t mode = bExists ? (st.st_mode & 07777) : NewFileMode();

    // A temporary file left by a save that was killed goes first.
    const std::string strTemp = GetPartFilePath(strPath);
    ::unlink(strTemp.c_str());
    const int fd = ::open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool bOk = true;
    size_t nDone = 0;
    while (bOk && nDone < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + nDone, bytes.size() - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            bOk = false;
        else
            nDone += static_cast<size_t>(n);
    }
    bOk = bOk && ::fchmod(fd, mode) == 0;
    bOk = bOk && ::fsync(fd) == 0;
    bOk = (::close(fd) == 0) && bOk;
    if (bOk && std::rename(strTemp.c_str(), strPath.c_str()) == 0)
        return true;
    ::unlink(strTemp.c_str());
    return false;
}

bool FileExists(const std::string& strPath)
{
    struct stat st {};
    return ::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PathExists(const std::string& strPath)
{
    struct stat st {};
    return ::lstat(strPath.c_str(), &st) == 0 || errno != ENOENT;
}

namespace {

std::string XdgDir(const char* pszVariable, const char* pszDefaultBelowHome)
{
    const char* pszValue = std::getenv(pszVariable);
    if (pszValue && pszValue[0] == '/')
        return pszValue;
    const char* pszHome = std::getenv("HOME");
    std::string strHome = pszHome ? pszHome : "";
    return strHome + "/" + pszDefaultBelowHome;
}

} // namespace

std::string GetXdgDataHome()
{
    return XdgDir("XDG_DATA_HOME", ".local/share");
}

std::string GetXdgConfigHome()
{
    return XdgDir("XDG_CONFIG_HOME", ".config");
}

std::string GetXdgCacheHome()
{
    return XdgDir("XDG_CACHE_HOME", ".cache");
}
