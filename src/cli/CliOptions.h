// SPDX-License-Identifier: MIT
#pragma once

#include "search/SearchSettings.h"

#include <string>
#include <vector>

// The command line of questrel-cli.
struct CCliOptions
{
    enum class Command
    {
        None,
        Engines,
        Search,
        Show,
        LearnEngine,
        CheckEngines,
    };

    Command m_command = Command::None;
    std::string m_strEnginesFile;       // --engines; empty: found as the program finds it
    CSearchSettings m_search;           // the search options, the connection and the query
    bool m_bJson = false;
    bool m_bQuiet = false;
    bool m_bHelp = false;
    bool m_bVersion = false;
    std::string m_strSaveFile;          // --save FILE.qrl
    std::string m_strDocument;          // show FILE.qrl
    std::vector<std::string> m_engineNames;
    std::string m_strLearnName;         // learn-engine NAME QUERY ADDRESS
    std::string m_strAddress;
    std::string m_strExample;           // --example: one result's address
    bool m_bAdd = false;                // --add: into the user's catalogue
    bool m_bReplace = false;            // --replace: even over an engine of that name
    bool m_bVerbose = false;            // -v: check-engines tells every detail
    bool m_bMend = false;               // check-engines --mend: learn broken engines anew
    bool m_bApply = false;              // ... --apply: into the catalogue
};

// Parses the command line the GNU way (getopt_long): options anywhere, "--max-hits=5",
// "-qj", "--" before a query that starts with '-'. False (and a one-line message
// for the user) on a usage error.
bool ParseCliOptions(int argc, char** argv, CCliOptions& options, std::string& strError);

// The catalogue's name for an engine named on the command line: the exact name,
// else the one name that differs only in case. False (and a message naming the
// close names) when none or several fit.
bool ResolveEngineName(const std::vector<std::string>& catalogue, const std::string& strName,
                       std::string& strResolved, std::string& strError);

extern const char* const kCliUsage;
