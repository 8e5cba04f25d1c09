// SPDX-License-Identifier: MIT
#include "gui/DesktopIntegration.h"

#include "engines/CatalogueUpdate.h"
#include "engines/EngineCatalogue.h"
#include "platform/FileUtil.h"
#include "platform/ShellOpen.h"

#include <cstdlib>
#include <spawn.h>
#include <sstream>

extern char** environ;

namespace {

constexpr size_t kMaxSharedFileBytes = 1024 * 1024;

// Runs a tool in the background, if it is there; its result does not matter.
void RunDetached(const char* pszProgram, const std::string& strArgument)
{
    std::string strProgram = pszProgram;
    std::string strArg = strArgument;
    char* argv[] = {strProgram.data(), strArg.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, pszProgram, nullptr, nullptr, argv, environ) != 0)
        return;
    ReapInBackground(pid);
}

std::vector<std::string> DataDirs()
{
    std::vector<std::string> dirs = {GetXdgDataHome()};
    const char* pszDirs = std::getenv("XDG_DATA_DIRS");
    std::stringstream stream((pszDirs && *pszDirs) ? pszDirs : "/usr/local/share:/usr/share");
    std::string strDir;
    while (std::getline(stream, strDir, ':'))
        if (!strDir.empty() && strDir[0] == '/')
            dirs.push_back(strDir);
    return dirs;
}

} // namespace

bool IsDesktopRegistered()
{
    for (const std::string& strDir : DataDirs())
        if (FileExists(strDir + "/applications/" + kDesktopId + ".desktop"))
            return true;
    return false;
}

bool IsBuildTreeShareDirectory(const std::string& strShareDir)
{
    // Installed, the shared files are in <prefix>/share/questrel beside <prefix>/bin;
    // in the build tree they are laid out in share/questrel beside the program.
    return !strShareDir.empty() && strShareDir == GetProgramDirectory() + "share/questrel/";
}

bool RegisterDesktopIntegration(const std::string& strProgramPath, const std::string& strShareDir)
{
    std::string strDesktop, strMime, strIcon;
    const std::string strId = kDesktopId;
    if (!ReadFileBytes(strShareDir + strId + ".desktop", strDesktop, kMaxSharedFileBytes) ||
        !ReadFileBytes(strShareDir + strId + ".mime.xml", strMime, kMaxSharedFileBytes))
        return false;
    const size_t nExec = strDesktop.find("Exec=questrel");
    if (nExec != std::string::npos)
        strDesktop.replace(nExec, 13, "Exec=\"" + strProgramPath + "\"");
    const std::string strHome = GetXdgDataHome();
    bool bOk = WriteFileAtomically(strHome + "/applications/" + strId + ".desktop", strDesktop, true) &&
               WriteFileAtomically(strHome + "/mime/packages/" + strId + ".xml", strMime, true);
    if (ReadFileBytes(strShareDir + strId + ".svg", strIcon, kMaxSharedFileBytes))
        bOk = WriteFileAtomically(strHome + "/icons/hicolor/scalable/apps/" + strId + ".svg", strIcon, true) && bOk;
    RunDetached("update-mime-database", strHome + "/mime");
    RunDetached("update-desktop-database", strHome + "/applications");
    return bOk;
}

std::string PrepareCatalogue(const std::string& strShareDir, CCatalogueUpdate* pUpdate)
{
    const std::string strPath = FindCataloguePath();
    if (strPath == GetUserCataloguePath())
        PrepareUserCatalogue(strPath, strShareDir, pUpdate);
    return strPath;
}
