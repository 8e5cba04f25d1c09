// SPDX-License-Identifier: MIT
#pragma once

// Work for the window that must not hold it (fetching a page, checking the
// engines): it runs on a thread of its own with a cancel signal, and the
// owner hears of its end on the UI thread. The owner is a window that lives
// longer than the task (the task is its member): the destructor cancels the
// work and waits for it, and the work looks at the signal in every wait.

#include "platform/CancelSignal.h"
#include "platform/WorkerThreads.h"

#include <atomic>
#include <functional>
#include <memory>

class wxEvtHandler;

class CBackgroundTask
{
public:
    CBackgroundTask() = default;
    ~CBackgroundTask();
    CBackgroundTask(const CBackgroundTask&) = delete;
    CBackgroundTask& operator=(const CBackgroundTask&) = delete;

    // Starts the work; onEnded is called on the owner's UI thread when it has
    // ended, unless it was cancelled. False while earlier work still runs;
    // earlier work that was cancelled and is still winding down is not waited
    // for (it ends on its own; the destructor waits for it). Work keeps what it
    // makes in state of its own, so two runs never share it.
    bool Start(wxEvtHandler& owner, std::function<void(CCancelSignal&)> work, std::function<void()> onEnded);
    // Stops the work where it waits; onEnded is then not called.
    void Cancel();
    // Whether work runs whose end will be heard of (cancelled work does not count).
    bool IsRunning() const { return m_pCancel && !*m_pEnded && !m_pCancel->IsSignalled(); }

private:
    // The current run's; cancelled runs still winding down keep their own.
    std::shared_ptr<CCancelSignal> m_pCancel;
    std::shared_ptr<std::atomic<bool>> m_pEnded;
    CWorkerThreads m_workers;
};
