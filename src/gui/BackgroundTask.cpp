// SPDX-License-Identifier: MIT
#include "gui/BackgroundTask.h"

#include <wx/event.h>

CBackgroundTask::~CBackgroundTask() = default; // the workers are stopped and waited for

bool CBackgroundTask::Start(wxEvtHandler& owner, std::function<void(CCancelSignal&)> work,
                            std::function<void()> onEnded)
{
    if (IsRunning())
        return false;
    m_pCancel = std::make_shared<CCancelSignal>();
    m_pEnded = std::make_shared<std::atomic<bool>>(false);
    wxEvtHandler* pOwner = &owner;
    m_workers.Start([pCancel = m_pCancel, pEnded = m_pEnded, pOwner, work = std::move(work),
                     onEnded = std::move(onEnded)] {
        work(*pCancel);
        // Queued on the owner: dropped safely if the owner goes first.
        pOwner->CallAfter([pCancel, onEnded] {
            if (!pCancel->IsSignalled() && onEnded)
                onEnded();
        });
        *pEnded = true;
    }, m_pCancel);
    return true;
}

void CBackgroundTask::Cancel()
{
    if (m_pCancel)
        m_pCancel->Signal();
}
