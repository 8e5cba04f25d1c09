// SPDX-License-Identifier: MIT
#include "cli/CliWorkbench.h"

#include "cli/CliOutput.h"
#include "engines/EngineCatalogue.h"
#include "platform/FileUtil.h"
#include "platform/InternetClient.h"
#include "results/HitExport.h"
#include "platform/TextUtil.h"
#include "search/SearchSettings.h"
#include "workbench/EngineCheck.h"
#include "workbench/EngineLearner.h"
#include "platform/BrowserEngine.h"
#include "search/BrowserPages.h"
#include "search/PageRequest.h"
#include "search/SearchTexts.h"
#include "platform/Translate.h"
#include "search/TemplateFormat.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRefused = 3;

std::unique_ptr<CInternetSession> OpenSession(const CCliOptions& options)
{
    std::string strError;
    std::unique_ptr<CInternetSession> pSession = OpenInternetSession(BuildSessionOptions(options.m_search), &strError);
    if (!pSession)
        PrintCliMessage(strError.empty() ? Tr("the connection settings do not work") : strError);
    return pSession;
}

// Adds the learned engine to the catalogue: refused when the name is taken
// (unless replacing), or when the catalogue is there but cannot be read.
int AddToCatalogue(const CCliOptions& options, const std::string& strPath, const CSearchEngine& engine)
{
    std::vector<CSearchEngine> engines;
    if (!LoadEngines(strPath, engines) && PathExists(strPath)) {
        PrintCliMessage(FormatTemplate(Tr("cannot read the engine catalogue %s; it is not written over"), {CTemplateArg::Text(strPath)}));
        return kExitFailure;
    }
    const auto it = std::find_if(engines.begin(), engines.end(),
                                 [&engine](const CSearchEngine& e) { return e.m_strName == engine.m_strName; });
    if (it != engines.end() && !options.m_bReplace) {
        PrintCliMessage(FormatTemplate(Tr("%s: the catalogue %s already has an engine of that name (--replace replaces it)"), {CTemplateArg::Text(engine.m_strName), CTemplateArg::Text(strPath)}));
        return kExitFailure;
    }
    if (it != engines.end())
        engines.erase(it);
    engines.insert(engines.begin() + static_cast<long>(FindInsertPosition(engines, engine.m_strName)), engine);
    if (!SaveEngines(strPath, engines)) {
        PrintCliMessage(FormatTemplate(Tr("the engine catalogue %s could not be written"), {CTemplateArg::Text(strPath)}));
        return kExitFailure;
    }
    PrintCliMessage(FormatTemplate(Tr("%s: added to %s"), {CTemplateArg::Text(engine.m_strName), CTemplateArg::Text(strPath)}));
    return 0;
}

} // namespace

int LearnEngineCommand(const CCliOptions& options, const std::string& strCataloguePath, CCancelSignal* pCancel)
{
    const std::string& strName = options.m_strLearnName;
    CLearnRequest request;
    request.m_strName = strName;
    request.m_strQuery = options.m_search.m_strQuery;
    request.m_strAddress = options.m_strAddress;
    request.m_strExample = options.m_strExample;
    CSearchEngine split;
    if (!SplitAddressAroundQuery(request.m_strAddress, request.m_strQuery, split)) {
        PrintCliMessage(FormatTemplate(Tr("%s: the query \"%s\" is not in the address %s"), {CTemplateArg::Text(strName), CTemplateArg::Text(request.m_strQuery), CTemplateArg::Text(request.m_strAddress)}));
        return kExitUsage;
    }
    const std::unique_ptr<CInternetSession> pSession = OpenSession(options);
    if (!pSession)
        return kExitFailure;
    const CLearnResult result = LearnEngine(request, [&pSession, pCancel, &strName](CPageRequest page) {
        page.m_pCancel = pCancel;
        if (page.m_nBrowserRule == BrowserRule::Always && pSession->GetOptions().m_bBrowserEngine &&
            !FindBrowserEngine().empty())
            PrintCliMessage(EscapeControls(strName) + ": " +
                            FormatTemplate(Tr(kStatusBrowserLoading), {CTemplateArg::Text(page.m_strAddress)}));
        return FetchAnswer(*pSession, page);
    });
    if (result.m_nVerdict != LearnVerdict::Learned) {
        PrintCliMessage(strName + ": " + DescribeLearnFailure(result, request.m_strQuery));
        const bool bRefused =
            result.m_nVerdict == LearnVerdict::Refused || result.m_nVerdict == LearnVerdict::NothingMatched;
        return bRefused ? kExitRefused : kExitFailure;
    }
    const CSearchEngine& engine = result.m_engine;
    std::fputs(FormatEngines({engine}).c_str(), stdout);
    std::fflush(stdout);
    std::fputs((FormatTemplate(TrN("%s: %d hit on the page", "%s: %d hits on the page", result.m_hits.size()),
                               {CTemplateArg::Text(EscapeControls(strName)),
                                CTemplateArg::Int(static_cast<long long>(result.m_hits.size()))}) +
                (result.m_answer.m_bByBrowser ? Tr(kLoadedByBrowser) : "") + "\n").c_str(), stderr);
    for (size_t i = 0; i < std::min<size_t>(3, result.m_hits.size()); ++i)
        std::fprintf(stderr, "  %s\n    %s\n", EscapeControls(Utf8Prefix(result.m_hits[i].m_strDescription, 100)).c_str(),
                     EscapeControls(result.m_hits[i].m_strUrl).c_str());
    if (!result.m_strExampleNote.empty())
        std::fprintf(stderr, "%s: %s\n", EscapeControls(strName).c_str(), result.m_strExampleNote.c_str());
    if (!result.m_strPagingNote.empty())
        std::fprintf(stderr, "%s: %s\n", EscapeControls(strName).c_str(), result.m_strPagingNote.c_str());
    if (options.m_bAdd)
        return AddToCatalogue(options, strCataloguePath, engine);
    return 0;
}

