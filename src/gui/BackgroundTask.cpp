// SPDX-License-Identifier: MIT
#include "gui/BackgroundTask.h"

#include <wx/event.h>

CBackgroundTask::~CBackgroundTask()
{
    Cancel();
    Join();
}

bool CBackgroundTask::Start(wxEvtHandler& owner, std::function<void(CCancelSignal&)> work,
                            std::function<void()> onEnded)
{
    if (IsRunning())
        return false;
    Join();
    auto pCancel = std::make_shared<CCancelSignal>();
    m_pCancel = pCancel;
    m_bEnded = false;
    wxEvtHandler* pOwner = &owner;
    m_thread = std::thread([this, pOwner, pCancel, work = std::move(work), onEnded = std::move(onEnded)] {
        work(*pCancel);
        m_bEnded = true;
        // Queued on the owner: dropped safely if the owner goes first.
        pOwner->CallAfter([pCancel, onEnded] {
            if (!pCancel->IsSignalled() && onEnded)
                onEnded();
        });
    });
    return true;
}

void CBackgroundTask::Cancel()
{
    if (m_pCancel)
        m_pCancel->Signal();
}

void CBackgroundTask::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
