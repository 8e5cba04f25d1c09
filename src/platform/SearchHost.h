// SPDX-License-Identifier: MIT
#pragma once

// The host of a search run: what the worker needs from the program that runs
// it (the GUI's main frame and form, or the CLI).
//
// Threading contract:
//  - PostStatusText is called from the search worker thread and, while engines
//    are searched side by side, from the look-ahead threads too, several at
//    once: it must be thread-safe, keep each caller's texts in order, and return
//    without waiting for the UI.
//  - ShowMessageBox and SearchDone are called from the search worker thread
//    only (the look-ahead records its message boxes for the worker to show).
//    They are synchronous: they return once the UI has handled them. While
//    waiting they must watch the cancel signal and return early once it is
//    set, so that a UI thread that cancels and joins the worker never deadlocks.
// After a search is cancelled the worker makes no host call at all, except the
// one status text "Find cancelled." (CSearchHostBridge enforces this).

#include <atomic>
#include <string>

class CCancelSignal;

class ISearchHost
{
public:
    virtual ~ISearchHost() = default;
    virtual void PostStatusText(const std::string& strText) = 0;
    virtual void ShowMessageBox(const std::string& strText, const std::string& strCaption,
                                const CCancelSignal& cancel) = 0;
    virtual void SearchDone(const CCancelSignal& cancel) = 0;
};

// The worker's side of the host: drops every call once the search is cancelled.
// Shared by the worker and the look-ahead threads (each fetch state of a run
// points at the one bridge); every member is thread-safe.
class CSearchHostBridge
{
public:
    CSearchHostBridge(ISearchHost* pHost, const CCancelSignal& cancel)
        : m_pHost(pHost), m_cancel(cancel)
    {
    }

    void Status(const std::string& strText);
    // The single status text allowed after a cancel ("Find cancelled."), once,
    // and only when the search is cancelled.
    void StatusCancelled(const std::string& strText);
    void Message(const std::string& strText, const std::string& strCaption);
    void SearchDone();
    bool IsCancelled() const;

private:
    ISearchHost* m_pHost;
    const CCancelSignal& m_cancel;
    std::atomic<bool> m_bCancelReported{false};
};
