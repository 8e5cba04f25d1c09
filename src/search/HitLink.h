// SPDX-License-Identifier: MIT
#pragma once

// The address a hit's link leads to. A page writes its links for a browser:
// character references in the attribute, blanks around it, addresses relative to
// the page, and, on many engines, the engine's own redirect in front of the real
// target. The hit's URL is the address the browser would open in the end.

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
    std::string Clean(std::string_view rawLink) const;

private:
    bool IsEngineHost(std::string_view host) const;

    struct CBase;
    std::shared_ptr<const CBase> m_pBase; // the parsed page address, when there is one
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

// The scheme an address names ("mailto" of "mailto:x@y"), or empty. A host and
// port ("localhost:8080/x") names none.
std::string UrlScheme(std::string_view address);
// Its length; 0 when it names none.
size_t UrlSchemeLength(std::string_view address);

// Base64 in the URL alphabet ('-' and '_'), padding optional. False on any other byte.
bool Base64UrlDecode(std::string_view text, std::string* pOut);

// The part of a host name that one owner registers ("duckduckgo.com" of
// "lite.duckduckgo.com", "example.co.uk" of "www.example.co.uk"), lower case;
// the host itself when it has none (an address, a bare name, a public suffix).
std::string RegistrableDomain(std::string_view host);

// The host of an absolute address ("scheme://[user@]host[:port]/..."), lower
// case; empty when it has none.
std::string HostOfUrl(std::string_view url);

// The target of a redirect link: the first query parameter, or path segment of
// the form NAME=VALUE, whose percent-decoded value is an absolute http(s)
// address, or a parameter "a1" + base64url of one. Empty when there is none.
std::string RedirectTarget(std::string_view url);

