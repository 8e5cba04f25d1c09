// SPDX-License-Identifier: MIT
#include "platform/InternetClient.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test traffic goes to loopback only, never through a proxy of the machine.
    for (const char* pszName : {"http_proxy", "https_proxy", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        ::unsetenv(pszName);
    ::setenv("no_proxy", "*", 1);
    ::testing::InitGoogleTest(&argc, argv);
    if (!InitNetworkLibrary())
        return 1;
    const int nResult = RUN_ALL_TESTS();
    CleanupNetworkLibrary();
    return nResult;
}
