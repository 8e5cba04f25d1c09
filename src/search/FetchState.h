// SPDX-License-Identifier: MIT
#pragma once

// The fetch state of one engine of a search run: the run's context, which every
// fetch of the run shares (session, host bridge, cancel signal, options), and
// the engine's own cursor (request target, open connection, last page). Engines
// searched side by side each have a fetch state of their own, made from the one
// context; a fetch state is used by one thread at a time. It lives inside the
// search: a page asked for outside one goes through FetchAnswer (PageRequest.h).

#include "platform/InternetClient.h"
#include "platform/SearchHost.h"
#include "search/BrowserPages.h"
#include "search/PageAnswer.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CCancelSignal;

// A result page is read up to this many bytes (of text, after decoding); the
// rest is dropped and the engine's outcome says so.
inline constexpr size_t kMaxPageBytes = 32u * 1024 * 1024;

enum InternetScheme : int
{
    kSchemeUnknown = -1,
    kSchemeHttp = 0,
    kSchemeHttps,
    kSchemeFtp,
    kSchemeOther,
};

// Bytes of pages that fetches running side by side may hold together. Any
// thread may take and give.
class CPageBudget
{
public:
    explicit CPageBudget(size_t nMax) : m_nMax(nMax) {}
    // False, taking nothing, when n more bytes would pass the budget.
    bool Take(size_t n);
    void Give(size_t n);

private:
    mutable std::mutex m_mutex;
    const size_t m_nMax;
    size_t m_nUsed = 0;
};

// What every fetch of one search shares. The pointers are not owned. Threading:
// copied into each fetch state and read by every thread of the run; the objects
// it points at (session, host bridge, cancel signal, page budget) are
// thread-safe.
struct CSearchContext
{
    CInternetSession* m_pSession = nullptr;
    CSearchHostBridge* m_pHost = nullptr;              // status texts and message boxes
    CCancelSignal* m_pCancel = nullptr;                // the run's cancel signal
    bool m_bCollectPages = false;                      // collect pages in the results page
    std::string m_strResultsPagePath;                  // formed when the run started
    size_t m_nMaxPageBytes = kMaxPageBytes;            // the rest of a bigger page is dropped
    CPageBudget* m_pPageBudget = nullptr;              // when set, pages are read within it
    bool m_bBrowserEngine = false;                     // pages that need scripts go again to the browser engine
};

// How a fetch state passes on the message boxes its steps raise.
enum class MessageRoute
{
    Show,   // to the host at once
    Record, // kept in m_recordedMessages, to be shown later in engine order
    Drop,   // not at all (a step that is done again where its messages count)
};

// One engine's place in a search: used by one thread at a time.
struct CEngineCursor
{
    std::unique_ptr<CHttpConnection> m_pConnection;    // the open connection, if any
    std::string m_strServer;                           // host of the last parsed address
    std::string m_strObject;                           // path and "?" part of it
    uint16_t m_nPort = 0;                              // its port (explicit or the scheme's)
    InternetScheme m_nScheme = kSchemeUnknown;         // its scheme

    std::string m_strEngine;                           // engine being searched; names its errors
    CPageAnswer m_answer;                              // the page being or last fetched, or the connect's error
    BrowserRule m_nBrowserRule = BrowserRule::WallOnly; // which pages go again to the browser engine (when the session allows)
    bool m_bOverBudget = false;                        // the fetch was given up: the page budget was spent
    size_t m_nBudgetHeld = 0;                          // bytes of the page taken from m_pPageBudget

    MessageRoute m_nMessageRoute = MessageRoute::Show;
    std::vector<std::string> m_recordedMessages;
    bool m_bQuiet = false;             // no status texts (another fetch state shows them)
    bool m_bKeepPagesOut = false;      // pages are not added to the results page here
};

struct CFetchState : CSearchContext, CEngineCursor
{
    CFetchState() = default;
    explicit CFetchState(const CSearchContext& context) : CSearchContext(context) {}

    bool IsCancelled() const;
    // Takes n bytes of page from the budget (always true without one); false,
    // with m_bOverBudget, when the budget is spent.
    bool TakeFromBudget(size_t n);
    // Gives back what the page held of the budget.
    void GiveBackBudget();
    // A message box of a step, passed on by the cursor's route.
    void Message(const std::string& strText);
};
