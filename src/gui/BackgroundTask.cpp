// SPDX-License-Identifier: MIT
#include "gui/BackgroundTask.h"

#include <wx/event.h>

CBackgroundTask::~CBackgroundTask()
{
    Cancel();
    if (m_pRun)
        m_stopped.push_back(m_pRun);
    for (const auto& pRun : m_stopped)
        if (pRun->m_thread.joinable())
            pRun->m_thread.join();
}

bool CBackgroundTask::Start(wxEvtHandler& owner, std::function<void(CCancelSignal&)> work,
                            std::function<void()> onEnded)
{
    if (IsRunning())
        return false;
    if (m_pRun)
        m_stopped.push_back(std::move(m_pRun));
    // Runs that have ended are joined now (at once); the others wait.
    for (auto it = m_stopped.begin(); it != m_stopped.end();) {
        if (*(*it)->m_pEnded) {
            (*it)->m_thread.join();
            it = m_stopped.erase(it);
        } else {
            ++it;
        }
    }
    m_pRun = std::make_shared<CRun>();
    wxEvtHandler* pOwner = &owner;
    m_pRun->m_thread = std::thread([pCancel = m_pRun->m_pCancel, pEnded = m_pRun->m_pEnded, pOwner,
                                    work = std::move(work), onEnded = std::move(onEnded)] {
        work(*pCancel);
        // Queued on the owner: dropped safely if the owner goes first.
        pOwner->CallAfter([pCancel, onEnded] {
            if (!pCancel->IsSignalled() && onEnded)
                onEnded();
        });
        *pEnded = true;
    });
    return true;
}

void CBackgroundTask::Cancel()
{
    if (m_pRun)
        m_pRun->m_pCancel->Signal();
}
