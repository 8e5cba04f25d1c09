// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Small byte-string helpers shared by the core. Texts are 8-bit; only ASCII
// letters take part in case folding.

// Removes blank, tab, CR, LF, VT and FF from the end.
std::string TrimTrailingWhiteSpace(std::string_view text);
// Removes blanks (and the other white space above) from both ends.
std::string TrimWhiteSpace(std::string_view text);

// ASCII character classes (the C library's depend on the locale).
inline bool IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}
inline bool IsAsciiAlnum(char c)
{
    return IsAsciiAlpha(c) || IsAsciiDigit(c);
}

char ToUpperAscii(char c);
std::string ToUpperAscii(std::string_view text);
char ToLowerAscii(char c);
std::string ToLowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, ignoring ASCII case.
int CompareNoCase(std::string_view a, std::string_view b);
// As CompareNoCase, but a run of digits compares by its value: "Result 2"
// before "Result 10".
int CompareNatural(std::string_view a, std::string_view b);

// Text as it stands inside HTML or Pango markup: & < > " ' as entities.
std::string EscapeMarkup(std::string_view text);

// The leading decimal number of a text as atoi reads it: white space skipped,
// an optional sign, digits up to the first other character; 0 without digits.
// Values beyond the int range are clamped instead of overflowing.
int ParseLeadingInt(std::string_view text);

// Length of the well-formed UTF-8 sequence that starts at text[i] (2 to 4
// bytes), or 0 when there is none there (ASCII and stray bytes included).
size_t Utf8SequenceLength(std::string_view text, size_t i);

// The longest prefix of at most nMaxBytes bytes that does not end inside a
// UTF-8 sequence. Bytes that are not part of a well-formed sequence count as
// single characters (a Latin-1 page is cut at exactly nMaxBytes).
size_t Utf8SafeCutLength(std::string_view text, size_t nMaxBytes);
// The text's first nMaxBytes bytes or fewer, not cut inside a character: what a preview shows.
std::string Utf8Prefix(std::string_view text, size_t nMaxBytes);

// The text as valid UTF-8: well-formed UTF-8 sequences are kept, every other
// byte of 0x80 or above is taken as a Latin-1 character.
std::string ToValidUtf8(std::string_view text);

// The value of a hex digit (either case), or -1 for any other character.
int HexDigitValue(char c);

// "%XX" sequences decoded; a '%' without two hex digits stays.
std::string PercentDecode(std::string_view text);
// A query parameter's value as a form sent it: '+' a blank, percent-decoded,
// trimmed, ASCII letters in lower case.
std::string DecodeQueryValue(std::string_view value);

// "%XX" with upper-case hex digits.
void AppendPercentEncoded(std::string& out, unsigned char c);
