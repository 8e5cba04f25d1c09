// SPDX-License-Identifier: MIT
#pragma once

// The program's place on a Linux desktop: where its shared files are, and the
// registration of the program and of its document type ("Questrel Document",
// *.qrl) for the current user.

#include "engines/EngineCatalogue.h" // FindShareDirectory

#include <string>

// Whether questrel.desktop is known to the desktop (the user's data folder or
// one of the system's).
bool IsDesktopRegistered();

// Writes the .desktop entry (starting this program), the MIME type and the
// icon into the user's data folder and refreshes the desktop's databases.
// False when the files could not be written.
bool RegisterDesktopIntegration(const std::string& strProgramPath, const std::string& strShareDir);

// The user's catalogue, made from the shipped default on first run. Returns the
// catalogue to use: beside the program when there is one, else the user's.
std::string PrepareCatalogue(const std::string& strShareDir);
