// SPDX-License-Identifier: MIT
#include "platform/Translate.h"

#include <clocale>
#include <libintl.h>

const char* Tr(const char* pszText)
{
    return (pszText && *pszText) ? dgettext(kTextDomain, pszText) : pszText;
}

const char* TrN(const char* pszOne, const char* pszMany, unsigned long nCount)
{
    return dngettext(kTextDomain, pszOne, pszMany, nCount);
}

void InitTranslations(const std::string& strLocaleDir)
{
    // Only the messages: the other categories (numbers, character classes)
    // stay "C", so nothing a machine reads changes with the locale.
    std::setlocale(LC_MESSAGES, "");
    if (!strLocaleDir.empty())
        bindtextdomain(kTextDomain, strLocaleDir.c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

std::string LocaleDirectoryFor(const std::string& strShareDir)
{
    if (strShareDir.empty())
        return {};
    // ".../share/questrel/" -> ".../share/locale/"
    std::string strDir = strShareDir;
    while (!strDir.empty() && strDir.back() == '/')
        strDir.pop_back();
    const size_t nSlash = strDir.rfind('/');
    return (nSlash == std::string::npos ? std::string() : strDir.substr(0, nSlash + 1)) + "locale/";
}
