// SPDX-License-Identifier: MIT
#pragma once

// The window in the user's language: the toolkit takes the user's locale (its
// own texts, dates and numbers follow it), the toolkit's catalogue gives its
// stock texts, and the program's texts come from its catalogues beside the
// shared files (strShareDir) or the system's.

#include <string>

void TakeUserLanguage(const std::string& strShareDir);
