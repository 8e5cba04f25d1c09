// SPDX-License-Identifier: MIT
#pragma once

// The start and end tokens that cut one group of links out of a page: the
// markup the group's links share before their address (with "{*}" where rows
// differ: a row counter in a class, a long attribute, the text between two
// tags), as little of it as finds the group and nothing else, and an end token
// that takes the snippet after the title when every result has one.

#include "results/ResultRows.h"
#include "workbench/PageLinks.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CLinkCleaner;

struct CTokenProposal
{
    std::string m_strStartToken;
    std::string m_strEndToken;
    std::vector<CSearchHit> m_hits; // what the tokens find on the page
};

// A word of a token that looks made by a build tool ("svelte-1rq4ngz",
// "css-1bggj8v"): letters and digits mixed, six characters or more.
bool IsGeneratedName(std::string_view word);
// The token with each generated name made a wildcard.
std::string WildcardGeneratedNames(std::string_view token);

// The hits the tokens find on the page, as a search lists them (duplicates kept).
std::vector<CSearchHit> ExtractWithTokens(const std::string& strPage, const std::string& strStart,
                                          const std::string& strEnd, const CLinkCleaner& links);

// Tokens for the links (indices of anchors). False when no token finds at
// least two of them. With isResultLike, a tag before the link may be
// loosened to take more links in another markup, when all it adds are like
// results.
bool LearnGroupTokens(const std::string& strPage, const std::vector<CAnchor>& anchors,
                      const std::vector<size_t>& links, const CLinkCleaner& cleaner, CTokenProposal& proposal,
                      const std::function<bool(size_t)>& isResultLike = {});
