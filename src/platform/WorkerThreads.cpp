// SPDX-License-Identifier: MIT
#include "platform/WorkerThreads.h"

CWorkerThreads::~CWorkerThreads()
{
    Stop();
    Wait();
}

void CWorkerThreads::Start(std::function<void()> work, std::shared_ptr<CCancelSignal> pCancel, size_t nThreads)
{
    JoinEnded();
    auto pWork = std::make_shared<std::function<void()>>(std::move(work));
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < std::max<size_t>(nThreads, 1); ++i) {
        CThread thread;
        thread.m_pCancel = pCancel;
        thread.m_thread = std::thread([pWork, pEnded = thread.m_pEnded] {
            (*pWork)();
            pEnded->store(true);
        });
        m_threads.push_back(std::move(thread));
    }
}

void CWorkerThreads::Stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const CThread& thread : m_threads)
        if (thread.m_pCancel && !thread.m_pEnded->load())
            thread.m_pCancel->Signal();
}

void CWorkerThreads::Wait()
{
    // Joined outside the lock (a thread's work may ask IsBusy or Stop, which
    // read only the signals and flags); only this thread changes the list.
    for (CThread& thread : m_threads)
        if (thread.m_thread.joinable())
            thread.m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_threads.clear();
}

bool CWorkerThreads::IsBusy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const CThread& thread : m_threads)
        if (!thread.m_pEnded->load())
            return true;
    return false;
}

void CWorkerThreads::JoinEnded()
{
    std::vector<CThread> ended;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_threads.begin(); it != m_threads.end();) {
            if (it->m_pEnded->load()) {
                ended.push_back(std::move(*it));
                it = m_threads.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (CThread& thread : ended)
        thread.m_thread.join(); // at once: its work has returned
}
