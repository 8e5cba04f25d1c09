// SPDX-License-Identifier: MIT
#include "platform/Url.h"

#include "platform/CurlHandles.h"
#include "platform/TextUtil.h"

#include <libpsl.h>

namespace {

constexpr unsigned kUrlFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE;

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

std::string UrlScheme(std::string_view address)
{
    return std::string(address.substr(0, UrlSchemeLength(address)));
}

size_t UrlSchemeLength(std::string_view address)
{
    size_t i = 0;
    while (i < address.size() && (IsAsciiAlnum(address[i]) || address[i] == '+' || address[i] == '-' ||
                                  address[i] == '.'))
        ++i;
    if (i == 0 || i >= address.size() || address[i] != ':' || !IsAsciiAlpha(address[0]))
        return 0;
    size_t nDigits = i + 1;
    while (nDigits < address.size() && IsAsciiDigit(address[nDigits]))
        ++nDigits;
    if (nDigits > i + 1 && (nDigits == address.size() || address[nDigits] == '/'))
        return 0;
    return i;
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

bool IsWebAddress(std::string_view url)
{
    for (const std::string_view scheme : {"http://", "https://", "ftp://"})
        if (url.size() > scheme.size() && EqualsNoCase(url.substr(0, scheme.size()), scheme))
            return true;
    return false;
}

bool IsHttpAddressWithHost(std::string_view text)
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

struct CUrlBase::CParsed
{
    CCurlUrlPtr m_pUrl;
};

CUrlBase::CUrlBase(const std::string& strUrl)
{
    auto pParsed = std::make_unique<CParsed>();
    pParsed->m_pUrl.reset(curl_url());
    if (pParsed->m_pUrl && curl_url_set(pParsed->m_pUrl.get(), CURLUPART_URL, strUrl.c_str(), kUrlFlags) == CURLUE_OK)
        m_pUrl = std::move(pParsed);
}

CUrlBase::~CUrlBase() = default;

bool CUrlBase::Resolve(const std::string& strLink, std::string& strResolved) const
{
    if (!m_pUrl)
        return false;
    CCurlUrlPtr pUrl(curl_url_dup(m_pUrl->m_pUrl.get()));
    return pUrl && curl_url_set(pUrl.get(), CURLUPART_URL, strLink.c_str(), kUrlFlags) == CURLUE_OK &&
           GetUrlPart(pUrl.get(), CURLUPART_URL, 0, &strResolved);
}
