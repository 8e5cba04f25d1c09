// SPDX-License-Identifier: MIT
#include "search/HitLink.h"

#include "platform/CurlHandles.h"
#include "platform/TextUtil.h"
#include "search/HtmlText.h"

#include <algorithm>

#include <libpsl.h>

namespace {

constexpr unsigned kUrlFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE;

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

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

// An absolute http or https address with a host, nothing that cannot stand in one.
bool IsWebAddress(std::string_view text)
{
    size_t nHost = 0;
    if (text.size() > 7 && EqualsNoCase(text.substr(0, 7), "http://"))
        nHost = 7;
    else if (text.size() > 8 && EqualsNoCase(text.substr(0, 8), "https://"))
        nHost = 8;
    else
        return false;
    if (text[nHost] == '/' || text[nHost] == '?' || text[nHost] == '#')
        return false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

// The target a NAME=VALUE piece of a redirect link carries, or empty.
std::string TargetOfParameter(std::string_view piece)
{
    const size_t nEquals = piece.find('=');
    if (nEquals == std::string_view::npos)
        return {};
    const std::string_view value = piece.substr(nEquals + 1);
    std::string strDecoded = PercentDecode(value);
    if (IsWebAddress(strDecoded))
        return strDecoded;
    // The "a1" + base64url form.
    if (value.size() > 2 && value.substr(0, 2) == "a1" && Base64UrlDecode(value.substr(2), &strDecoded) &&
        IsWebAddress(strDecoded))
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

const psl_ctx_t* PublicSuffixList()
{
    // The newest list on the machine (the publicsuffix package's), else the built-in one.
    static const psl_ctx_t* const pList = [] {
        const psl_ctx_t* p = psl_latest(nullptr);
        return p ? p : psl_builtin();
    }();
    return pList;
}

} // namespace

struct CLinkCleaner::CBase
{
    CCurlUrlPtr m_pUrl;
};

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

std::string UrlScheme(std::string_view address)
{
    return std::string(address.substr(0, UrlSchemeLength(address)));
}

size_t UrlSchemeLength(std::string_view address)
{
    size_t i = 0;
    while (i < address.size() && (IsAlpha(address[i]) || IsDigit(address[i]) || address[i] == '+' ||
                                  address[i] == '-' || address[i] == '.'))
        ++i;
    if (i == 0 || i >= address.size() || address[i] != ':' || !IsAlpha(address[0]))
        return 0;
    size_t nDigits = i + 1;
    while (nDigits < address.size() && IsDigit(address[nDigits]))
        ++nDigits;
    if (nDigits > i + 1 && (nDigits == address.size() || address[nDigits] == '/'))
        return 0;
    return i;
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
        else if (IsDigit(c))
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

std::string RegistrableDomain(std::string_view host)
{
    const std::string strHost = ToLowerAscii(host);
    // An address names one machine: the list knows nothing of them (it would make
    // "0.1" of "127.0.0.1").
    const bool bAddress = !strHost.empty() && (strHost[0] == '[' ||
                                               strHost.find_first_not_of("0123456789.") == std::string::npos);
    const char* psz = strHost.empty() || bAddress ? nullptr
                                                  : psl_registrable_domain(PublicSuffixList(), strHost.c_str());
    return psz ? std::string(psz) : strHost;
}

std::string HostOfUrl(std::string_view url)
{
    const size_t nSep = url.find("://");
    if (nSep == std::string_view::npos || UrlSchemeLength(url) != nSep)
        return {};
    std::string_view authority = url.substr(nSep + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    const size_t nAt = authority.rfind('@');
    if (nAt != std::string_view::npos)
        authority.remove_prefix(nAt + 1);
    if (!authority.empty() && authority[0] == '[')
        return ToLowerAscii(authority.substr(0, authority.find(']') + 1));
    return ToLowerAscii(authority.substr(0, authority.find(':')));
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
    return FirstOfPieces(path.substr(nSlash + 1), "/;", TargetOfParameter);
}

CLinkCleaner::CLinkCleaner(const std::string& strPageUrl, const std::string& strEngineUrl)
{
    auto pBase = std::make_shared<CBase>();
    pBase->m_pUrl.reset(curl_url());
    if (pBase->m_pUrl &&
        curl_url_set(pBase->m_pUrl.get(), CURLUPART_URL, strPageUrl.c_str(), kUrlFlags) == CURLUE_OK)
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

std::string CLinkCleaner::Clean(std::string_view rawLink) const
{
    // Most links need neither decoding nor trimming.
    const bool bPlain = std::none_of(rawLink.begin(), rawLink.end(), [](char c) {
        return c == '&' || c == ' ' || (c >= '\t' && c <= '\r');
    });
    std::string strLink = bPlain ? std::string(rawLink) : TrimLink(DecodeCharacterReferences(rawLink));
    if (strLink.empty() || !m_pBase)
        return strLink;
    const bool bRelative = UrlSchemeLength(strLink) == 0;
    const bool bNamesHost = !bRelative || strLink.compare(0, 2, "//") == 0;
    if (bRelative) {
        CCurlUrlPtr pUrl(curl_url_dup(m_pBase->m_pUrl.get()));
        std::string strResolved;
        if (!pUrl || curl_url_set(pUrl.get(), CURLUPART_URL, strLink.c_str(), kUrlFlags) != CURLUE_OK ||
            !GetUrlPart(pUrl.get(), CURLUPART_URL, 0, &strResolved))
            return strLink;
        strLink = std::move(strResolved);
    }
    // Only the engine's own site is unwrapped: a link elsewhere is the hit itself,
    // whatever its query holds. A link written relative to the page is the engine's.
    if (!bNamesHost || IsEngineHost(HostOfUrl(strLink))) {
        std::string strTarget = RedirectTarget(strLink);
        if (!strTarget.empty())
            return strTarget;
    }
    return strLink;
}
