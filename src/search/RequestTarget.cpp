#include "search/RequestTarget.h"

#include "platform/TextUtil.h"
#include "search/SearchTexts.h"

#include <cctype>
#include <curl/curl.h>
#include <memory>

namespace {

struct CUrlDeleter
{
    void operator()(CURLU* p) const { curl_url_cleanup(p); }
};
struct CCurlStringDeleter
{
    void operator()(char* p) const { curl_free(p); }
};
using CUrlPtr = std::unique_ptr<CURLU, CUrlDeleter>;

bool GetPart(CURLU* pUrl, CURLUPart part, unsigned nFlags, std::string* pValue)
{
    char* psz = nullptr;
    if (curl_url_get(pUrl, part, &psz, nFlags) != CURLUE_OK)
        return false;
    std::unique_ptr<char, CCurlStringDeleter> guard(psz);
    *pValue = psz ? psz : "";
    return true;
}

InternetScheme SchemeFromName(const std::string& strScheme)
{
    if (EqualsNoCase(strScheme, "http"))
        return kSchemeHttp;
    if (EqualsNoCase(strScheme, "https"))
        return kSchemeHttps;
    if (EqualsNoCase(strScheme, "ftp"))
        return kSchemeFtp;
    return kSchemeOther;
}

// Control bytes cannot stand in an address; they are carried percent-encoded,
// as they would be sent.
std::string EncodeControlBytes(const std::string& strAddress)
{
    std::string out;
    out.reserve(strAddress.size());
    for (const char ch : strAddress) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            AppendPercentEncoded(out, c);
        else
            out += ch;
    }
    return out;
}

// The scheme an address names ("mailto" of "mailto:x@y"), or empty. A host and
// port ("localhost:8080/x") names none.
std::string LeadingScheme(const std::string& strAddress)
{
    size_t i = 0;
    while (i < strAddress.size() &&
           (std::isalnum(static_cast<unsigned char>(strAddress[i])) || strAddress[i] == '+' ||
            strAddress[i] == '-' || strAddress[i] == '.'))
        ++i;
    if (i == 0 || i >= strAddress.size() || strAddress[i] != ':' ||
        !std::isalpha(static_cast<unsigned char>(strAddress[0])))
        return {};
    size_t nDigits = i + 1;
    while (nDigits < strAddress.size() && std::isdigit(static_cast<unsigned char>(strAddress[nDigits])))
        ++nDigits;
    if (nDigits > i + 1 && (nDigits == strAddress.size() || strAddress[nDigits] == '/'))
        return {};
    return strAddress.substr(0, i);
}

} // namespace

bool CrackUrl(const std::string& strAddress, CRequestTarget& target)
{
    CUrlPtr pUrl(curl_url());
    if (!pUrl)
        return false;
    const std::string strCanonical = EncodeControlBytes(strAddress);
    if (curl_url_set(pUrl.get(), CURLUPART_URL, strCanonical.c_str(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK) {
        // "mailto:", "news:", "javascript:" and the like have no host: they parse as
        // their scheme, and nothing will be requested for them.
        const std::string strScheme = LeadingScheme(strAddress);
        const InternetScheme nScheme = strScheme.empty() ? kSchemeUnknown : SchemeFromName(strScheme);
        if (nScheme == kSchemeUnknown || nScheme == kSchemeHttp || nScheme == kSchemeHttps)
            return false;
        target = CRequestTarget{};
        target.m_nScheme = nScheme;
        target.m_strObject = "/";
        return true;
    }

    std::string strScheme, strHost, strPath, strQuery, strPort;
    if (!GetPart(pUrl.get(), CURLUPART_SCHEME, 0, &strScheme))
        return false;
    GetPart(pUrl.get(), CURLUPART_HOST, 0, &strHost);
    GetPart(pUrl.get(), CURLUPART_PATH, 0, &strPath);
    const bool bQuery = GetPart(pUrl.get(), CURLUPART_QUERY, 0, &strQuery);
    GetPart(pUrl.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT, &strPort);

    target.m_nScheme = SchemeFromName(strScheme);
    target.m_strHost = strHost;
    target.m_strObject = strPath.empty() ? "/" : strPath;
    if (bQuery)
        target.m_strObject += "?" + strQuery;
    const int nPort = ParseLeadingInt(strPort);
    target.m_nPort = (nPort > 0 && nPort <= 65535) ? static_cast<uint16_t>(nPort) : 0;
    return true;
}

bool ParseRequestTarget(CFetchState& fs, const std::string& strAddress, InternetScheme* pScheme)
{
    // An address without a scheme is tried again as http.
    CRequestTarget target;
    const bool bHasScheme = !LeadingScheme(strAddress).empty();
    if (!CrackUrl(strAddress, target) && (bHasScheme || !CrackUrl("http://" + strAddress, target))) {
        if (fs.g_hStatusWnd)
            fs.g_hStatusWnd->Message(kMsgInvalidUrl, kAppCaption);
        if (pScheme)
            *pScheme = kSchemeUnknown;
        return false;
    }
    fs.g_strServer = target.m_strHost;
    fs.g_strObject = target.m_strObject;
    fs.g_nPort = target.m_nPort;
    fs.m_nScheme = target.m_nScheme;
    if (pScheme)
        *pScheme = target.m_nScheme;
    return true;
}

bool IsRequestableTarget(const CFetchState& fs)
{
    return (fs.m_nScheme == kSchemeHttp || fs.m_nScheme == kSchemeHttps) &&
           !fs.g_strServer.empty();
}
