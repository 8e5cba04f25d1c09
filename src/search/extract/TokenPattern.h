// SPDX-License-Identifier: MIT
#pragma once

// A start or end token of an engine definition, as the page is searched for
// it. "{*}" in a token matches any run of characters that holds no '<' and
// no '>' (a run inside one tag), the shortest that lets the rest of the token
// match; so `<div class="result {*}"><a href="` survives the next generated
// class name. The text "{*}" has no other meaning, and a token without it
// matches byte for byte, as plain text search.

#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kTokenWildcard = "{*}";

class CTokenPattern
{
public:
    explicit CTokenPattern(std::string_view token);

    // The first match that starts at or after nFrom: its place, and its length
    // in *pLength; npos when there is none. A token that is empty, or nothing
    // but wildcards, matches nowhere.
    size_t Find(std::string_view text, size_t nFrom, size_t* pLength) const;
    // How many times the token matches in the text (matches do not overlap
    // their first characters), counting up to nStopAt.
    size_t Count(std::string_view text, size_t nStopAt = static_cast<size_t>(-1)) const;

private:
    std::vector<std::string> m_segments; // the literal parts, wildcards between them
};
