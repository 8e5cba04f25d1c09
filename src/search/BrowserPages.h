// SPDX-License-Identifier: MIT
#pragma once

// Result pages whose results a script writes: which pages fetched plainly are
// loaded again in the browser engine, and the load itself with the session's
// connection settings. Decided from the page each time, never from a list of
// engines or hosts.

#include "search/PageAnswer.h"

#include <string_view>

class CCancelSignal;
struct CSessionOptions;

#include "platform/Translate.h"

inline constexpr const char* kLoadedByBrowser = N_(", loaded with a browser engine");

enum class BrowserRule
{
    Never,        // the page as the server sent it
    WallOnly,     // a page that asks for JavaScript
    WallOrNoList, // that, or a page with scripts but without the start token
    Always,       // any page (the learner, once the plain page gave no list)
};

// Whether a page fetched plainly is to be loaded again under the rule. A page
// that holds the start token never is (a page of results may well ask for
// JavaScript somewhere); a page that asks for JavaScript is; under
// WallOrNoList also one that has scripts (its list may be what they write),
// unless it says nothing matched or is a bot check.
bool PageNeedsBrowser(std::string_view page, std::string_view startToken, BrowserRule rule);

// The refusal the answer is (see RefusalReason), or empty. A page the browser
// engine loaded that is neither a refusal nor says that nothing matched is
// taken as the refusal the page was without its scripts: the browser did not
// get past it either.
std::string AnswerRefusal(const CPageAnswer& answer);

// Whether the page has a script of its own.
bool HasScripts(std::string_view page);

// Loads the answer's page again in the browser engine, through the session's
// proxy, User-Agent and time-out. Then its text is the browser's document and
// m_bByBrowser is set (and m_strPlainRefusal keeps what the page said without
// its scripts); or m_strBrowserError says why there is none and the text
// stays. False only when cancelled.
bool LoadAnswerInBrowser(const CSessionOptions& options, CPageAnswer& answer, CCancelSignal* pCancel);
