// SPDX-License-Identifier: MIT
#include "workbench/PageLinks.h"

#include "platform/TextUtil.h"

bool IsNameChar(char c)
{
    return IsAsciiAlnum(c) || c == '-' || c == '_' ||
           c == ':' || c == '.';
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

} // namespace

std::vector<CAnchor> FindAnchors(std::string_view page)
{
    std::vector<CAnchor> anchors;
    size_t i = 0;
    while ((i = page.find('<', i)) != std::string_view::npos) {
        const size_t nStart = i++;
        if (i + 1 >= page.size() || (page[i] != 'a' && page[i] != 'A') || !IsBlank(page[i + 1]))
            continue;
        CAnchor anchor;
        anchor.m_nTagStart = nStart;
        size_t p = i + 1;
        bool bClosed = false;
        while (p < page.size()) {
            while (p < page.size() && IsBlank(page[p]))
                ++p;
            if (p >= page.size())
                break;
            if (page[p] == '>') {
                bClosed = true;
                break;
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
                    break;
                attribute.m_nValue = q + 1;
                attribute.m_nValueEnd = nClose;
                p = nClose + 1;
                if (EqualsNoCase(attribute.m_name, "href") && anchor.m_nHref < 0)
                    anchor.m_nHref = static_cast<int>(anchor.m_attributes.size());
                anchor.m_attributes.push_back(attribute);
            } else {
                while (q < page.size() && !IsBlank(page[q]) && page[q] != '>')
                    ++q;
                p = q;
            }
        }
        if (!bClosed || anchor.m_nHref < 0)
            continue;
        anchor.m_nTagEnd = p;
        i = p;
        anchors.push_back(std::move(anchor));
    }
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
