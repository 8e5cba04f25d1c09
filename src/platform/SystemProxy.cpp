// SPDX-License-Identifier: MIT
#include "platform/SystemProxy.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace {

// GIO's proxy resolver, loaded when the program first asks: the desktop's
// settings are GIO's to read, and a program without a desktop (questrel-cli on
// a server) need not have GIO installed. Without it only the environment's
// proxy counts.
struct CGioProxyResolver
{
    using GetDefault = void* (*)();
    using Lookup = char** (*)(void* pResolver, const char* pszUri, void* pCancellable, void** ppError);
    using FreeStrings = void (*)(char**);

    GetDefault m_getDefault = nullptr;
    Lookup m_lookup = nullptr;
    FreeStrings m_free = nullptr;

    CGioProxyResolver()
    {
        void* pLibrary = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!pLibrary)
            return; // kept loaded for the program's life once it is
        m_getDefault = reinterpret_cast<GetDefault>(dlsym(pLibrary, "g_proxy_resolver_get_default"));
        m_lookup = reinterpret_cast<Lookup>(dlsym(pLibrary, "g_proxy_resolver_lookup"));
        m_free = reinterpret_cast<FreeStrings>(dlsym(pLibrary, "g_strfreev"));
    }
    bool IsLoaded() const { return m_getDefault && m_lookup && m_free; }
};

const CGioProxyResolver& Gio()
{
    static const CGioProxyResolver gio; // made once, whichever thread asks first
    return gio;
}

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
    const CGioProxyResolver& gio = Gio();
    void* pResolver = gio.IsLoaded() ? gio.m_getDefault() : nullptr;
    if (!pResolver)
        return {};
    char** ppProxies = gio.m_lookup(pResolver, strUrl.c_str(), nullptr, nullptr);
    if (!ppProxies)
        return {};
    std::string strProxy = ppProxies[0] ? ppProxies[0] : "";
    gio.m_free(ppProxies);
    if (strProxy.empty() || strProxy.rfind("direct://", 0) == 0)
        return {};
    // Some resolvers read HTTP_PROXY as well; it stays ignored.
    if (IsSet("HTTP_PROXY") && WithoutTrailingSlash(strProxy) == WithoutTrailingSlash(std::getenv("HTTP_PROXY")))
        return {};
    if (strProxy.rfind("socks://", 0) == 0)
        strProxy.replace(0, 5, "socks5");
    return strProxy;
}
