// SPDX-License-Identifier: MIT
#include "results/LinkOpening.h"

#include "platform/Translate.h"

const char* ShellOpenErrorText(int nCode)
{
    switch (nCode) {
    case 0:
        return N_("The operating system is out of memory or resources.");
    case 2:
    case 3:
    case 27:
        return N_("It seems that your default Web browser is not properly set up.  Please refer to the "
               "Helpful Hints section of the help file to fix this problem.");
    case 5:
        return N_("The operating system denied access to the specified file. ");
    case 8:
        return N_("There was not enough memory to complete the operation.");
    case 11:
        return N_("The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).");
    case 28:
        return N_("The DDE transaction could not be completed because the request timed out.");
    case 29:
        return N_("The DDE transaction failed.");
    case 30:
        return N_("The DDE transaction could not be completed because other DDE transactions were being "
               "processed.");
    case 31:
        return N_("There is no application associated with the given filename extension.");
    case 32:
        return N_("The specified dynamic-link library was not found. ");
    default:
        return nullptr;
    }
}

std::string OpenFailureText(int nCode, const std::string& strTarget)
{
    const char* pszText = ShellOpenErrorText(nCode);
    if (nCode > 32 || (!pszText && nCode != 0))
        return {};
    std::string strText = Tr(pszText ? pszText : N_("It could not be opened."));
    while (!strText.empty() && strText.back() == ' ')
        strText.pop_back();
    std::string strAsked = Tr("It was asked to open: %s");
    const size_t nAt = strAsked.find("%s");
    strText += "\n\n" + (nAt == std::string::npos ? strAsked + " " + strTarget : strAsked.replace(nAt, 2, strTarget));
    if (nCode == 2 || nCode == 3 || nCode == 27 || nCode == 31)
        strText += std::string("\n") + Tr("To choose the browser that opens it, run for example:") +
                   "\nxdg-settings set default-web-browser firefox-esr.desktop";
    return strText;
}
