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
