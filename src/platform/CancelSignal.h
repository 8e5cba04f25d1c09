// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

// The cancel signal of one search run (its label is "SearchSem", after the name
// the Stop button has always used). Stop sets it once and it stays set for the
// rest of that run; a new search gets a new signal, so Stop in one run or one
// process never reaches another.
//
// Blocking network waits register a waker, which Signal() calls so that a
// transfer in progress ends at once instead of after its next block.
class CCancelSignal
{
public:
    static constexpr const char* kLabel = "SearchSem";

    CCancelSignal() = default;
    CCancelSignal(const CCancelSignal&) = delete;
    CCancelSignal& operator=(const CCancelSignal&) = delete;

    // Threading: every member may be called from any thread (the UI's Stop,
    // the worker, the look-ahead and verification threads, signal handlers' watchers).
    // Thread-safe; may be called any number of times.
    void Signal();
    bool IsSignalled() const { return m_bSignalled.load(std::memory_order_acquire); }

    // A waker runs on the thread that calls Signal(). It must be quick and must
    // not call back into this object. RemoveWaker waits for a running waker.
    int AddWaker(std::function<void()> waker);
    void RemoveWaker(int nHandle);

private:
    std::atomic<bool> m_bSignalled{false};
    std::mutex m_mutex;
    std::vector<std::pair<int, std::function<void()>>> m_wakers;
    int m_nNextHandle = 1;
};
