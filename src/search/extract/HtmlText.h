// SPDX-License-Identifier: MIT
#pragma once

// Text of HTML as a reader sees it: character references decoded, tags and the
// content of script and style elements dropped, white space collapsed.

#include <string>
#include <string_view>

// Appends code point cp as UTF-8; anything that is not a Unicode scalar value
// (NUL, a surrogate, beyond U+10FFFF) becomes U+FFFD.
void AppendUtf8(std::string& out, unsigned long cp);

// Decodes the character reference that starts at text[i] ('&'): a named one
// (HTML's named references, with their ';') or a numeric one (&#NNN; or &#xHH;,
// the ';' optional). Returns the number of bytes it takes and sets *pCodePoint;
// 0 when there is no reference there (the '&' then stands for itself).
size_t ParseCharacterReference(std::string_view text, size_t i, unsigned long* pCodePoint);

// Every character reference decoded to UTF-8; anything else kept as it is. With
// bNbspAsBlank a no-break space (&nbsp;, &#160;) becomes a plain blank.
std::string DecodeCharacterReferences(std::string_view text, bool bNbspAsBlank = false);

// The text a reader sees: every tag "<...>" and comment "<!-- ... -->" dropped
// (the content of script and style elements with their tags; a tag that breaks
// a line or starts a block, such as p, div, br, li, td or h1, leaves a blank so
// the words on either side do not run together; an unclosed "<" and the text
// after it stay), references
// decoded (a no-break space as a blank), every run of white space (blank, tab,
// CR, LF, VT, FF) one blank, none at either end. It stops once it holds more
// than nMaxBytes bytes.
std::string HtmlToText(std::string_view html, size_t nMaxBytes = std::string_view::npos);
