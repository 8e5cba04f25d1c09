// SPDX-License-Identifier: MIT
#pragma once

// The program's texts in the user's language (GNU gettext, text domain
// "questrel"). The English texts in the sources are the source texts; a text
// without a translation shows as it is. What machines read (TSV and JSON
// output, the catalogue, the profile, the search document) is never
// translated.
//
// Texts kept in constants are marked with N_ where they are defined and
// translated with Tr where they are shown. `po/questrel.pot` is made from the
// sources with the keywords Tr, N_, TrN:1,2, NN_:1,2 and the window's TrWx
// and TrWxN:1,2 (scripts/make-pot).

#include <string>

inline constexpr const char* kTextDomain = "questrel";

// Marks a text for translation without translating it (as the toolkit's own
// header defines it, so either may come first).
#ifndef N_
#define N_(s) (s)
#endif

// A text with a count, in its singular and plural source forms; marked with
// NN_ where it is defined and translated with TrN where it is shown.
struct CPluralText
{
    const char* m_pszOne;
    const char* m_pszMany;
};
#define NN_(one, many) CPluralText{one, many}

// The user's language's text for a source text.
const char* Tr(const char* pszText);
// The form for a count: pszOne for 1, pszMany otherwise in English; the
// language's own plural forms in a translation.
const char* TrN(const char* pszOne, const char* pszMany, unsigned long nCount);
inline const char* TrN(const CPluralText& text, long long nCount)
{
    return TrN(text.m_pszOne, text.m_pszMany, static_cast<unsigned long>(nCount < 0 ? 0 : nCount));
}

// Takes the user's language for messages (LC_MESSAGES from the environment;
// the window takes the whole locale through the toolkit) and binds the text domain to the catalogues under strLocaleDir
// ("share/locale/" beside the shared files; the system's when empty). Texts
// come out in UTF-8 whatever the locale's character set.
void InitTranslations(const std::string& strLocaleDir);
// The folder of the catalogues for a share directory ("/usr/share/questrel/"
// gives "/usr/share/locale/"), empty for an empty one.
std::string LocaleDirectoryFor(const std::string& strShareDir);
