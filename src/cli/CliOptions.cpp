#include "cli/CliOptions.h"

#include "platform/InternetClient.h"
#include "search/QueryComposer.h"

#include <cstdlib>
#include <cstring>

const char* const kCliUsage =
    "usage: questrel-cli [--engines FILE] engines\n"
    "       questrel-cli [--engines FILE] search [options] QUERY [ENGINE ...]\n"
    "  --option all|any|phrase   search option (default all)\n"
    "  --max-hits N              hit limit, 1 to 2048 (default 20)\n"
    "  --all-hits                hit limit 2048\n"
    "  --keep-dups               list duplicate URLs (default: duplicates removed)\n"
    "  --results-page            write questrel.htm in the current directory\n"
    "  --direct | --proxy HOST:PORT    connect directly or through a proxy\n"
    "                            (default: the system's settings)\n"
    "  --user-agent TEXT         the User-Agent of every request\n"
    "                            (default \"Internet Questrel/2.0a\")\n"
    "  --timeout SECONDS         give up on a server silent this long, 1 to 600 (default 20)\n"
    "  --one-at-a-time           ask the engines one after another, not side by side\n"
    "  --verify-links            run link verification after the engines\n"
    "  --save FILE.qrl           save the search as a search document\n"
    "  --json                    hits as a JSON array\n"
    "  -q, --quiet               no status texts\n"
    "       questrel-cli show FILE.qrl [--json]\n"
    "                            print a saved search as stored\n";

namespace {

bool ParseHitLimit(const char* psz, int& nValue)
{
    if (!psz || !*psz)
        return false;
    long n = 0;
    for (const char* p = psz; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + (*p - '0');
        if (n > kMaxHitLimit)
            return false;
    }
    if (n < 1)
        return false;
    nValue = static_cast<int>(n);
    return true;
}

} // namespace

bool ParseCliOptions(int argc, char** argv, CCliOptions& options, std::string& strError)
{
    std::vector<std::string> positional;
    bool bOptionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string strArg = argv[i];
        auto value = [&](const char* pszName) -> const char* {
            if (i + 1 >= argc) {
                strError = std::string("missing value for ") + pszName;
                return nullptr;
            }
            return argv[++i];
        };
        if (bOptionsEnded || strArg.empty() || strArg[0] != '-' || strArg == "-") {
            positional.push_back(strArg);
            continue;
        }
        if (strArg == "--") {
            bOptionsEnded = true;
        } else if (strArg == "--engines") {
            const char* psz = value("--engines");
            if (!psz)
                return false;
            options.m_strEnginesFile = psz;
        } else if (strArg == "--option") {
            const char* psz = value("--option");
            if (!psz)
                return false;
            if (!std::strcmp(psz, "all"))
                options.m_nSearchOption = kOptionAllWords;
            else if (!std::strcmp(psz, "any"))
                options.m_nSearchOption = kOptionAnyWord;
            else if (!std::strcmp(psz, "phrase"))
                options.m_nSearchOption = kOptionPhrase;
            else {
                strError = std::string("unknown search option '") + psz + "' (all, any or phrase)";
                return false;
            }
        } else if (strArg == "--max-hits") {
            const char* psz = value("--max-hits");
            if (!psz)
                return false;
            if (!ParseHitLimit(psz, options.m_nHitLimit)) {
                strError = "the hit limit must be an integer between 1 and 2048";
                return false;
            }
        } else if (strArg == "--all-hits") {
            options.m_nHitLimit = kMaxHitLimit;
        } else if (strArg == "--keep-dups") {
            options.m_bRemoveDups = false;
        } else if (strArg == "--results-page") {
            options.m_bResultsPage = true;
        } else if (strArg == "--direct") {
            options.m_nConnectMethod = 1;
        } else if (strArg == "--proxy") {
            const char* psz = value("--proxy");
            if (!psz)
                return false;
            if (!*psz) {
                strError = "--proxy needs HOST:PORT";
                return false;
            }
            options.m_nConnectMethod = 3;
            options.m_strProxy = psz;
        } else if (strArg == "--user-agent") {
            const char* psz = value("--user-agent");
            if (!psz)
                return false;
            options.m_strUserAgent = psz;
            for (const char c : options.m_strUserAgent) {
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    strError = "--user-agent must be one line of text";
                    return false;
                }
            }
        } else if (strArg == "--timeout") {
            const char* psz = value("--timeout");
            if (!psz)
                return false;
            char* pEnd = nullptr;
            const long n = std::strtol(psz, &pEnd, 10);
            if (!*psz || *pEnd || n < 1 || n > kMaxTimeoutSeconds) {
                strError = "the time-out must be a number of seconds between 1 and 600";
                return false;
            }
            options.m_nTimeoutSeconds = static_cast<int>(n);
        } else if (strArg == "--one-at-a-time") {
            options.m_bOneAtATime = true;
        } else if (strArg == "--verify-links") {
            options.m_bVerifyLinks = true;
        } else if (strArg == "--save") {
            const char* psz = value("--save");
            if (!psz)
                return false;
            if (!*psz) {
                strError = "--save needs a file name";
                return false;
            }
            options.m_strSaveFile = psz;
        } else if (strArg == "--json") {
            options.m_bJson = true;
        } else if (strArg == "-q" || strArg == "--quiet") {
            options.m_bQuiet = true;
        } else if (strArg == "-h" || strArg == "--help") {
            options.m_bHelp = true;
            return true;
        } else {
            strError = "unknown option '" + strArg + "'";
            return false;
        }
    }

    if (positional.empty()) {
        strError = "no command given";
        return false;
    }
    const std::string& strCommand = positional[0];
    if (strCommand == "engines") {
        if (positional.size() > 1) {
            strError = "the engines command takes no arguments";
            return false;
        }
        options.m_command = CCliOptions::Command::Engines;
        return true;
    }
    if (strCommand == "show") {
        if (positional.size() != 2) {
            strError = "show needs one FILE.qrl";
            return false;
        }
        options.m_command = CCliOptions::Command::Show;
        options.m_strDocument = positional[1];
        return true;
    }
    if (strCommand == "search") {
        if (positional.size() < 2) {
            strError = "search needs a QUERY";
            return false;
        }
        options.m_command = CCliOptions::Command::Search;
        options.m_strQuery = positional[1];
        options.m_engineNames.assign(positional.begin() + 2, positional.end());
        return true;
    }
    strError = "unknown command '" + strCommand + "'";
    return false;
}
