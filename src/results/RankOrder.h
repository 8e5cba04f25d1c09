// SPDX-License-Identifier: MIT
#pragma once

// Results ranked across engines: a hit that several engines listed near their
// top comes first. The order is a view of the rows; the rows keep the order in
// which the engines listed them (engine after engine), and so do documents.

#include "results/ResultRows.h"

#include <string>
#include <vector>

// The score of a hit the engines listed at positions p1..pk: k x (1/p1 + ... + 1/pk).
// A position below 1 counts as the last of a long list (nothing).
double RankScore(const std::vector<CFoundBy>& foundBy);

// The rows' indexes by descending score; equal scores keep the rows' order.
std::vector<int> OrderByRank(const std::vector<std::vector<CFoundBy>>& foundBy);

// The engines and their positions: "Bing 1, Mojeek 2, Brave 5".
std::string DescribeFoundBy(const std::vector<CFoundBy>& foundBy);
