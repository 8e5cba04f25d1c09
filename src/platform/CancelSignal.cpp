// SPDX-License-Identifier: MIT
#include "platform/CancelSignal.h"

#include <algorithm>

void CCancelSignal::Signal()
{
    m_bSignalled.store(true, std::memory_order_release);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& entry : m_wakers)
        entry.second();
}

int CCancelSignal::AddWaker(std::function<void()> waker)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int nHandle = m_nNextHandle++;
    m_wakers.emplace_back(nHandle, std::move(waker));
    return nHandle;
}

void CCancelSignal::RemoveWaker(int nHandle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wakers.erase(std::remove_if(m_wakers.begin(), m_wakers.end(),
                                  [nHandle](const auto& entry) { return entry.first == nHandle; }),
                   m_wakers.end());
}
