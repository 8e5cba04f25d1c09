// SPDX-License-Identifier: MIT
#pragma once

// Result pages whose results a script writes, in the shapes engines and site
// searches send them, served by a loopback server; and whether a browser load
// left anything behind.

#include "LoopbackServer.h"

#include <string>

namespace qtest {

// The five results a script writes, as a browser shows them: the hits of an
// engine with kScriptHitToken up to "</a>".
inline constexpr const char* kScriptHitToken = "<li class=\"hit\"><a href=\"";

// The page for a path (also asked as a proxy, for any host):
//   /list      an empty list the page's inline script fills (five results)
//   /wall      the same behind a JavaScript wall ("click here if you are not
//              redirected", a refresh to an enable-JavaScript address)
//   /stuck     the wall, whose script writes nothing
//   /fetched   a list the script fetches from /hits of the same server (two)
//   /endless   a script that never ends
//   /plain     the five results without any script
CReply ScriptPage(const CRecordedRequest& request);

// Whether the folder (where the browser's profiles go: the test's $TMPDIR)
// holds anything, or a process whose command line names it still runs.
bool BrowserLeftBehind(const std::string& strFolder);

} // namespace qtest
