// SPDX-License-Identifier: MIT
#include "workbench/PageLinks.h"

#include "platform/TextUtil.h"
#include "search/extract/HtmlText.h"

#include <algorithm>

bool IsNameChar(char c)
{
    return IsAsciiAlnum(c) || c == '-' || c == '_' || c == ':' || c == '.';
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsVoidElement(std::string_view name)
{
    for (const char* psz : {"br", "img", "input", "meta", "link", "hr", "wbr", "source", "area", "base", "col",
                            "embed", "param", "track", "image", "use", "path"})
        if (name == psz)
            return true;
    return false;
}

// Elements a new one of the same name closes when the page leaves the end tag out.
bool ClosesItsLike(std::string_view name)
{
    for (const char* psz : {"li", "p", "tr", "td", "th", "dt", "dd", "option", "a"})
        if (name == psz)
            return true;
    return false;
}

struct CElement
{
    std::string m_strName;
    std::string m_strShape;
    int m_nCells = 0; // of a table row: the cells opened in it so far
};

// A table cell's shape names its column ("td@2"): the links of a row's
// columns (a title, its author, its category) are lists of their own.
std::string CellShape(std::vector<CElement>& stack, std::string strShape)
{
    for (size_t k = stack.size(); k-- > 0 && stack.size() - k <= 2;)
        if (stack[k].m_strName == "tr")
            return strShape + "@" + std::to_string(++stack[k].m_nCells);
    return strShape;
}

} // namespace

CTag ReadTag(std::string_view page, size_t i)
{
    CTag tag;
    size_t p = i + 1;
    if (p < page.size() && page[p] == '/') {
        tag.m_bClosing = true;
        ++p;
    }
    while (p < page.size() && (IsAsciiAlnum(page[p]) || page[p] == '-' || page[p] == ':'))
        tag.m_strName += ToLowerAscii(page[p++]);
    if (tag.m_strName.empty())
        return tag;
    while (p < page.size()) {
        while (p < page.size() && IsBlank(page[p]))
            ++p;
        if (p >= page.size())
            return tag;
        if (page[p] == '>') {
            tag.m_nEnd = p;
            tag.m_bSelfClosing = page[p - 1] == '/';
            return tag;
        }
        if (!IsNameChar(page[p])) {
            ++p;
            continue;
        }
        CAttribute attribute;
        attribute.m_nName = p;
        while (p < page.size() && IsNameChar(page[p]))
            ++p;
        attribute.m_name = page.substr(attribute.m_nName, p - attribute.m_nName);
        size_t q = p;
        while (q < page.size() && IsBlank(page[q]))
            ++q;
        if (q >= page.size() || page[q] != '=')
            continue; // an attribute without value
        ++q;
        while (q < page.size() && IsBlank(page[q]))
            ++q;
        if (q < page.size() && (page[q] == '"' || page[q] == '\'')) {
            const size_t nClose = page.find(page[q], q + 1);
            if (nClose == std::string_view::npos)
                return tag;
            attribute.m_chQuote = page[q];
            attribute.m_nValue = q + 1;
            attribute.m_nValueEnd = nClose;
            p = nClose + 1;
        } else {
            attribute.m_nValue = q;
            while (q < page.size() && !IsBlank(page[q]) && page[q] != '>')
                ++q;
            attribute.m_nValueEnd = q;
            p = q;
        }
        tag.m_attributes.push_back(attribute);
    }
    return tag;
}

namespace {

// "div.result.item": the name and the class words that are the same on every row.
std::string ShapeOf(std::string_view page, const CTag& tag)
{
    std::string strShape = tag.m_strName;
    for (const CAttribute& attribute : tag.m_attributes) {
        if (!EqualsNoCase(attribute.m_name, "class"))
            continue;
        const std::string_view value = page.substr(attribute.m_nValue, attribute.m_nValueEnd - attribute.m_nValue);
        size_t i = 0;
        while (i < value.size()) {
            while (i < value.size() && IsBlank(value[i]))
                ++i;
            size_t nEnd = i;
            while (nEnd < value.size() && !IsBlank(value[nEnd]))
                ++nEnd;
            const std::string_view word = value.substr(i, nEnd - i);
            // A word with a digit changes from row to row or from one build to the next.
            if (!word.empty() && std::none_of(word.begin(), word.end(), IsAsciiDigit)) {
                strShape += '.';
                strShape += word;
            }
            i = nEnd;
        }
        break;
    }
    return strShape;
}

bool IsChrome(const std::vector<CElement>& stack)
{
    bool bInContent = false;
    for (const CElement& element : stack) {
        const std::string& name = element.m_strName;
        if (name == "nav" || name == "aside")
            return true;
        if (name == "article" || name == "section" || name == "li" || name == "main")
            bInContent = true;
        if ((name == "header" || name == "footer") && !bInContent)
            return true;
    }
    return false;
}

// Where the element's content ends: the end tag, searched case-insensitively.
size_t FindEndTag(std::string_view page, size_t nFrom, std::string_view name)
{
    for (size_t i = page.find("</", nFrom); i != std::string_view::npos; i = page.find("</", i + 2))
        if (i + 2 + name.size() <= page.size() && EqualsNoCase(page.substr(i + 2, name.size()), name))
            return i;
    return std::string_view::npos;
}

void ReadContent(std::string_view page, CAnchor& anchor, size_t nLimit)
{
    const size_t nFrom = anchor.m_nTagEnd + 1;
    const std::string_view span = page.substr(nFrom, nLimit - nFrom);
    size_t nEnd = span.size();
    for (size_t i = span.find("</"); i != std::string_view::npos; i = span.find("</", i + 2)) {
        if (i + 3 < span.size() && (span[i + 2] == 'a' || span[i + 2] == 'A') &&
            (span[i + 3] == '>' || IsBlank(span[i + 3]))) {
            nEnd = i;
            anchor.m_bClosed = true;
            anchor.m_bUpperEnd = span[i + 2] == 'A';
            break;
        }
    }
    anchor.m_nContentEnd = nFrom + nEnd;
    const std::string_view content = span.substr(0, nEnd);
    anchor.m_strText = HtmlToText(content, 300);
    for (const char* psz : {"<img", "<IMG", "<svg", "<picture"})
        if (content.find(psz) != std::string_view::npos)
            anchor.m_bImage = true;
    for (size_t i = content.find('<'); i != std::string_view::npos && !anchor.m_bHeading; i = content.find('<', i + 1))
        anchor.m_bHeading = i + 2 < content.size() && (content[i + 1] == 'h' || content[i + 1] == 'H') &&
                            content[i + 2] >= '1' && content[i + 2] <= '6';
}

} // namespace

