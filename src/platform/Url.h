// SPDX-License-Identifier: MIT
#pragma once

// The rules of addresses in one place: their scheme and host, the domain one
// owner registers, which addresses are web addresses, and resolving a link
// against the address of the page it stands in.

#include <memory>
#include <string>
#include <string_view>

// The scheme an address names ("mailto" of "mailto:x@y"), or empty. A host and
// port ("localhost:8080/x") names none.
std::string UrlScheme(std::string_view address);
// Its length; 0 when it names none.
size_t UrlSchemeLength(std::string_view address);

// The host of an absolute address ("scheme://[user@]host[:port]/..."), lower
// case; empty when it has none.
std::string HostOfUrl(std::string_view url);

// The part of a host name that one owner registers ("duckduckgo.com" of
// "lite.duckduckgo.com", "example.co.uk" of "www.example.co.uk"), lower case;
// the host itself when it has none (an address, a bare name, a public suffix).
std::string RegistrableDomain(std::string_view host);

// What the browser is handed: http://, https:// and ftp:// addresses (scheme in
// any case). A hit's URL comes from an untrusted page; nothing else is opened.
bool IsWebAddress(std::string_view url);

// An absolute http or https address with a host and no control byte: what a
// redirect link of an engine may lead to.
bool IsHttpAddressWithHost(std::string_view text);

// An absolute address, parsed once, against which relative links are resolved.
// Used by one thread at a time.
class CUrlBase
{
public:
    explicit CUrlBase(const std::string& strUrl);
    ~CUrlBase();
    CUrlBase(const CUrlBase&) = delete;
    CUrlBase& operator=(const CUrlBase&) = delete;

    // Whether the address could be parsed (nothing resolves against it otherwise).
    bool IsValid() const { return m_pUrl != nullptr; }
    // The link made absolute as a browser would; false when it cannot be.
    bool Resolve(const std::string& strLink, std::string& strResolved) const;

private:
    struct CParsed;
    std::unique_ptr<CParsed> m_pUrl;
};
