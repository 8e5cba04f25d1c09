// SPDX-License-Identifier: MIT
#pragma once

// What the learner reads of a page's links: the <a> tags with a quoted href and
// their attributes, as places in the page.

#include <string>
#include <string_view>
#include <vector>

struct CAttribute
{
    size_t m_nName = 0;  // where its name starts
    size_t m_nValue = 0; // where its value starts (after the quote)
    size_t m_nValueEnd = 0;
    std::string_view m_name;
};

struct CAnchor
{
    size_t m_nTagStart = 0;
    size_t m_nTagEnd = 0; // the '>'
    std::vector<CAttribute> m_attributes;
    int m_nHref = -1; // index of the href attribute
};

// A character of an attribute's name (letters, digits, - _ : .).
bool IsNameChar(char c);

// The <a> tags of the page with a quoted href, their attributes in order.
std::vector<CAnchor> FindAnchors(std::string_view page);

// A literal '%' of a text that is formatted as a template, doubled.
std::string EscapePercent(const std::string& strText);
