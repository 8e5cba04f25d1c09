// SPDX-License-Identifier: MIT
#pragma once

// Between the core's 8-bit texts and wx strings. Bytes are shown as UTF-8,
// falling back to Latin-1 for bytes that are not valid UTF-8; wx strings go back
// to the core as UTF-8.

#include <string>
#include <string_view>
#include <wx/string.h>

wxString ToWx(std::string_view bytes);
std::string FromWx(const wxString& text);

// A text of the program in the user's language (see platform/Translate.h).
wxString TrWx(const char* pszText);
// The form for a count, in the user's language.
wxString TrWxN(const char* pszOne, const char* pszMany, unsigned long nCount);
