#pragma once

#include <string>

// Reads a whole file. False when it cannot be opened or read.
bool ReadFileBytes(const std::string& strPath, std::string& bytes);

// Replaces the file by writing a temporary file beside it and renaming it over
// the old one, so a crash or a full disk never leaves a truncated file: the old
// file stays whole until the new one is complete. With bCreateFolders, missing
// parent folders are made first.
bool WriteFileAtomically(const std::string& strPath, const std::string& bytes,
                         bool bCreateFolders = false);

bool FileExists(const std::string& strPath);

// $XDG_DATA_HOME and $XDG_CONFIG_HOME with their defaults (~/.local/share,
// ~/.config); relative values are ignored, as the XDG rules say. No trailing '/'.
std::string GetXdgDataHome();
std::string GetXdgConfigHome();
