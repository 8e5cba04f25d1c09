// SPDX-License-Identifier: MIT
#include "gui/AppContext.h"

#include <cstring>
#include <strings.h>

CCommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CCommandLine commandLine;
    // Only the first argument counts for "/a".
    if (argc > 1 && strcasecmp(argv[1], "/a") == 0)
        commandLine.m_bEngineEditing = true;
    for (int i = 1; i < argc; ++i) {
        const char* pszArg = argv[i];
        const bool bSwitch = pszArg[0] == '-' || (pszArg[0] == '/' && std::strlen(pszArg) == 2);
        if (!bSwitch && commandLine.m_strDocument.empty())
            commandLine.m_strDocument = pszArg;
    }
    return commandLine;
}
