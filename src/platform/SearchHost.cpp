// SPDX-License-Identifier: MIT
#include "platform/SearchHost.h"

#include "platform/CancelSignal.h"

bool CSearchHostBridge::IsCancelled() const
{
    return m_cancel.IsSignalled();
}

void CSearchHostBridge::Status(const std::string& strText)
{
    if (m_pHost && !IsCancelled())
        m_pHost->PostStatusText(strText);
}

void CSearchHostBridge::StatusCancelled(const std::string& strText)
{
    if (m_pHost && IsCancelled() && !m_bCancelReported.exchange(true))
        m_pHost->PostStatusText(strText);
}

void CSearchHostBridge::Message(const std::string& strText, const std::string& strCaption)
{
    if (m_pHost && !IsCancelled())
        m_pHost->ShowMessageBox(strText, strCaption, m_cancel);
}

void CSearchHostBridge::SearchDone()
{
    if (m_pHost && !IsCancelled())
        m_pHost->SearchDone(m_cancel);
}
