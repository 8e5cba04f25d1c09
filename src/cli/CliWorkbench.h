// SPDX-License-Identifier: MIT
#pragma once

// questrel-cli's commands for keeping engines working: learn-engine and
// check-engines (see the usage text).

#include "cli/CliOptions.h"
#include "engines/SearchEngine.h"

#include <string>
#include <vector>

class CCancelSignal;

inline constexpr int kExitEngineBroken = 4; // check-engines: an engine does not work

// Both end their requests (and a browser engine's load) when pCancel is set.
// learn-engine: 0 a record, 1 none found, 2 usage, 3 the page is a refusal.
int LearnEngineCommand(const CCliOptions& options, const std::string& strCataloguePath, CCancelSignal* pCancel);
// check-engines: 0 every engine ok, 4 otherwise.
int CheckEnginesCommand(const CCliOptions& options, const std::vector<CSearchEngine>& catalogue,
                        const std::string& strCataloguePath, CCancelSignal* pCancel);
