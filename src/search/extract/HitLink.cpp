// SPDX-License-Identifier: MIT
#include "search/extract/HitLink.h"

#include "platform/TextUtil.h"
#include "search/extract/HtmlText.h"

#include <algorithm>

namespace {

// Blanks around a link and the tabs and line breaks in it mean nothing to a browser.
std::string TrimLink(std::string_view link)
{
    std::string out;
    out.reserve(link.size());
    for (const char c : TrimWhiteSpace(link))
        if (c != '\t' && c != '\n' && c != '\r')
            out += c;
    return out;
}

// The target a NAME=VALUE piece of a redirect link carries, or empty.
std::string TargetOfParameter(std::string_view piece)
{
    const size_t nEquals = piece.find('=');
    if (nEquals == std::string_view::npos)
        return {};
    const std::string_view value = piece.substr(nEquals + 1);
    std::string strDecoded = PercentDecode(value);
    if (IsHttpAddressWithHost(strDecoded))
        return strDecoded;
    // The "a1" + base64url form.
    if (value.size() > 2 && value.substr(0, 2) == "a1" && Base64UrlDecode(value.substr(2), &strDecoded) &&
        IsHttpAddressWithHost(strDecoded))
        return strDecoded;
    return {};
}

// Calls f(piece) for each piece between separators until f returns a non-empty text.
template <typename F>
std::string FirstOfPieces(std::string_view text, std::string_view separators, F f)
{
    size_t i = 0;
    while (i <= text.size()) {
        size_t nEnd = text.find_first_of(separators, i);
        if (nEnd == std::string_view::npos)
            nEnd = text.size();
        std::string strFound = f(text.substr(i, nEnd - i));
        if (!strFound.empty())
            return strFound;
        i = nEnd + 1;
    }
    return {};
}

} // namespace

bool IsListableHitUrl(std::string_view url)
{
    if (url.size() > kMaxHitUrlBytes)
        return false;
    while (!url.empty() && static_cast<unsigned char>(url.front()) <= 0x20)
        url.remove_prefix(1);
    const std::string_view scheme = url.substr(0, UrlSchemeLength(url));
    for (const char* pszUnsafe : {"javascript", "vbscript", "data", "file"})
        if (EqualsNoCase(scheme, pszUnsafe))
            return false;
    return true;
}

bool Base64UrlDecode(std::string_view text, std::string* pOut)
{
    while (!text.empty() && text.back() == '=')
        text.remove_suffix(1);
    std::string out;
    out.reserve(text.size() * 3 / 4);
    unsigned nBits = 0;
    int nCount = 0;
    for (const char c : text) {
        int v = -1;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (IsAsciiDigit(c))
            v = c - '0' + 52;
        else if (c == '-' || c == '+')
            v = 62;
        else if (c == '_' || c == '/')
            v = 63;
        if (v < 0)
            return false;
        nBits = (nBits << 6) | static_cast<unsigned>(v);
        nCount += 6;
        if (nCount >= 8) {
            nCount -= 8;
            out += static_cast<char>((nBits >> nCount) & 0xFF);
        }
    }
    *pOut = std::move(out);
    return true;
}

std::string RedirectTarget(std::string_view url)
{
    const size_t nSep = url.find("://");
    if (nSep == std::string_view::npos)
        return {};
    std::string_view rest = url.substr(nSep + 3);
    rest = rest.substr(0, rest.find('#'));
    const size_t nQuery = rest.find('?');
    if (nQuery != std::string_view::npos) {
        std::string strTarget = FirstOfPieces(rest.substr(nQuery + 1), "&", TargetOfParameter);
        if (!strTarget.empty())
            return strTarget;
    }
    std::string_view path = rest.substr(0, nQuery);
    const size_t nSlash = path.find('/');
    if (nSlash == std::string_view::npos)
        return {};
    std::string strTarget = FirstOfPieces(path.substr(nSlash + 1), "/;", TargetOfParameter);
    if (!strTarget.empty())
        return strTarget;
    // The target written whole after a star (".../EXP=1201/**http%3a//host/page"):
    // the rest of the link, query and all, is its address.
    for (size_t nStar = rest.find('*', nSlash); nStar != std::string_view::npos; nStar = rest.find('*', nStar + 1)) {
        size_t nFrom = nStar + 1;
        while (nFrom < rest.size() && (rest[nFrom] == '*' || rest[nFrom] == '-'))
            ++nFrom;
        std::string strDecoded = PercentDecode(rest.substr(nFrom));
        if (EqualsNoCase(std::string_view(strDecoded).substr(0, 4), "http") && IsHttpAddressWithHost(strDecoded))
            return strDecoded;
    }
    return {};
}

