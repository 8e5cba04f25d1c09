// SPDX-License-Identifier: MIT
// questrel-cli: the headless front end over the search core.

#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/CliWorkbench.h"
#include "document/SearchDocument.h"
#include "engines/CatalogueUpdate.h"
#include "engines/EngineCatalogue.h"
#include "platform/CancelSignal.h"
#include "platform/FileUtil.h"
#include "platform/InternetClient.h"
#include "platform/SearchHost.h"
#include "results/RankOrder.h"
#include "results/ResultRows.h"
#include "search/EngineOutcome.h"
#include "search/SearchJob.h"
#include "search/SearchSettings.h"
#include "search/TemplateFormat.h"
#include "search/SearchTexts.h"
#include "platform/Translate.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <set>
#include <thread>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int kExitAllEnginesFailed = 3;

// Status texts to stderr as they happen; message boxes as "questrel: text".
class CCliHost : public ISearchHost
{
public:
    explicit CCliHost(bool bQuiet) : m_bQuiet(bQuiet) {}

    void PostStatusText(const std::string& strText) override
    {
        if (m_bQuiet)
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        std::fprintf(stderr, "%s\n", EscapeControls(strText).c_str());
        std::fflush(stderr);
    }
    void ShowMessageBox(const std::string& strText, const std::string&, const CCancelSignal&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_shown.insert(strText).second)
                return; // said once is enough (the same error of the next page)
        }
        PrintMessage(strText);
    }
    void SearchDone(const CCancelSignal&) override {}

    // Whether a message box already said this (the summary need not say it again).
    bool WasShown(const std::string& strText)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_shown.count(strText) > 0;
    }

    static void PrintMessage(const std::string& strText) { PrintCliMessage(strText); }

private:
    bool m_bQuiet;
    std::mutex m_mutex;
    std::set<std::string> m_shown;
};

int Usage(const std::string& strError)
{
    PrintUsageError(strError);
    return kExitUsage;
}

int ListEngines(const std::vector<CSearchEngine>& catalogue)
{
    // Names and addresses are the catalogue's bytes: escaped like every other
    // field, so no control byte reaches the terminal.
    for (const CSearchEngine& engine : catalogue)
        std::printf("%s\t%d\t%s\n", EscapeTsvField(engine.m_strName).c_str(), engine.m_nSearchType,
                    EscapeTsvField(engine.m_strUrl).c_str());
    return 0;
}

// Ctrl+C (and SIGTERM) cancel the running search, as Stop does. The signals are
// taken by a thread of their own, so the cancel runs as ordinary code. Once the
// search has ended they act as usual again: a Ctrl+C while the rows are written
// or the search is saved ends the program.
class CInterruptWatch
{
public:
    CInterruptWatch()
    {
        sigemptyset(&m_signals);
        sigaddset(&m_signals, SIGINT);
        sigaddset(&m_signals, SIGTERM);
        sigaddset(&m_signals, SIGUSR1);
        pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
    }
    ~CInterruptWatch() { Stop(); }

    void Start(std::shared_ptr<CCancelSignal> pCancel)
    {
        m_thread = std::thread([this, pCancel] {
            int nSignal = 0;
            while (sigwait(&m_signals, &nSignal) == 0) {
                if (nSignal == SIGUSR1)
                    return;
                m_nSignal = nSignal;
                pCancel->Signal();
            }
        });
    }
    void Stop()
    {
        if (m_thread.joinable()) {
            pthread_kill(m_thread.native_handle(), SIGUSR1);
            m_thread.join();
        }
        sigset_t interrupts;
        sigemptyset(&interrupts);
        sigaddset(&interrupts, SIGINT);
        sigaddset(&interrupts, SIGTERM);
        pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
    }
    bool WasInterrupted() const { return m_nSignal != 0; }
    // The exit code of a search ended by a signal: 128 + its number (130, 143).
    int ExitCode() const { return 128 + m_nSignal; }

private:
    sigset_t m_signals;
    std::thread m_thread;
    std::atomic<int> m_nSignal{0};
};

int ShowDocument(const CCliOptions& options)
{
    // The hits go out one by one: a large document is never held decoded.
    std::string bytes;
    std::string buffer;
    auto write = [&buffer](const std::string& strPart) {
        buffer += strPart;
        if (buffer.size() >= 65536) {
            std::fwrite(buffer.data(), 1, buffer.size(), stdout);
            buffer.clear();
        }
    };
    CDocumentPrinter printer(options.m_bJson, write);
    if (!ReadFileBytes(options.m_strDocument, bytes, kMaxDocumentBytes) ||
        !VisitSearchDocument(
            bytes, [&printer](const CSearchDocumentData& header) { printer.Header(header); },
            [&printer](CSearchHit&& hit) { printer.Hit(hit); })) {
        CCliHost::PrintMessage(Tr(kMsgFailedToOpenDocument));
        return kExitFailure;
    }
    printer.End();
    std::fwrite(buffer.data(), 1, buffer.size(), stdout);
    return 0;
}

