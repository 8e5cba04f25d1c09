// SPDX-License-Identifier: MIT
#pragma once

// Start tokens for a list of links (indices of the page's anchors): each
// link's own tag up to its address, with zero to three of the tags before it,
// as one pattern for every row: the markup as it stands where the rows agree,
// "{*}" for attribute values (or attributes) that differ, whole words the rows
// share kept. Also with the first four characters of the address when every
// link's address begins alike.

#include "workbench/PageLinks.h"

#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> StartCandidates(std::string_view page, const std::vector<CAnchor>& anchors,
                                         const std::vector<size_t>& links);

// The token as the catalogue can hold it: a run of blanks that breaks the line
// becomes a wildcard (the catalogue keeps a token on one line); empty when the
// token holds other control bytes (no engine needs them).
std::string CatalogueSafe(const std::string& strToken);

size_t CountWildcards(const std::string& strToken);