std::vector<CAnchor> FindAnchors(std::string_view page, size_t nMaxLinks)
{
    std::vector<CAnchor> anchors;
    std::vector<CElement> stack;
    size_t i = 0;
    while ((i = page.find('<', i)) != std::string_view::npos && anchors.size() < nMaxLinks) {
        if (page.compare(i, 4, "<!--") == 0) {
            const size_t nEnd = page.find("-->", i + 4);
            i = nEnd == std::string_view::npos ? page.size() : nEnd + 3;
            continue;
        }
        if (i + 1 < page.size() && (page[i + 1] == '!' || page[i + 1] == '?')) {
            const size_t nEnd = page.find('>', i);
            i = nEnd == std::string_view::npos ? page.size() : nEnd + 1;
            continue;
        }
        CTag tag = ReadTag(page, i);
        if (tag.m_strName.empty() || tag.m_nEnd == std::string_view::npos) {
            ++i;
            continue;
        }
        const size_t nTagStart = i;
        i = tag.m_nEnd + 1;
        if (tag.m_bClosing) {
            // Close up to the element of that name, when it is open nearby.
            for (size_t k = stack.size(); k-- > 0 && stack.size() - k <= 16;) {
                if (stack[k].m_strName == tag.m_strName) {
                    stack.resize(k);
                    break;
                }
            }
            continue;
        }
        if (tag.m_strName == "script" || tag.m_strName == "style" || tag.m_strName == "textarea" ||
            tag.m_strName == "title") {
            const size_t nEnd = FindEndTag(page, i, tag.m_strName);
            i = nEnd == std::string_view::npos ? page.size() : nEnd;
            continue;
        }
        if (ClosesItsLike(tag.m_strName) && !stack.empty() && stack.back().m_strName == tag.m_strName)
            stack.pop_back();
        const bool bInHead = std::any_of(stack.begin(), stack.end(),
                                         [](const CElement& e) { return e.m_strName == "head"; });
        if (tag.m_strName == "a" && !bInHead) {
            const auto itHref = std::find_if(tag.m_attributes.begin(), tag.m_attributes.end(),
                                             [](const CAttribute& a) { return EqualsNoCase(a.m_name, "href"); });
            if (itHref != tag.m_attributes.end()) {
                CAnchor anchor;
                anchor.m_nTagStart = nTagStart;
                anchor.m_nTagEnd = tag.m_nEnd;
                anchor.m_nHref = static_cast<int>(itHref - tag.m_attributes.begin());
                anchor.m_attributes = tag.m_attributes;
                anchor.m_strShape = ShapeOf(page, tag);
                anchor.m_bChrome = IsChrome(stack);
                for (size_t k = stack.size(); k-- > 0 && anchor.m_context.size() < kContextDepth;) {
                    anchor.m_context.push_back(stack[k].m_strShape);
                    const std::string& name = stack[k].m_strName;
                    if (anchor.m_context.size() <= 2 && name.size() == 2 && name[0] == 'h' && name[1] >= '1' &&
                        name[1] <= '6')
                        anchor.m_bHeading = true;
                }
                anchors.push_back(std::move(anchor));
            }
        }
        if (!tag.m_bSelfClosing && !IsVoidElement(tag.m_strName)) {
            std::string strShape = ShapeOf(page, tag);
            if (tag.m_strName == "td" || tag.m_strName == "th")
                strShape = CellShape(stack, std::move(strShape));
            stack.push_back({tag.m_strName, std::move(strShape), 0});
        }
        if (stack.size() > 512)
            stack.erase(stack.begin(), stack.begin() + 256); // a page that never closes anything
    }
    // Each link's content ends at its end tag, or where the next link starts.
    for (size_t k = 0; k < anchors.size(); ++k)
        ReadContent(page, anchors[k], k + 1 < anchors.size() ? anchors[k + 1].m_nTagStart : page.size());
    return anchors;
}

std::string EscapePercent(const std::string& strText)
{
    std::string out;
    for (const char c : strText) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}