// The engines a search asks: those named on the command line, else the whole
// catalogue. An exit code when there are none to ask (-1: go on).
int ChooseEngines(const CCliOptions& options, const std::vector<CSearchEngine>& catalogue,
                  const std::string& strCataloguePath, std::vector<CSearchEngine>& chosen)
{
    std::vector<std::string> catalogueNames;
    for (const CSearchEngine& engine : catalogue)
        catalogueNames.push_back(engine.m_strName);
    std::set<std::string> names;
    for (const std::string& strName : options.m_engineNames) {
        std::string strResolved, strError;
        if (!ResolveEngineName(catalogueNames, strName, strResolved, strError))
            return Usage(strError);
        names.insert(strResolved);
    }
    for (const CSearchEngine& engine : catalogue)
        if (names.empty() || names.count(engine.m_strName))
            chosen.push_back(engine);
    if (!chosen.empty())
        return -1;
    CCliHost::PrintMessage(
        FormatTemplate(Tr("no engine to search: the catalogue %s holds none (name one with --engines FILE)"), {CTemplateArg::Text(strCataloguePath)}));
    return kExitFailure;
}

// Prints the hits, says why each engine that listed nothing did, and saves the
// search when asked. The exit code of the search.
int ReportSearch(const CCliOptions& options, CCliHost& host, const CResultRows& rows, CSearchDocumentData& document,
                 const CSearchOutcomes& outcomes, const CInterruptWatch& interrupts)
{
    // The hits are written from the rows, a few at a time: a search of many
    // long hits is never held again as a copy or as one output text. What is
    // printed may be ranked; a saved document keeps the engines' order.
    const int nRows = rows.GetRowCount();
    std::vector<std::vector<CFoundBy>> foundBy;
    std::vector<int> order;
    if (options.m_bJson || options.m_search.m_bOrderByRank)
        foundBy = rows.GetFoundBy();
    if (options.m_search.m_bOrderByRank) {
        order = OrderByRank(foundBy);
    } else {
        order.resize(static_cast<size_t>(nRows));
        for (int i = 0; i < nRows; ++i)
            order[static_cast<size_t>(i)] = i;
    }
    std::string strOut = options.m_bJson ? "[" : "";
    CSearchHit hit;
    for (size_t k = 0; k < order.size(); ++k) {
        if (!rows.GetRow(order[k], hit))
            continue;
        if (options.m_bJson) {
            strOut += k ? ",\n " : "\n ";
            const auto nRow = static_cast<size_t>(order[k]);
            strOut += HitJsonItem(hit, nRow < foundBy.size() ? &foundBy[nRow] : nullptr);
        } else {
            strOut += FormatHitsTsv({hit});
        }
        if (strOut.size() >= 64 * 1024) {
            std::fwrite(strOut.data(), 1, strOut.size(), stdout);
            strOut.clear();
        }
    }
    if (options.m_bJson)
        strOut += order.empty() ? "]\n" : "\n]\n";
    std::fwrite(strOut.data(), 1, strOut.size(), stdout);
    std::fflush(stdout);
    if (!options.m_strSaveFile.empty())
        document.m_hits = rows.GetRows();
    // Every engine that listed nothing says why, quiet or not.
    bool bAnyAnswered = false;
    for (const CEngineOutcome& outcome : outcomes.Get()) {
        bAnyAnswered = bAnyAnswered || !outcome.IsFailure();
        const std::string strWhy = outcome.m_strEngine + ": " + outcome.Describe();
        if (outcome.m_nHits == 0 && !host.WasShown(strWhy))
            CCliHost::PrintMessage(strWhy);
    }
    std::string strSaveMessage;
    if (!options.m_strSaveFile.empty() && !SaveSearchDocument(options.m_strSaveFile, document, &strSaveMessage)) {
        CCliHost::PrintMessage(strSaveMessage);
        return interrupts.WasInterrupted() ? interrupts.ExitCode() : kExitFailure;
    }
    if (interrupts.WasInterrupted())
        return interrupts.ExitCode();
    return bAnyAnswered ? 0 : kExitAllEnginesFailed;
}

