// SPDX-License-Identifier: MIT
#pragma once

// Which links of a page are its results. Links are grouped by the markup they
// stand in (the link's own shape and that of one to three enclosing elements),
// and each group is judged by its own shape, never by where its links lead:
// results are many, lead to distinct addresses, carry title-like texts that
// differ from one another, and are separated by text of their own (snippets).
// Navigation, paging, sort and filter links (the search page itself, the query
// or a number in the address), labels repeated on every row ("Cached", "PDF"),
// pictures without text and the site's menus count against a group.

#include "workbench/PageLinks.h"

#include <string>
#include <vector>

// What the learner knows of one link beyond its markup.
struct CLinkFacts
{
    std::string m_strUrl;       // the address a browser opens (redirect undone, resolved)
    bool m_bNavigation = false;   // leads to the search itself, or nowhere a result would
    bool m_bCarriesQuery = false; // the query is in one of its parameters
};

struct CLinkGroup
{
    std::vector<size_t> m_members; // indices of the page's links, in document order
    std::vector<size_t> m_results; // the members that look like results (one per address)
    double m_fScore = 0;
    int m_nLevel = 0; // how many enclosing elements its shape holds
};

// The query's words, lower case (ASCII letters folded; other scripts as they stand).
std::vector<std::string> QueryWords(const std::string& strQuery);

// Whether the link leads to the search page itself (paging, sort, filters,
// related searches) or to no web page.
bool IsNavigationLink(const std::string& strUrl, const std::string& strPageUrl);
// Whether one of the link's parameters holds the query (tabs, filters, or a
// result whose words the site highlights).
bool CarriesQuery(const std::string& strUrl, const std::string& strQuery);

// Whether a link on its own reads like a result: a title-like text, not
// navigation, not in the page's menus.
bool IsResultLike(const CAnchor& anchor, const CLinkFacts& facts);

// The groups worth considering, best first (at most nMax); none when the page
// has no links that repeat like a list of results.
std::vector<CLinkGroup> FindLinkGroups(std::string_view page, const std::vector<CAnchor>& anchors,
                                       const std::vector<CLinkFacts>& facts, const std::vector<std::string>& words,
                                       size_t nMax = 8);
