#include "platform/FileUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

bool ReadFileBytes(const std::string& strPath, std::string& bytes)
{
    bytes.clear();
    FILE* pFile = std::fopen(strPath.c_str(), "rb");
    if (!pFile)
        return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pFile)) > 0)
        bytes.append(buffer, n);
    const bool bOk = !std::ferror(pFile);
    std::fclose(pFile);
    return bOk;
}

bool WriteFileAtomically(const std::string& strPath, const std::string& bytes, bool bCreateFolders)
{
    std::error_code ec;
    const std::filesystem::path path(strPath);
    if (bCreateFolders && path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);

    std::string strTemp = strPath + ".XXXXXX";
    const int fd = mkstemp(strTemp.data());
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
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat st {};
    const mode_t mode = (::stat(strPath.c_str(), &st) == 0) ? (st.st_mode & 07777) : 0644;
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