int RunSearch(const CCliOptions& options, const std::vector<CSearchEngine>& catalogue,
              const std::string& strCataloguePath)
{
    std::vector<CSearchEngine> chosen;
    if (const int nExit = ChooseEngines(options, catalogue, strCataloguePath, chosen); nExit >= 0)
        return nExit;
    CSearchDocumentData document;
    StoreDocumentSettings(options.m_search, document);
    for (const CSearchEngine& engine : chosen)
        document.m_engines.push_back(engine.m_strName);
    CSearchJob job;
    if (!BuildSearchJob(options.m_search, std::move(chosen), job))
        return Usage("the hit limit must be an integer between 1 and 2048");

    std::string strError;
    std::unique_ptr<CInternetSession> pSession = OpenInternetSession(BuildSessionOptions(options.m_search), &strError);
    if (!pSession) {
        CCliHost::PrintMessage(strError);
        return kExitFailure;
    }
    CInterruptWatch interrupts;
    CCliHost host(options.m_bQuiet);
    CResultRows rows;
    job.m_pSession = pSession.get();
    job.m_pHost = &host;
    job.m_pResultList = &rows;
    job.m_bResetResultsPage = options.m_search.m_bShowResultsPage;
    job.m_bOpenResultsPage = false;
    job.m_pCancel = std::make_shared<CCancelSignal>();
    const auto pOutcomes = std::make_shared<CSearchOutcomes>();
    job.m_pOutcomes = pOutcomes;
    {
        CSearchRun run;
        interrupts.Start(job.m_pCancel);
        run.Start(std::move(job));
        run.Join();
        interrupts.Stop();
    }
    return ReportSearch(options, host, rows, document, *pOutcomes, interrupts);
}

} // namespace

int main(int argc, char** argv)
{
    InitTranslations(LocaleDirectoryFor(FindShareDirectory()));
    CCliOptions options;
    std::string strError;
    if (!ParseCliOptions(argc, argv, options, strError))
        return Usage(strError);
    if (options.m_bVersion) {
        std::printf("questrel-cli %s\n", QUESTREL_VERSION);
        return 0;
    }
    if (options.m_bHelp) {
        std::fputs(Tr(kCliUsage), stdout);
        return 0;
    }

    if (options.m_command == CCliOptions::Command::Show)
        return ShowDocument(options);
    if (options.m_command == CCliOptions::Command::LearnEngine) {
        // A learned engine goes into the catalogue named, else the user's own
        // (made when there is none yet).
        if (!InitNetworkLibrary()) {
            CCliHost::PrintMessage(Tr(kMsgStartupFailed));
            return kExitFailure;
        }
        CInterruptWatch interrupts;
        const auto pCancel = std::make_shared<CCancelSignal>();
        interrupts.Start(pCancel);
        const int nExit = LearnEngineCommand(
            options, options.m_strEnginesFile.empty() ? FindCataloguePath() : options.m_strEnginesFile, pCancel.get());
        interrupts.Stop();
        CleanupNetworkLibrary();
        return interrupts.WasInterrupted() ? interrupts.ExitCode() : nExit;
    }

    // The catalogue named, else the user's, else the one shipped with the program.
    std::string strPath = options.m_strEnginesFile;
    if (strPath.empty()) {
        // The user's own catalogue, made from the shipped one at the first use
        // and brought up to date with it at every start, as the window does.
        strPath = FindCataloguePath();
        const std::string strShare = FindShareDirectory();
        CCatalogueUpdate update;
        if (strPath == GetUserCataloguePath() && PrepareUserCatalogue(strPath, strShare, &update) &&
            update.m_nUpdated > 0)
            CCliHost::PrintMessage(FormatTemplate(TrN(kMsgEnginesUpdated, update.m_nUpdated), {CTemplateArg::Int(update.m_nUpdated)}));
        if (!FileExists(strPath) && !PathExists(strPath) && !strShare.empty())
            strPath = strShare + kCatalogueFileName;
    }
    std::vector<CSearchEngine> catalogue;
    int nDropped = 0;
    if (!LoadEngines(strPath, catalogue, &nDropped) && (!options.m_strEnginesFile.empty() || PathExists(strPath))) {
        CCliHost::PrintMessage(FormatTemplate(Tr("cannot read the engine catalogue %s"), {CTemplateArg::Text(strPath)}));
        return kExitFailure;
    }
    if (nDropped > 0)
        CCliHost::PrintMessage(FormatTemplate(TrN(kMsgRecordsNotRead, nDropped), {CTemplateArg::Int(nDropped)}) + " (" +
                               strPath + ")");

    if (options.m_command == CCliOptions::Command::Engines)
        return ListEngines(catalogue);

    if (!InitNetworkLibrary()) {
        CCliHost::PrintMessage(Tr(kMsgStartupFailed));
        return kExitFailure;
    }
    if (options.m_command == CCliOptions::Command::CheckEngines) {
        CInterruptWatch interrupts;
        const auto pCancel = std::make_shared<CCancelSignal>();
        interrupts.Start(pCancel);
        const int nExit = CheckEnginesCommand(options, catalogue, strPath, pCancel.get());
        interrupts.Stop();
        CleanupNetworkLibrary();
        return interrupts.WasInterrupted() ? interrupts.ExitCode() : nExit;
    }

    const int nExit = RunSearch(options, catalogue, strPath);
    CleanupNetworkLibrary();
    return nExit;
}
