// SPDX-License-Identifier: MIT
#pragma once

// The one owner of the program's worker threads (the search's worker, its
// side-by-side pool, the window's background work, the engine check's pool):
// work starts on threads of its own, each with the cancel signal it looks at
// in every wait; Stop sets every running thread's signal, Wait joins them all,
// and the destructor does both. Threads that have ended are joined whenever
// more work starts, so a long-lived owner holds no dead threads.
//
// Threading: Start, Wait and the destructor belong to the thread that owns
// the object; Stop and IsBusy may be called from any thread.

#include "platform/CancelSignal.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CWorkerThreads
{
public:
    CWorkerThreads() = default;
    ~CWorkerThreads();
    CWorkerThreads(const CWorkerThreads&) = delete;
    CWorkerThreads& operator=(const CWorkerThreads&) = delete;

    // Runs work on nThreads threads (at least one); pCancel (may be null) is
    // what Stop signals for them.
    void Start(std::function<void()> work, std::shared_ptr<CCancelSignal> pCancel = nullptr, size_t nThreads = 1);
    // Signals the cancel signal of every thread that has not ended.
    void Stop();
    // Waits for every thread started.
    void Wait();
    // Whether a thread started has not ended yet.
    bool IsBusy() const;

private:
    struct CThread
    {
        std::thread m_thread;
        std::shared_ptr<CCancelSignal> m_pCancel;
        std::shared_ptr<std::atomic<bool>> m_pEnded = std::make_shared<std::atomic<bool>>(false);
    };
    void JoinEnded();

    mutable std::mutex m_mutex; // guards m_threads against Stop and IsBusy from other threads
    std::vector<CThread> m_threads;
};
