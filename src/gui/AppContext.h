// SPDX-License-Identifier: MIT
#pragma once

// What the main frame needs from start-up: where things are and how the program
// was started. The application fills it from the command line and the XDG
// folders; tests fill it with temporary folders.

#include <string>
#include <vector>

class CSettingsStore;

struct CAppContext
{
    CSettingsStore* m_pSettings = nullptr; // not owned
    std::string m_strCataloguePath;        // engines.dat in use
    std::string m_strHelpDir;              // folder of the help pages, with '/'
    bool m_bEngineEditing = false;         // "/a" as the first argument
    std::string m_strShareDir;             // the shipped files, with '/'; empty when not found
    int m_nEnginesUpdated = 0;             // definitions brought up to date at this start
    std::vector<std::string> m_newerShipped; // engines the user changed that have a newer shipped one
};

// Command-line handling: the first argument "/a" (any case) turns on engine
// editing; the first argument that is no switch names a document to open.
struct CCommandLine
{
    bool m_bEngineEditing = false;
    std::string m_strDocument;
};
CCommandLine ParseCommandLine(int argc, const char* const* argv);
