// SPDX-License-Identifier: MIT
#include "cli/CliOptions.h"

#include "platform/InternetClient.h"
#include "platform/TextUtil.h"
#include "platform/Translate.h"
#include "search/QueryComposer.h"
#include "search/TemplateFormat.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <getopt.h>

const char* const kCliUsage = N_(
    "usage: questrel-cli [--engines FILE] engines\n"
    "       questrel-cli [--engines FILE] search [options] QUERY [ENGINE ...]\n"
    "       questrel-cli show [--json] FILE.qrl\n"
    "       questrel-cli learn-engine [connection options] [--example RESULT] [--add [--replace]]\n"
    "                    NAME QUERY ADDRESS\n"
    "       questrel-cli [--engines FILE] check-engines [connection options] [--query QUERY] [-v] [--json]\n"
    "                    [--mend [--apply]] [ENGINE ...]\n"
    "       questrel-cli --help | --version\n"
    "\n"
    "search options:\n"
    "  --option all|any|phrase   search option (default all)\n"
    "  --max-hits N              hit limit, 1 to 2048 (default 20)\n"
    "  --all-hits                hit limit 2048\n"
    "  --keep-dups               list duplicate URLs (default: duplicates removed)\n"
    "  --results-page            write questrel.htm in the current directory\n"
    "  --direct                  connect directly\n"
    "  --proxy HOST:PORT         connect through a proxy (default: the system's settings)\n"
    "  --user-agent TEXT         the User-Agent of every request\n"
    "                            (default \"Internet Questrel/2.0a\")\n"
    "  --timeout SECONDS         give up on a server silent this long, 1 to 600 (default 20)\n"
    "  --one-at-a-time           ask the engines one after another, not side by side\n"
    "  --browser-engine auto|never\n"
    "                            load a page whose results a script writes again in the\n"
    "                            browser engine, when one is installed (default auto)\n"
    "  --order engine|rank       hits engine after engine (default), or ranked across\n"
    "                            engines: those several engines listed near their top first\n"
    "  --verify-links            run link verification after the engines\n"
    "  --save FILE.qrl           save the search as a search document\n"
    "  -j, --json                hits as a JSON array\n"
    "  -q, --quiet               no status texts\n"
    "\n"
    "learn-engine writes a definition from one result page: the address the browser\n"
    "shows after searching QUERY. It prints the record (as engines.dat holds it);\n"
    "--example gives one result's address, when the guess takes the wrong links;\n"
    "--add adds it to the catalogue (--replace: over an engine of that name).\n"
    "check-engines searches each engine for QUERY (default \"weather\") and prints\n"
    "NAME TAB ok|no-hits|refused|failed TAB why; -v tells more. --mend learns new\n"
    "tokens for each engine whose definition is broken (no-hits) and shows old and\n"
    "new with what each finds; --apply writes them into the catalogue (.bak kept).\n"
    "\n"
    "Options may come anywhere; '--' ends them (for a query that starts with '-').\n"
    "An ENGINE is a name of the catalogue: exactly, or unique whatever its case.\n"
    "Exit codes: 0 a search ran and an engine answered, 1 nothing to search,\n"
    "2 usage error, 3 every engine failed (learn-engine: the page is a refusal, or\n"
    "says nothing matched),\n"
    "4 check-engines found an engine that does not work, 130/143 interrupted.\n");

