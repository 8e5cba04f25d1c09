// SPDX-License-Identifier: MIT
#pragma once

// Opening a hit's URL in the browser. A hit's URL comes from an untrusted page,
// so only web addresses are handed to the opener.

#include <string_view>

// http://, https:// and ftp:// addresses (scheme in any case).
bool IsWebAddress(std::string_view url);

// The message for a failing open code (0 to 32), or nullptr when that code
// passes silently or the open succeeded (above 32).
const char* ShellOpenErrorText(int nCode);
