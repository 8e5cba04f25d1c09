// SPDX-License-Identifier: MIT
#pragma once

// The results page "questrel.htm" in the current directory: the raw result
// pages of the last search, each after a line of 63 hyphens, opened in the
// browser when the search is over.

#include <string>

inline constexpr const char* kResultsPageFileName = "questrel.htm";

// The current directory followed by "/questrel.htm", formed anew at each call.
std::string GetResultsPagePath();
// Deletes the file; a missing file is no error.
void ResetResultsPage(const std::string& strPath);
// Appends one block (separator line, LF, page text, LF). False when the file
// cannot be opened (a symbolic link in its place is not followed); the search
// goes on either way.
bool AppendToResultsPage(const std::string& strPath, const std::string& strPage);
// Asks the desktop to open the file; the result is ignored.
void ShowResultsPage(const std::string& strPath);
