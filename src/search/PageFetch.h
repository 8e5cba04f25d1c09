// SPDX-License-Identifier: MIT
#pragma once

// Fetching one result page over the run's connection, with the status texts of
// a fetch, the cancel polls and the report of internet errors.

#include "search/FetchState.h"

#include <cstddef>
#include <string>

class CSearchEngine;
class IHttpResponse;
struct CInternetError;

inline constexpr size_t kReadBlockSize = 1024;

void ReportStatus(CFetchState& fs, const std::string& strText);
// The library's description (at most 1024 characters) or "An internet
// exception occured" in a message box, after "ENGINE: " while an engine is
// searched; the text is kept in m_strLastError.
void ReportInternetError(CFetchState& fs, const CInternetError& error);

// Keeps the open connection when it names the same server, else opens one to
// the host at the port and scheme of the last parsed target. The host is not
// contacted yet. False after a failure (reported; no connection then).
bool ConnectToServer(CFetchState& fs, const std::string& strHost);

// Requests m_strObject on the open connection and leaves the answer (body,
// final address, status and reason phrase) in m_answer. False when the search
// was cancelled ("Find cancelled."), or given up because the page budget was spent
// (m_bOverBudget, nothing said); true otherwise, also after an internet error
// (shown, and kept in m_strLastError; the page then holds what was read).
bool FetchPage(CFetchState& fs, const CSearchEngine& engine);

// Adds the page to the results page when the search collects them; a page that
// cannot be written is said in the status line.
void CollectPage(CFetchState& fs);

// Reads a response body into m_answer.m_strText: in one read of the announced length
// when Content-Length can be trusted, else block by block with progress texts.
// False when cancelled, or when the page budget is spent (m_bOverBudget; the
// page is then not to be used).
bool ReadPageText(CFetchState& fs, IHttpResponse& response, const std::string& strUrl);

// A Content-Length value that can be trusted: digits only (white space around
// them allowed) and at most nMax. False for a negative, non-numeric or too big value.
bool ParseContentLength(const std::string& strValue, size_t nMax, size_t* pLength);

// Whether a Content-Length value (several joined by ", " when the header came
// more than once) names one length.
bool HasOneLength(const std::string& strValues);

// Removes every NUL among the first nCount bytes; returns the new count.
size_t RemoveNulBytes(char* pBlock, size_t nCount);