CLinkCleaner::CLinkCleaner(const std::string& strPageUrl, const std::string& strEngineUrl)
{
    auto pBase = std::make_shared<const CUrlBase>(strPageUrl);
    if (pBase->IsValid())
        m_pBase = std::move(pBase);
    m_strEngineHost = HostOfUrl(strEngineUrl);
    m_strEngineDomain = RegistrableDomain(m_strEngineHost);
}

bool CLinkCleaner::IsEngineHost(std::string_view host) const
{
    if (host.empty() || m_strEngineHost.empty())
        return false;
    if (host == m_strEngineHost)
        return true;
    if (host != m_strLastHost) {
        m_strLastHost = host;
        m_bLastHostIsEngine = RegistrableDomain(host) == m_strEngineDomain;
    }
    return m_bLastHostIsEngine;
}

namespace {

// The link as a browser reads the attribute: references decoded, blanks and
// line breaks dropped (most links need neither).
std::string DecodeLink(std::string_view rawLink)
{
    const bool bPlain = std::none_of(rawLink.begin(), rawLink.end(), [](char c) {
        return c == '&' || c == ' ' || (c >= '\t' && c <= '\r');
    });
    return bPlain ? std::string(rawLink) : TrimLink(DecodeCharacterReferences(rawLink));
}

} // namespace

std::string CLinkCleaner::Resolve(std::string_view rawLink) const
{
    std::string strLink = DecodeLink(rawLink);
    if (strLink.empty() || !m_pBase || UrlSchemeLength(strLink) != 0)
        return strLink;
    std::string strResolved;
    return m_pBase->Resolve(strLink, strResolved) ? strResolved : strLink;
}

std::string CLinkCleaner::RedirectorOf(std::string_view url)
{
    if (RedirectTarget(url).empty())
        return {};
    const size_t nSep = url.find("://");
    std::string_view rest = url.substr(nSep + 3);
    rest = rest.substr(0, rest.find('#'));
    const size_t nQuery = rest.find('?');
    std::string_view path = rest.substr(0, nQuery);
    if (nQuery == std::string_view::npos ||
        FirstOfPieces(rest.substr(nQuery + 1), "&", TargetOfParameter).empty()) {
        // The target in the path (".../RU=https%3a.../RK=0"): the path up to its
        // first NAME=VALUE piece is the redirect's own address.
        const size_t nEquals = path.find('=');
        if (nEquals != std::string_view::npos)
            path = path.substr(0, path.rfind('/', nEquals) + 1);
    }
    return ToLowerAscii(path);
}

std::string CLinkCleaner::Clean(std::string_view rawLink, std::string_view strRedirector) const
{
    std::string strLink = DecodeLink(rawLink);
    if (strLink.empty() || !m_pBase)
        return strLink;
    const bool bRelative = UrlSchemeLength(strLink) == 0;
    const bool bNamesHost = !bRelative || strLink.compare(0, 2, "//") == 0;
    if (bRelative) {
        std::string strResolved;
        if (!m_pBase->Resolve(strLink, strResolved))
            return strLink;
        strLink = std::move(strResolved);
    }
    // Only the engine's own site is unwrapped, or the one address every hit of
    // the page goes through: a link elsewhere is the hit itself, whatever its
    // query holds. A link written relative to the page is the engine's.
    if (!bNamesHost || IsEngineHost(HostOfUrl(strLink)) ||
        (!strRedirector.empty() && RedirectorOf(strLink) == strRedirector)) {
        std::string strTarget = RedirectTarget(strLink);
        if (!strTarget.empty())
            return strTarget;
    }
    return strLink;
}
