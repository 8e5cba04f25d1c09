// SPDX-License-Identifier: MIT
#include "search/RequestTarget.h"

#include "platform/CurlHandles.h"
#include "platform/TextUtil.h"
#include "platform/Url.h"
#include "search/SearchTexts.h"


namespace {

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

} // namespace

bool CrackUrl(const std::string& strAddress, CRequestTarget& target)
{
    // "http:///path" names no host. The library would take the path for one, and a
    // request would go to a made-up host; it parses with an empty host instead.
    const std::string strScheme = UrlScheme(strAddress);
    if (!strScheme.empty() && strAddress.compare(strScheme.size(), 3, "://") == 0) {
        const size_t nAfter = strScheme.size() + 3;
        if (nAfter < strAddress.size() && strAddress[nAfter] == '/') {
            target = CRequestTarget{};
            target.m_nScheme = SchemeFromName(strScheme);
            target.m_strObject = EncodeControlBytes(strAddress.substr(nAfter));
            return true;
        }
    }
    CCurlUrlPtr pUrl(curl_url());
    if (!pUrl)
        return false;
    const std::string strCanonical = EncodeControlBytes(strAddress);
    if (curl_url_set(pUrl.get(), CURLUPART_URL, strCanonical.c_str(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK) {
        // "mailto:", "news:", "javascript:" and the like have no host: they parse as
        // their scheme, and nothing will be requested for them.
        const InternetScheme nScheme = strScheme.empty() ? kSchemeUnknown : SchemeFromName(strScheme);
        if (nScheme == kSchemeUnknown || nScheme == kSchemeHttp || nScheme == kSchemeHttps)
            return false;
        target = CRequestTarget{};
        target.m_nScheme = nScheme;
        target.m_strObject = "/";
        return true;
    }

    std::string strParsedScheme, strHost, strPath, strQuery, strPort;
    if (!GetUrlPart(pUrl.get(), CURLUPART_SCHEME, 0, &strParsedScheme))
        return false;
    GetUrlPart(pUrl.get(), CURLUPART_HOST, 0, &strHost);
    GetUrlPart(pUrl.get(), CURLUPART_PATH, 0, &strPath);
    const bool bQuery = GetUrlPart(pUrl.get(), CURLUPART_QUERY, 0, &strQuery);
    GetUrlPart(pUrl.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT, &strPort);

    target.m_nScheme = SchemeFromName(strParsedScheme);
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
    const bool bHasScheme = !UrlScheme(strAddress).empty();
    if (!CrackUrl(strAddress, target) && (bHasScheme || !CrackUrl("http://" + strAddress, target))) {
        fs.Message(Tr(kMsgInvalidUrl));
        if (pScheme)
            *pScheme = kSchemeUnknown;
        return false;
    }
    fs.m_strServer = target.m_strHost;
    fs.m_strObject = target.m_strObject;
    fs.m_nPort = target.m_nPort;
    fs.m_nScheme = target.m_nScheme;
    if (pScheme)
        *pScheme = target.m_nScheme;
    return true;
}

bool IsRequestableTarget(const CFetchState& fs)
{
    return (fs.m_nScheme == kSchemeHttp || fs.m_nScheme == kSchemeHttps) &&
           !fs.m_strServer.empty();
}
