// SPDX-License-Identifier: MIT
#pragma once

// Work for the window that must not hold it (fetching a page, checking the
// engines): it runs on a thread of its own with a cancel signal, and the
// owner hears of its end on the UI thread. The owner is a window that lives
// longer than the task (the task is its member): the destructor cancels the
// work and waits for it, and the work looks at the signal in every wait.

#include "platform/CancelSignal.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class wxEvtHandler;

class CBackgroundTask
{
public:
    CBackgroundTask() = default;
    ~CBackgroundTask();
    CBackgroundTask(const CBackgroundTask&) = delete;
    CBackgroundTask& operator=(const CBackgroundTask&) = delete;

    // Starts the work; onEnded is called on the owner's UI thread when it has
    // ended, unless it was cancelled. False while earlier work still runs.
    bool Start(wxEvtHandler& owner, std::function<void(CCancelSignal&)> work, std::function<void()> onEnded);
    // Stops the work where it waits; onEnded is then not called.
    void Cancel();
    bool IsRunning() const { return m_thread.joinable() && !m_bEnded; }

private:
    void Join();

    std::shared_ptr<CCancelSignal> m_pCancel;
    std::atomic<bool> m_bEnded{true};
    std::thread m_thread;
};
