// SPDX-License-Identifier: MIT
#pragma once

// Opening a hit's URL in the browser (only web addresses, see IsWebAddress in
// platform/Url.h, are handed to the opener).

#include <string>
#include <string_view>

// The message for a failing open code (0 to 32), or nullptr when that code
// passes silently or the open succeeded (above 32).
const char* ShellOpenErrorText(int nCode);

// What to tell the user when the target could not be opened (empty when it
// was): the message for the code, the target, and for a missing browser how
// to set one.
std::string OpenFailureText(int nCode, const std::string& strTarget);