namespace {

enum : int
{
    kOptEngines = 1000,
    kOptOption,
    kOptMaxHits,
    kOptAllHits,
    kOptKeepDups,
    kOptResultsPage,
    kOptDirect,
    kOptProxy,
    kOptUserAgent,
    kOptTimeout,
    kOptOneAtATime,
    kOptVerifyLinks,
    kOptSave,
    kOptVersion,
    kOptAdd,
    kOptReplace,
    kOptExample,
    kOptMend,
    kOptApply,
    kOptQuery,
    kOptOrder,
    kOptBrowserEngine,
};

const option kLongOptions[] = {
    {"engines", required_argument, nullptr, kOptEngines},
    {"option", required_argument, nullptr, kOptOption},
    {"max-hits", required_argument, nullptr, kOptMaxHits},
    {"all-hits", no_argument, nullptr, kOptAllHits},
    {"keep-dups", no_argument, nullptr, kOptKeepDups},
    {"results-page", no_argument, nullptr, kOptResultsPage},
    {"direct", no_argument, nullptr, kOptDirect},
    {"proxy", required_argument, nullptr, kOptProxy},
    {"user-agent", required_argument, nullptr, kOptUserAgent},
    {"timeout", required_argument, nullptr, kOptTimeout},
    {"one-at-a-time", no_argument, nullptr, kOptOneAtATime},
    {"verify-links", no_argument, nullptr, kOptVerifyLinks},
    {"save", required_argument, nullptr, kOptSave},
    {"add", no_argument, nullptr, kOptAdd},
    {"replace", no_argument, nullptr, kOptReplace},
    {"example", required_argument, nullptr, kOptExample},
    {"mend", no_argument, nullptr, kOptMend},
    {"apply", no_argument, nullptr, kOptApply},
    {"query", required_argument, nullptr, kOptQuery},
    {"order", required_argument, nullptr, kOptOrder},
    {"browser-engine", required_argument, nullptr, kOptBrowserEngine},
    {"verbose", no_argument, nullptr, 'v'},
    {"json", no_argument, nullptr, 'j'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kOptVersion},
    {nullptr, 0, nullptr, 0},
};

// A whole decimal number within the bounds.
bool ParseNumber(const char* psz, long nMin, long nMax, int& nValue)
{
    if (!psz || !*psz)
        return false;
    long n = 0;
    for (const char* p = psz; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + (*p - '0');
        if (n > nMax)
            return false;
    }
    if (n < nMin)
        return false;
    nValue = static_cast<int>(n);
    return true;
}

// "host:port": a host, and a port from 1 to 65535 after the last colon.
bool IsProxyAddress(const std::string& strValue)
{
    const size_t nColon = strValue.rfind(':');
    int nPort = 0;
    return nColon != std::string::npos && nColon > 0 && strValue.find_first_of(" \t\r\n") == std::string::npos &&
           ParseNumber(strValue.c_str() + nColon + 1, 1, 65535, nPort);
}

bool HasControl(const std::string& strValue)
{
    return std::any_of(strValue.begin(), strValue.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// The options that set the search: the command line's mapping onto the
// settings. False (and the message) for a value out of bounds; nothing is
// changed for an option that is not one of them (*pKnown false).
bool ApplySearchOption(int nOption, const char* pszValue, CSearchSettings& search, bool* pKnown,
                       std::string& strError)
{
    const std::string strValue = pszValue ? pszValue : "";
    *pKnown = true;
    switch (nOption) {
    case kOptOption:
        if (strValue == "all")
            search.m_nSearchOption = kOptionAllWords;
        else if (strValue == "any")
            search.m_nSearchOption = kOptionAnyWord;
        else if (strValue == "phrase")
            search.m_nSearchOption = kOptionPhrase;
        else
            strError = FormatTemplate(Tr("unknown search option '%s' (all, any or phrase)"), {CTemplateArg::Text(strValue)});
        break;
    case kOptMaxHits:
        if (!ParseNumber(pszValue, 1, kMaxHitLimit, search.m_nHitLimit))
            strError = Tr("the hit limit must be an integer between 1 and 2048");
        else
            search.m_bAllHits = false;
        break;
    case kOptAllHits:
        search.m_bAllHits = true;
        search.m_nHitLimit = kMaxHitLimit; // what a saved search says it asked for
        break;
    case kOptKeepDups: search.m_bRemoveDups = false; break;
    case kOptResultsPage: search.m_bShowResultsPage = true; break;
    case kOptOneAtATime: search.m_bOneAtATime = true; break;
    case kOptOrder:
        if (strValue == "engine" || strValue == "rank")
            search.m_bOrderByRank = strValue == "rank";
        else
            strError = FormatTemplate(Tr("unknown order '%s' (engine or rank)"), {CTemplateArg::Text(strValue)});
        break;
    case kOptBrowserEngine:
        if (strValue == "auto" || strValue == "never")
            search.m_bBrowserEngine = strValue == "auto";
        else
            strError = FormatTemplate(Tr("unknown browser engine use '%s' (auto or never)"), {CTemplateArg::Text(strValue)});
        break;
    case kOptVerifyLinks: search.m_bVerifyLinks = true; break;
    case kOptDirect: search.m_nConnectMethod = kConnectDirect; break;
    case kOptProxy:
        if (!IsProxyAddress(strValue))
            strError = FormatTemplate(Tr("--proxy needs HOST:PORT with a port from 1 to 65535, not '%s'"), {CTemplateArg::Text(strValue)});
        search.m_nConnectMethod = kConnectProxy;
        search.m_strProxy = strValue; // "host:port"
        break;
    case kOptUserAgent:
        if (HasControl(strValue))
            strError = Tr("--user-agent must be one line of text");
        search.m_strUserAgent = strValue;
        break;
    case kOptTimeout:
        if (!ParseNumber(pszValue, 1, kMaxTimeoutSeconds, search.m_nTimeoutSeconds))
            strError = Tr("the time-out must be a number of seconds between 1 and 600");
        break;
    case kOptQuery:
        if (TrimWhiteSpace(strValue).empty())
            strError = Tr("--query needs a query");
        search.m_strQuery = strValue;
        break;
    default: *pKnown = false; break;
    }
    return strError.empty();
}

// The command and its arguments, after the options.
bool ParseCommand(const std::vector<std::string>& positional, CCliOptions& options, std::string& strError)
{
    auto fail = [&strError](std::string strText) {
        strError = std::move(strText);
        return false;
    };
    if (positional.empty())
        return fail(Tr("no command given"));
    const std::string& strCommand = positional[0];
    if (strCommand == "engines") {
        if (positional.size() > 1)
            return fail(Tr("the engines command takes no arguments"));
        options.m_command = CCliOptions::Command::Engines;
    } else if (strCommand == "show") {
        if (positional.size() != 2)
            return fail(Tr("show needs one FILE.qrl"));
        options.m_command = CCliOptions::Command::Show;
        options.m_strDocument = positional[1];
    } else if (strCommand == "search") {
        if (positional.size() < 2)
            return fail(Tr("search needs a QUERY"));
        options.m_command = CCliOptions::Command::Search;
        options.m_search.m_strQuery = positional[1];
        options.m_engineNames.assign(positional.begin() + 2, positional.end());
    } else if (strCommand == "learn-engine") {
        if (positional.size() != 4)
            return fail(Tr("learn-engine needs NAME QUERY ADDRESS"));
        if (TrimWhiteSpace(positional[1]).empty() || HasControl(positional[1]))
            return fail(Tr("the engine's name must be one line of text"));
        if (TrimWhiteSpace(positional[2]).empty())
            return fail(Tr("learn-engine needs the QUERY that was searched"));
        options.m_command = CCliOptions::Command::LearnEngine;
        options.m_strLearnName = positional[1];
        options.m_search.m_strQuery = positional[2];
        options.m_strAddress = positional[3];
    } else if (strCommand == "check-engines") {
        options.m_command = CCliOptions::Command::CheckEngines;
        if (options.m_search.m_strQuery.empty())
            options.m_search.m_strQuery = "weather";
        options.m_engineNames.assign(positional.begin() + 1, positional.end());
        if (options.m_bApply && !options.m_bMend)
            return fail(Tr("--apply goes with --mend"));
    } else {
        return fail(FormatTemplate(Tr("unknown command '%s'"), {CTemplateArg::Text(strCommand)}));
    }
    return true;
}

} // namespace

bool ParseCliOptions(int argc, char** argv, CCliOptions& options, std::string& strError)
{
    optind = 0; // start afresh (the parser keeps state between calls)
    opterr = 0; // the messages are ours
    auto fail = [&strError](std::string strText) {
        strError = std::move(strText);
        return false;
    };
    int nOption = 0;
    int nIndex = -1;
    while ((nOption = getopt_long(argc, argv, ":jqhv", kLongOptions, &nIndex)) != -1) {
        bool bSearchOption = false;
        if (!ApplySearchOption(nOption, optarg, options.m_search, &bSearchOption, strError))
            return false;
        if (bSearchOption)
            continue;
        const std::string strValue = optarg ? optarg : "";
        switch (nOption) {
        case kOptEngines: options.m_strEnginesFile = strValue; break;
        case kOptSave:
            if (strValue.empty())
                return fail(Tr("--save needs a file name"));
            options.m_strSaveFile = strValue;
            break;
        case kOptAdd: options.m_bAdd = true; break;
        case kOptReplace: options.m_bReplace = true; break;
        case kOptMend: options.m_bMend = true; break;
        case kOptApply: options.m_bApply = true; break;
        case kOptExample:
            if (TrimWhiteSpace(strValue).empty())
                return fail(Tr("--example needs the address of one result"));
            options.m_strExample = strValue;
            break;
        case 'v': options.m_bVerbose = true; break;
        case 'j': options.m_bJson = true; break;
        case 'q': options.m_bQuiet = true; break;
        case 'h': options.m_bHelp = true; return true;
        case kOptVersion: options.m_bVersion = true; return true;
        case ':': return fail(FormatTemplate(Tr("option '%s' needs a value"), {CTemplateArg::Text(argv[optind - 1])}));
        default: {
            // An unknown option: the short one's letter, or the long one as written.
            const std::string strWritten = optopt ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1];
            return fail(FormatTemplate(Tr("unknown option '%s'"), {CTemplateArg::Text(strWritten)}));
        }
        }
    }
    return ParseCommand(std::vector<std::string>(argv + optind, argv + argc), options, strError);
}

namespace {

// The number of single-byte edits from one name to another, case ignored.
size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t nDiagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t nAbove = row[j];
            const bool bSame = ToLowerAscii(a[i - 1]) == ToLowerAscii(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, nDiagonal + (bSame ? 0 : 1)});
            nDiagonal = nAbove;
        }
    }
    return row[b.size()];
}

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& strName : names)
        out += (out.empty() ? "" : ", ") + strName;
    return out;
}

} // namespace

