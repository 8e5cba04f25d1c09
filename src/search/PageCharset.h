// SPDX-License-Identifier: MIT
#pragma once

// A result page's text in UTF-8, whatever character set the page was written
// in: hits, the learner and the window all read UTF-8.

#include <string>
#include <string_view>

// The character set the answer names (its Content-Type's charset), else the
// one the page's head names (<meta charset> or a Content-Type <meta>), in
// lower case; empty when neither names one.
std::string DeclaredCharset(std::string_view contentType, std::string_view page);

// Converts the page to UTF-8 in place. A page that is valid UTF-8 stays as it
// is, whatever it says (a page mislabelled ISO-8859-1 is common; legacy text
// that is also valid UTF-8 is not), and one that is mostly UTF-8 keeps its
// sequences (its stray bytes are read as Latin-1). Any other page is read in
// the character set it declares, else as windows-1252, as browsers read it
// (also for ISO-8859-1, US-ASCII and a Unicode form, and for a name the system
// does not know); a byte that is no character there is dropped.
void MakePageUtf8(std::string& page, std::string_view contentType);
