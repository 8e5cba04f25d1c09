// SPDX-License-Identifier: MIT
#pragma once

// The desktop program as the host of a search run. Calls arrive on the worker
// and the look-ahead threads (status texts only; see ISearchHost) and are
// carried to the UI thread by the form view:
//  - status texts are queued and drained by one posted call per batch, in order;
//  - message boxes are posted too: the view gathers them and shows them in one
//    box after the search, so no box holds the search;
//  - the end-of-search notice waits for the UI, in 50 ms slices, and gives up
//    once the search is cancelled, so a UI thread that cancels and joins the
//    worker never deadlocks.
// A posted call that arrives after its search is over is dropped by the view.

#include "platform/SearchHost.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CQuestrelView;

class CGuiSearchHost : public ISearchHost
{
public:
    CGuiSearchHost(CQuestrelView& view, int nSearchId) : m_view(view), m_nSearchId(nSearchId) {}

    void PostStatusText(const std::string& strText) override;
    void ShowMessageBox(const std::string& strText, const std::string& strCaption,
                        const CCancelSignal& cancel) override;
    void SearchDone(const CCancelSignal& cancel) override;

private:
    // Runs the call on the UI thread and waits for it; false when cancelled first.
    bool RunOnUi(std::function<void()> call, const CCancelSignal& cancel);

    CQuestrelView& m_view;
    int m_nSearchId;
    std::mutex m_mutex;
    std::vector<std::string> m_pendingTexts;
};
