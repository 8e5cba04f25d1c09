// SPDX-License-Identifier: MIT
#include "gui/GuiSearchHost.h"

#include "platform/CancelSignal.h"
#include "gui/QuestrelView.h"

#include <chrono>
#include <condition_variable>
#include <memory>

void CGuiSearchHost::PostStatusText(const std::string& strText)
{
    bool bFirst = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        bFirst = m_pendingTexts.empty();
        m_pendingTexts.push_back(strText);
    }
    if (!bFirst)
        return; // the call posted for the batch will take this text too
    m_view.PostFromWorker(m_nSearchId, [this] {
        std::vector<std::string> texts;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            texts.swap(m_pendingTexts);
        }
        m_view.ShowStatusTexts(texts);
    });
}

bool CGuiSearchHost::RunOnUi(std::function<void()> call, const CCancelSignal& cancel)
{
    struct CState
    {
        std::mutex m_mutex;
        std::condition_variable m_done;
        bool m_bDone = false;
    };
    auto pState = std::make_shared<CState>();
    // A call that reaches the UI after Stop (posted just before it) is dropped:
    // no box of a stopped search appears.
    m_view.PostFromWorker(m_nSearchId, [pState, &cancel, call = std::move(call)] {
        if (!cancel.IsSignalled())
            call();
        std::lock_guard<std::mutex> lock(pState->m_mutex);
        pState->m_bDone = true;
        pState->m_done.notify_all();
    });
    std::unique_lock<std::mutex> lock(pState->m_mutex);
    while (!pState->m_bDone) {
        if (cancel.IsSignalled())
            return false;
        pState->m_done.wait_for(lock, std::chrono::milliseconds(50));
    }
    return true;
}

void CGuiSearchHost::ShowMessageBox(const std::string& strText, const std::string&, const CCancelSignal&)
{
    // The search never waits on a box: the view gathers the texts and shows
    // them after the search, in one box (posted before the end, so all arrive first).
    CQuestrelView& view = m_view;
    m_view.PostFromWorker(m_nSearchId, [&view, strText] { view.NoteWorkerMessage(strText); });
}

void CGuiSearchHost::SearchDone(const CCancelSignal& cancel)
{
    RunOnUi([this] { m_view.OnSearchFinished(); }, cancel);
}