namespace {

// check-engines --mend: new tokens for the broken engines, old and new side by
// side with what each finds; with --apply written into the catalogue.
int MendEngines(const CCliOptions& options, CInternetSession& session, const std::vector<CSearchEngine>& engines,
                const std::vector<CEngineCheck>& checks, const std::string& strCataloguePath, CCancelSignal* pCancel)
{
    std::vector<CEngineMend> mends;
    for (size_t i = 0; i < engines.size(); ++i) {
        if (checks[i].m_nVerdict != CheckVerdict::NoHits)
            continue; // refused or failed: never "mended"
        CEngineMend mend = MendEngine(session, engines[i], checks[i], options.m_search.m_strQuery, pCancel);
        const std::string strName = EscapeControls(engines[i].m_strName);
        std::printf("%s: mend\n  old: start %s  end %s  finds 0 hits (%s)\n", strName.c_str(),
                    EscapeControls(mend.m_old.m_strStartToken).c_str(), EscapeControls(mend.m_old.m_strEndToken).c_str(),
                    EscapeControls(checks[i].m_strDetail).c_str());
        if (!mend.m_bMended) {
            std::printf("  new: none: %s\n", EscapeControls(mend.m_strWhy).c_str());
            continue;
        }
        std::printf("  new: start %s  end %s  finds %zu hits\n", EscapeControls(mend.m_new.m_strStartToken).c_str(),
                    EscapeControls(mend.m_new.m_strEndToken).c_str(), mend.m_newHits.size());
        for (size_t k = 0; k < std::min<size_t>(3, mend.m_newHits.size()); ++k)
            std::printf("    %s\n      %s\n", EscapeControls(Utf8Prefix(mend.m_newHits[k].m_strDescription, 100)).c_str(),
                        EscapeControls(mend.m_newHits[k].m_strUrl).c_str());
        mends.push_back(std::move(mend));
    }
    if (!options.m_bApply || mends.empty())
        return 0;
    std::vector<CSearchEngine> all;
    if (!LoadEngines(strCataloguePath, all)) {
        PrintCliMessage(FormatTemplate(Tr("cannot read the engine catalogue %s; nothing was mended in it"), {CTemplateArg::Text(strCataloguePath)}));
        return kExitFailure;
    }
    int nApplied = 0;
    for (const CEngineMend& mend : mends)
        for (CSearchEngine& engine : all)
            if (engine == mend.m_old) {
                engine = mend.m_new;
                ++nApplied;
                break;
            }
    if (nApplied > 0 && !SaveEngines(strCataloguePath, all)) {
        PrintCliMessage(FormatTemplate(Tr("the engine catalogue %s could not be written"), {CTemplateArg::Text(strCataloguePath)}));
        return kExitFailure;
    }
    PrintCliMessage(FormatTemplate(TrN("%d engine mended in %s (the previous file is %s.bak)",
                                       "%d engines mended in %s (the previous file is %s.bak)", nApplied),
                                   {CTemplateArg::Int(nApplied), CTemplateArg::Text(strCataloguePath),
                                    CTemplateArg::Text(strCataloguePath)}));
    return 0;
}

} // namespace

