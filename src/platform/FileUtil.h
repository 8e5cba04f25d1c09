// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

// Reads a whole regular file of at most nMaxBytes bytes. False when it cannot be
// opened or read, is no regular file (a device, a pipe, a folder) or is larger.
bool ReadFileBytes(const std::string& strPath, std::string& bytes, size_t nMaxBytes);

// Replaces the file by writing a temporary file beside it and renaming it over
// the old one, so a crash or a full disk never leaves a truncated file: the old
// file stays whole until the new one is complete. A symbolic link is followed
// (its target is replaced, the link stays); a file the user may not write is
// refused. The new file keeps the mode of the one it replaces, else gets the
// usual mode less the umask. The temporary file is the writer's own
// (".NAME.PID.part" beside it), so two programs saving the same file at once
// never write into each other's; one left by a killed save of this process is
// replaced by its next save. With bCreateFolders, missing parent folders are
// made first.
bool WriteFileAtomically(const std::string& strPath, const std::string& bytes,
                         bool bCreateFolders = false);

// The temporary file WriteFileAtomically uses for a path in this process.
std::string GetPartFilePath(const std::string& strPath);

// An advisory lock on a lock file (made when missing), held for the life of
// the object, so that programs that take it read, change and write a file one
// after the other. The wait for it is bounded: IsHeld says whether it was had.
class CFileLock
{
public:
    explicit CFileLock(const std::string& strLockPath, int nWaitMs = 10000);
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

bool FileExists(const std::string& strPath);
// Whether anything is at the path (a file of any kind, a dangling link), or
// it cannot be told (no permission to look): only a path that is surely
// absent gives false.
bool PathExists(const std::string& strPath);

// $XDG_DATA_HOME and $XDG_CONFIG_HOME with their defaults (~/.local/share,
// ~/.config); relative values are ignored, as the XDG rules say. No trailing '/'.
std::string GetXdgDataHome();
std::string GetXdgConfigHome();
// $XDG_CACHE_HOME (default ~/.cache), the same way.
std::string GetXdgCacheHome();
