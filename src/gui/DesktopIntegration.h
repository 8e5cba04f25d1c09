// SPDX-License-Identifier: MIT
#pragma once

struct CCatalogueUpdate;

// The program's place on a Linux desktop: where its shared files are, and the
// registration of the program and of its document type ("Questrel Document",
// *.qrl) for the current user.

#include "engines/EngineCatalogue.h" // FindShareDirectory

#include <string>

// The program's id on the desktop: the name of its desktop entry, icon, MIME
// file and metainfo.
inline constexpr const char* kDesktopId = "io.github.questrel.Questrel";

// Whether the program runs from a build tree (its shared files laid out beside
// it) rather than installed. Only such a program registers itself for the user;
// an installed one is registered by its package.
bool IsBuildTreeShareDirectory(const std::string& strShareDir);

// Whether the desktop entry is known to the desktop (the user's data folder or
// one of the system's).
bool IsDesktopRegistered();

// Writes the .desktop entry (starting this program), the MIME type and the
// icon into the user's data folder and refreshes the desktop's databases.
// False when the files could not be written.
bool RegisterDesktopIntegration(const std::string& strProgramPath, const std::string& strShareDir);

// The user's catalogue, made from the shipped default on first run. Returns the
// catalogue to use: beside the program when there is one, else the user's.
std::string PrepareCatalogue(const std::string& strShareDir, CCatalogueUpdate* pUpdate = nullptr);
