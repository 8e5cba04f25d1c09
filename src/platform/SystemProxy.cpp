// SPDX-License-Identifier: MIT
#include "platform/SystemProxy.h"

#include <cstdlib>
#include <cstring>
#include <gio/gio.h>

namespace {

bool IsSet(const char* pszName)
{
    const char* psz = std::getenv(pszName);
    return psz && *psz;
}

std::string WithoutTrailingSlash(std::string s)
{
    while (!s.empty() && s.back() == '/')
        s.pop_back();
    return s;
}

} // namespace

std::string SystemProxyFor(const std::string& strUrl)
{
    for (const char* pszName : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        if (IsSet(pszName))
            return {}; // the environment decides, as the network library reads it
    GProxyResolver* pResolver = g_proxy_resolver_get_default();
    if (!pResolver)
        return {};
    gchar** ppProxies = g_proxy_resolver_lookup(pResolver, strUrl.c_str(), nullptr, nullptr);
    if (!ppProxies)
        return {};
    std::string strProxy = ppProxies[0] ? ppProxies[0] : "";
    g_strfreev(ppProxies);
    if (strProxy.empty() || strProxy.rfind("direct://", 0) == 0)
        return {};
    // Some resolvers read HTTP_PROXY as well; it stays ignored.
    if (IsSet("HTTP_PROXY") && WithoutTrailingSlash(strProxy) == WithoutTrailingSlash(std::getenv("HTTP_PROXY")))
        return {};
    if (strProxy.rfind("socks://", 0) == 0)
        strProxy.replace(0, 5, "socks5");
    return strProxy;
}
