// SPDX-License-Identifier: MIT
#pragma once

// What the learner reads of a page's links, in one pass over the page: every
// <a> tag with an href (quoted or not) in the body, its attributes, its text,
// and the shape of the elements around it (their names and stable class
// words), so that links can be grouped by the markup they stand in.

#include <string>
#include <string_view>
#include <vector>

struct CAttribute
{
    size_t m_nName = 0;  // where its name starts
    size_t m_nValue = 0; // where its value starts (after the quote, if any)
    size_t m_nValueEnd = 0;
    char m_chQuote = 0; // '"', '\'' or 0 for an unquoted value
    std::string_view m_name;
};

struct CAnchor
{
    size_t m_nTagStart = 0;
    size_t m_nTagEnd = 0; // the '>'
    size_t m_nContentEnd = 0; // where "</a>" starts (or the next link, or the page's end)
    std::vector<CAttribute> m_attributes;
    int m_nHref = -1;       // index of the href attribute
    bool m_bClosed = false; // "</a>" (or "</A>") ends it
    bool m_bUpperEnd = false; // ... written "</A>"
    bool m_bImage = false;  // it holds a picture
    bool m_bHeading = false; // it holds a heading (h1-h6) or stands in one
    bool m_bChrome = false; // inside nav or aside, or a page-level header or footer
    std::string m_strText;  // what a reader sees of it (at most about 300 bytes)
    std::string m_strShape; // "a.title" : the tag and its stable class words
    // The shapes of the enclosing elements, nearest first (at most kContextDepth).
    std::vector<std::string> m_context;

    const CAttribute& Href() const { return m_attributes[static_cast<size_t>(m_nHref)]; }
    std::string_view HrefValue(std::string_view page) const
    {
        return page.substr(Href().m_nValue, Href().m_nValueEnd - Href().m_nValue);
    }
};

inline constexpr size_t kContextDepth = 4;

// One tag of the page as read: its name (lower case), where it ends, its attributes.
struct CTag
{
    size_t m_nEnd = std::string_view::npos; // the '>'; npos when the tag does not close
    std::string m_strName;
    bool m_bClosing = false;
    bool m_bSelfClosing = false;
    std::vector<CAttribute> m_attributes;
};

// Reads the tag that starts at page[i] == '<'.
CTag ReadTag(std::string_view page, size_t i);

// A character of an attribute's name (letters, digits, - _ : .).
bool IsNameChar(char c);

// The links of the page's body in document order, at most nMaxLinks (the rest
// is not read). The content of script, style and comments is skipped.
std::vector<CAnchor> FindAnchors(std::string_view page, size_t nMaxLinks = 20000);

// A literal '%' of a text that is formatted as a template, doubled.
std::string EscapePercent(const std::string& strText);
