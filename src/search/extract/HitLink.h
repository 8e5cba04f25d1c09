// SPDX-License-Identifier: MIT
#pragma once

// The address a hit's link leads to. A page writes its links for a browser:
// character references in the attribute, blanks around it, addresses relative to
// the page, and, on many engines, the engine's own redirect in front of the real
// target. The hit's URL is the address the browser would open in the end.

#include "platform/Url.h"

#include <memory>
#include <string>
#include <string_view>

// Used by one thread at a time.
class CLinkCleaner
{
public:
    // Links are only decoded and trimmed: there is no page to resolve them against.
    CLinkCleaner() = default;
    // strPageUrl: the address the page was fetched from (after redirects);
    // strEngineUrl: the engine's own address, whose site's redirect links are
    // replaced by their targets.
    CLinkCleaner(const std::string& strPageUrl, const std::string& strEngineUrl);

    // The address for the link as it stands in the page (between its quotes).
    // A redirect of the engine's site is replaced by its target; so is one
    // through strRedirector ("host/path", see RedirectorOf), the address the
    // page's hits all go through.
    std::string Clean(std::string_view rawLink, std::string_view strRedirector = {}) const;
    // The link decoded, trimmed and made absolute; no redirect undone.
    std::string Resolve(std::string_view rawLink) const;
    // "host/path" of a link that carries its target in a parameter; empty for any other.
    static std::string RedirectorOf(std::string_view url);

private:
    bool IsEngineHost(std::string_view host) const;

    std::shared_ptr<const CUrlBase> m_pBase; // the page's address, when it could be parsed
    std::string m_strEngineHost;          // lower case
    std::string m_strEngineDomain;        // its registrable domain (or the host itself)
    // The last host asked about and the answer: a page's links mostly share few hosts.
    mutable std::string m_strLastHost;
    mutable bool m_bLastHostIsEngine = false;
};

// The longest URL a hit may have: a longer link is no result.
inline constexpr size_t kMaxHitUrlBytes = 8 * 1024;
// Whether a hit's (cleaned) URL may be listed: at most kMaxHitUrlBytes, and
// none of the schemes that run or read something on the user's machine
// (javascript:, vbscript:, data:, file:, in any case, after the blanks and
// control bytes a browser would skip).
bool IsListableHitUrl(std::string_view url);

// Base64 in the URL alphabet ('-' and '_'), padding optional. False on any other byte.
bool Base64UrlDecode(std::string_view text, std::string* pOut);

// The target of a redirect link: the first query parameter, or path segment of
// the form NAME=VALUE, whose percent-decoded value is an absolute http(s)
// address, or a parameter "a1" + base64url of one; else the address written
// whole after a star in the path ("/**http%3a//host/page"). Empty when there
// is none.
std::string RedirectTarget(std::string_view url);

