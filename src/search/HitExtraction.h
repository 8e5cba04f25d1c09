#pragma once

// Cutting hits out of an engine's result page. A hit starts at an occurrence of
// the start token, whose last four characters are the first four of the hit's
// link (typically "http"); the URL runs to the next double quote; the
// description starts two characters later (after the quote and the ">" that
// closes the link tag) and ends before the end token. Matching is byte-exact.

#include <string>
#include <string_view>

class CResultRows;
class CCancelSignal;

inline constexpr size_t kMaxDescriptionLength = 350;

// Appends the page's hits to the rows; returns the number of rows added. With
// bRemoveDups, a hit whose URL is already listed is skipped and not counted.
int ExtractHits(const std::string& strPage, CResultRows& rows, std::string_view startToken,
                std::string_view endToken, const std::string& strEngineName, bool bRemoveDups,
                const CCancelSignal* pCancel = nullptr);

// The description cleaning: tags stripped, line feeds removed, cut to 350
// bytes (never inside a UTF-8 sequence), "&nbsp;" and "&quot;" removed.
std::string CleanDescription(std::string_view raw);

// Removes every "<...>"; an unclosed "<" and the text after it stay.
std::string StripTags(std::string_view text);
std::string RemoveChar(std::string_view text, char c);
// Removes every occurrence of the part, left to right, in one pass.
std::string RemoveSubstring(std::string_view text, std::string_view part);
