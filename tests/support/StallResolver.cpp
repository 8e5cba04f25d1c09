// SPDX-License-Identifier: MIT
// A stand-in for the system's name look-up, loaded into a program with
// LD_PRELOAD: names under ".stall.test" are never answered (the look-up waits
// 30 s, as a resolver whose server does not answer), every other name is
// looked up as usual. Lets a test cancel during a stalled look-up without a
// DNS server.

#include <dlfcn.h>
#include <netdb.h>
#include <string.h>
#include <unistd.h>

extern "C" int getaddrinfo(const char* pszNode, const char* pszService, const struct addrinfo* pHints,
                           struct addrinfo** ppResult)
{
    if (pszNode && strstr(pszNode, ".stall.test")) {
        sleep(30);
        return EAI_AGAIN;
    }
    using GetAddrInfo = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
    static const auto pReal = reinterpret_cast<GetAddrInfo>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return pReal ? pReal(pszNode, pszService, pHints, ppResult) : EAI_FAIL;
}
