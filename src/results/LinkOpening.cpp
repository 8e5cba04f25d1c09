// SPDX-License-Identifier: MIT
#include "results/LinkOpening.h"

const char* ShellOpenErrorText(int nCode)
{
    switch (nCode) {
    case 0:
        return "The operating system is out of memory or resources.";
    case 2:
    case 3:
    case 27:
        return "It seems that your default Web browser is not properly set up.  Please refer to the "
               "Helpful Hints section of the help file to fix this problem.";
    case 5:
        return "The operating system denied access to the specified file. ";
    case 8:
        return "There was not enough memory to complete the operation.";
    case 11:
        return "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
    case 28:
        return "The DDE transaction could not be completed because the request timed out.";
    case 29:
        return "The DDE transaction failed.";
    case 30:
        return "The DDE transaction could not be completed because other DDE transactions were being "
               "processed.";
    case 31:
        return "There is no application associated with the given filename extension.";
    case 32:
        return "The specified dynamic-link library was not found. ";
    default:
        return nullptr;
    }
}

std::string OpenFailureText(int nCode, const std::string& strTarget)
{
    const char* pszText = ShellOpenErrorText(nCode);
    if (nCode > 32 || (!pszText && nCode != 0))
        return {};
    std::string strText = pszText ? std::string(pszText) : std::string("It could not be opened.");
    while (!strText.empty() && strText.back() == ' ')
        strText.pop_back();
    strText += "\n\nIt was asked to open: " + strTarget;
    if (nCode == 2 || nCode == 3 || nCode == 27 || nCode == 31)
        strText += "\nTo choose the browser that opens it, run for example:\n"
                   "xdg-settings set default-web-browser firefox-esr.desktop";
    return strText;
}