int CheckEnginesCommand(const CCliOptions& options, const std::vector<CSearchEngine>& catalogue,
                        const std::string& strCataloguePath, CCancelSignal* pCancel)
{
    std::vector<CSearchEngine> engines;
    for (const std::string& strName : options.m_engineNames) {
        std::vector<std::string> names;
        for (const CSearchEngine& engine : catalogue)
            names.push_back(engine.m_strName);
        std::string strResolved, strError;
        if (!ResolveEngineName(names, strName, strResolved, strError)) {
            PrintUsageError(strError);
            return kExitUsage;
        }
        for (const CSearchEngine& engine : catalogue)
            if (engine.m_strName == strResolved)
                engines.push_back(engine);
    }
    if (options.m_engineNames.empty())
        engines = catalogue;
    if (engines.empty()) {
        PrintCliMessage(Tr("no engine to check"));
        return kExitFailure;
    }
    const std::unique_ptr<CInternetSession> pSession = OpenSession(options);
    if (!pSession)
        return kExitFailure;
    const std::vector<CEngineCheck> checks = CheckEngines(*pSession, engines, options.m_search.m_strQuery, pCancel);

    bool bAllOk = true;
    std::string strJson = "[";
    for (const CEngineCheck& check : checks) {
        bAllOk = bAllOk && check.m_nVerdict == CheckVerdict::Ok;
        if (options.m_bJson) {
            strJson += strJson.size() > 1 ? ",\n " : "\n ";
            strJson += "{\"engine\":" + JsonString(check.m_strEngine) + ",\"verdict\":" +
                       JsonString(VerdictName(check.m_nVerdict)) + ",\"detail\":" + JsonString(check.m_strDetail);
            if (options.m_bVerbose) {
                strJson += ",\"address\":" + JsonString(check.m_strAddress) +
                           ",\"status\":" + std::to_string(check.m_nStatus) +
                           ",\"pageBytes\":" + std::to_string(check.m_nPageBytes) +
                           ",\"startTokens\":" + std::to_string(check.m_nStartTokens) +
                           ",\"endTokens\":" + std::to_string(check.m_nEndTokens) +
                           ",\"emptyDescriptions\":" + std::to_string(check.m_nEmptyDescriptions) +
                           ",\"redirectsUnwrapped\":" + std::to_string(check.m_nRedirectsUnwrapped) +
                           ",\"duplicates\":" + std::to_string(check.m_nDuplicates) +
                           ",\"nextAddress\":" + JsonString(check.m_strNextAddress) +
                           ",\"hits\":" + FormatHitsJson(check.m_hits);
                while (!strJson.empty() && strJson.back() == '\n')
                    strJson.pop_back();
            }
            strJson += "}";
            continue;
        }
        std::printf("%s\t%s\t%s\n", EscapeTsvField(check.m_strEngine).c_str(), VerdictName(check.m_nVerdict),
                    EscapeTsvField(check.m_strDetail).c_str());
        if (options.m_bVerbose) {
            std::printf("  address: %s\n  status: %ld, page: %zu bytes\n"
                        "  start token: %zu times, end token: %zu times\n"
                        "  hits: %zu (%d with an empty description, %d redirects unwrapped, %d duplicates)\n",
                        EscapeControls(check.m_strAddress).c_str(), check.m_nStatus, check.m_nPageBytes,
                        check.m_nStartTokens, check.m_nEndTokens, check.m_hits.size(), check.m_nEmptyDescriptions,
                        check.m_nRedirectsUnwrapped, check.m_nDuplicates);
            for (const CSearchHit& hit : check.m_hits)
                std::printf("    %s\n      %s\n", EscapeControls(hit.m_strDescription).c_str(),
                            EscapeControls(hit.m_strUrl).c_str());
            if (!check.m_strNextAddress.empty())
                std::printf("  next page: %s\n", EscapeControls(check.m_strNextAddress).c_str());
        }
    }
    if (options.m_bJson)
        std::printf("%s\n]\n", strJson.c_str());
    if (options.m_bMend) {
        std::fflush(stdout);
        if (const int nExit = MendEngines(options, *pSession, engines, checks, strCataloguePath, pCancel); nExit != 0)
            return nExit;
    }
    return bAllOk ? 0 : kExitEngineBroken;
}
