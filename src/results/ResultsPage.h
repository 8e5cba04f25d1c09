// SPDX-License-Identifier: MIT
#pragma once

// The results page "questrel.htm" in the current directory: the raw result
// pages of the last search, each after a line of 63 hyphens, opened in the
// browser when the search is over.
//
// The pages are the engines' own bytes, scripts and <base> included, and the
// file is opened from the disk, so it is made inert: its own head comes first
// and carries a Content-Security-Policy that forbids scripts, plugins and
// <base>; the engines' pages follow it as text of its body. The page stops
// growing at kMaxResultsPageBytes and says so at its end.

#include <cstddef>
#include <string>

inline constexpr const char* kResultsPageFileName = "questrel.htm";
inline constexpr size_t kMaxResultsPageBytes = 256u * 1024 * 1024;
// What opens the file: the policy first, before any byte of an engine.
inline constexpr const char* kResultsPageHead =
    "<!DOCTYPE html>\n<html><head>\n<meta charset=\"utf-8\">\n" // every page is collected as UTF-8
    "<meta http-equiv=\"Content-Security-Policy\" content=\"script-src 'none'; object-src 'none'; "
    "base-uri 'none'\">\n"
    "<title>Internet Questrel: result pages of the last search</title>\n</head><body>\n";
// What ends a page that reached its cap.
inline constexpr const char* kResultsPageFullNote =
    "\n<hr><p>Internet Questrel: the results page is full (256 MiB); the pages after this point are "
    "not kept.</p>\n";

// The current directory followed by "/questrel.htm", formed anew at each call.
std::string GetResultsPagePath();
// Deletes the file; a missing file is no error.
void ResetResultsPage(const std::string& strPath);
// Appends one block (separator line, LF, page text, LF), after the head when
// the file is new. A block that would pass the cap is cut so that the note of
// a full page ends the file exactly at the cap; nothing is added after that.
// False when the file cannot be opened or written (a symbolic link in its
// place is not followed); the search goes on either way.
bool AppendToResultsPage(const std::string& strPath, const std::string& strPage,
                         size_t nMaxBytes = kMaxResultsPageBytes);
// Asks the desktop to open the file; what to tell the user when it could not
// be opened, or empty.
std::string ShowResultsPage(const std::string& strPath);
