// SPDX-License-Identifier: MIT
#pragma once

// Cutting hits out of an engine's result page. A hit starts at an occurrence of
// the start token. When the token ends with the opening quote of an attribute
// value (="  or  =') the link starts right after it, and ends at the next quote of
// that kind; a token that ends with "=" is followed by an unquoted link, which
// ends at a blank or at the end of the tag; otherwise the token's last four
// characters are the first four of the link (typically "http"), which ends at
// the next quote of the kind just before it (a double quote when there is none). The description starts after the ">" that closes the tag
// holding the link and ends before the end token. Matching is byte-exact.
//
// The URL of a hit is the link as a browser would open it (see CLinkCleaner);
// the duplicate test compares those URLs.

#include <string>
#include <string_view>

class CResultRows;
class CCancelSignal;
class CLinkCleaner;

inline constexpr size_t kMaxDescriptionLength = 350;
// The most rows one page adds (more when the hit limit is higher).
inline constexpr int kMaxRowsPerPage = 2048;

struct CPageHits
{
    int m_nAdded = 0;           // rows added
    int m_nDuplicates = 0;      // hits skipped because their URL was listed
    bool m_bTokenFound = false; // the start token occurs in the page at all
    bool m_bCut = false;        // the page held more hits than it may add; the rest was dropped
};

// Appends the page's hits to the rows, at most nMaxRows of them (the rest of the
// page is dropped). With bRemoveDups, a hit whose URL is already listed is
// skipped and not counted. Without pLinks, links are only decoded and trimmed.
// With nListedBefore (the hits the engine listed on its earlier pages,
// duplicates included; -1: none counted), each hit carries its place among
// the engine's hits, and a duplicate's engine and place join the row listed.
CPageHits ExtractPageHits(const std::string& strPage, CResultRows& rows, std::string_view startToken,
                          std::string_view endToken, const std::string& strEngineName,
                          bool bRemoveDups, const CCancelSignal* pCancel = nullptr,
                          const CLinkCleaner* pLinks = nullptr, int nMaxRows = kMaxRowsPerPage,
                          int nListedBefore = -1);

// The description cleaning: script and style content dropped, tags stripped,
// character references decoded (&nbsp; a blank), white space collapsed and
// trimmed, then cut to 350 bytes, never inside a UTF-8 sequence.
std::string CleanDescription(std::string_view raw);
