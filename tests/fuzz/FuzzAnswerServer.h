// SPDX-License-Identifier: MIT
#pragma once

// For the fuzz targets of HTTP answers: a loopback server that sends the
// current input as the whole answer to each request, and a fetch of a page
// from it as a search fetches one (no redirects: nothing leaves the machine).

#include "search/FetchState.h"

#include <string>

namespace fuzz {

// Sets the bytes every later connection is answered with.
void SetAnswer(std::string strAnswer);
// Fetches "/" from the server with a page cap of nMaxPageBytes; traps when the
// fetch breaks the page reader's promises (no cancel happened, the page is
// within the cap and holds no NUL byte). The state of the fetch is left in fs.
void FetchAnswer(CFetchState& fs, size_t nMaxPageBytes);

} // namespace fuzz
