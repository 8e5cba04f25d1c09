// SPDX-License-Identifier: MIT
#include "search/PageAnswer.h"

#include "search/EngineOutcome.h"

std::string CPageAnswer::DescribeStatus() const
{
    if (m_nStatus < 400)
        return {};
    const std::string strReason = m_strReason.empty() ? StandardReasonPhrase(m_nStatus) : m_strReason;
    return "HTTP " + std::to_string(m_nStatus) + (strReason.empty() ? "" : " " + strReason);
}