bool ResolveEngineName(const std::vector<std::string>& catalogue, const std::string& strName,
                       std::string& strResolved, std::string& strError)
{
    if (std::find(catalogue.begin(), catalogue.end(), strName) != catalogue.end()) {
        strResolved = strName;
        return true;
    }
    std::vector<std::string> sameButCase, close;
    const std::string strLower = ToLowerAscii(strName);
    for (const std::string& strCandidate : catalogue) {
        const std::string strCandidateLower = ToLowerAscii(strCandidate);
        if (strCandidateLower == strLower)
            sameButCase.push_back(strCandidate);
        else if (strCandidateLower.find(strLower) != std::string::npos ||
                 EditDistance(strName, strCandidate) <= std::max<size_t>(2, strName.size() / 4))
            close.push_back(strCandidate);
    }
    if (sameButCase.size() == 1) {
        strResolved = sameButCase[0];
        return true;
    }
    if (sameButCase.size() > 1) {
        strError = FormatTemplate(Tr("ambiguous engine '%s': %s"), {CTemplateArg::Text(strName), CTemplateArg::Text(JoinNames(sameButCase))});
        return false;
    }
    strError = close.empty() ? FormatTemplate(Tr("unknown engine '%s'"), {CTemplateArg::Text(strName)})
                             : FormatTemplate(Tr("unknown engine '%s'; did you mean %s?"),
                                              {CTemplateArg::Text(strName), CTemplateArg::Text(JoinNames(close))});
    return false;
}
