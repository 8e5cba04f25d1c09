// SPDX-License-Identifier: MIT
#pragma once

// A page loaded the way a browser shows it after its scripts ran, for engines
// whose results a script writes: the headless browser engine the system has
// (chromium-headless-shell) is run on the address and its document, serialised
// (--dump-dom), is the page. It runs in a process group of its own with a fresh
// temporary profile in $TMPDIR, else /tmp (deleted afterwards: nothing is kept
// between loads), the connection settings it is given, and the browser's own sandbox (which the
// browser refuses only to root, who runs it without). The time-out and the
// cancel signal end it at once: no browser process outlives a load.

#include "platform/Translate.h"

#include <string>

class CCancelSignal;

// At most this many browser pages load at once, in the whole program: each
// costs about 100 MB. A load waits for its turn (Stop ends the wait).
inline constexpr int kMaxBrowserLoadsAtOnce = 2;

inline constexpr const char* kBrowserNotInstalled =
    N_("no browser engine is installed (Debian: apt install chromium-headless-shell)");
inline constexpr const char* kBrowserTimedOut = N_("the browser engine did not finish the page in time");
inline constexpr const char* kBrowserGaveNothing = N_("the browser engine gave no page");
inline constexpr const char* kBrowserNotStarted = N_("the browser engine could not be started");

struct CBrowserLoad
{
    std::string m_strAddress;        // http or https only: the engine never opens local files
    std::string m_strProxy;          // "host:port", or empty for a direct connection
    bool m_bSystemProxy = false;     // the system's proxy settings instead (m_strProxy unused)
    std::string m_strUserAgent;      // empty: the browser's own
    int m_nTimeoutSeconds = 20;
    CCancelSignal* m_pCancel = nullptr;
};

struct CBrowserPage
{
    std::string m_strText;  // the document after its scripts ran
    std::string m_strError; // why there is none: no browser engine, the time-out, its failure
    std::string m_strProfile; // the temporary profile it ran with (gone when the load returns)
};

// The browser engine's program, or empty when none is installed.
// QUESTREL_BROWSER_ENGINE names another (tests; an empty value: none).
std::string FindBrowserEngine();

// Loads the address. False only when cancelled; a load that failed says why
// in m_strError.
bool LoadInBrowserEngine(const CBrowserLoad& load, CBrowserPage& page);
