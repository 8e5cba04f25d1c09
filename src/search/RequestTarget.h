// SPDX-License-Identifier: MIT
#pragma once

#include "search/FetchState.h"

#include <string>

struct CRequestTarget
{
    InternetScheme m_nScheme = kSchemeUnknown;
    std::string m_strHost;
    std::string m_strObject; // path with any "?" part; never empty
    uint16_t m_nPort = 0;
};

// Canonicalises and splits an address with a scheme. False when it cannot be
// parsed (an address without a scheme fails here).
bool CrackUrl(const std::string& strAddress, CRequestTarget& target);

// Splits the address into the fetch state's request target; an address that
// fails is tried again with "http://" in front. When both fail: the message
// "Invalid URL", false, and the target is left as it was.
bool ParseRequestTarget(CFetchState& fs, const std::string& strAddress,
                        InternetScheme* pScheme = nullptr);

// Whether a parsed target can be requested: http or https with a host.
bool IsRequestableTarget(const CFetchState& fs);
