// SPDX-License-Identifier: MIT
#include "search/TemplateFormat.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kMaxFieldWidth = 4096; // wider fields are copied as written

struct CDirective
{
    size_t m_nLength = 0; // characters of the directive text, '%' included
    std::string m_strFlags;
    size_t m_nWidth = 0;
    bool m_bHasWidth = false;
    bool m_bHasPrecision = false;
    size_t m_nPrecision = 0;
    char m_cConversion = 0;
    bool m_bTooWide = false;
};

size_t ReadNumber(std::string_view s, size_t& i)
{
    size_t n = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (n <= kMaxFieldWidth)
            n = n * 10 + static_cast<size_t>(s[i] - '0');
        ++i;
    }
    return n;
}

// Parses the directive that starts with the '%' at s[0]. m_cConversion stays 0
// when there is no complete directive.
CDirective ParseDirective(std::string_view s)
{
    CDirective d;
    size_t i = 1;
    while (i < s.size() && std::strchr("-+ #0'", s[i]) && s[i] != '\0') {
        if (s[i] != '\'')
            d.m_strFlags += s[i];
        ++i;
    }
    if (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        d.m_bHasWidth = true;
        d.m_nWidth = ReadNumber(s, i);
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        d.m_bHasPrecision = true;
        d.m_nPrecision = ReadNumber(s, i);
    }
    d.m_bTooWide = d.m_nWidth > kMaxFieldWidth || d.m_nPrecision > kMaxFieldWidth;
    while (i < s.size() && std::strchr("hljztLq", s[i]) && s[i] != '\0')
        ++i;
    if (i < s.size()) {
        d.m_cConversion = s[i];
        ++i;
    }
    d.m_nLength = i;
    return d;
}

bool IsIntegerConversion(char c)
{
    return c != '\0' && std::strchr("diouxXc", c) != nullptr;
}

std::string FormatInteger(const CDirective& d, long long nValue)
{
    std::string strFormat = "%" + d.m_strFlags;
    if (d.m_bHasWidth)
        strFormat += std::to_string(d.m_nWidth);
    if (d.m_bHasPrecision)
        strFormat += "." + std::to_string(d.m_nPrecision);
    std::string out(d.m_nWidth + d.m_nPrecision + 32, '\0');
    int n = 0;
    if (d.m_cConversion == 'c') {
        strFormat += 'c';
        n = std::snprintf(out.data(), out.size(), strFormat.c_str(), static_cast<int>(nValue));
    } else if (d.m_cConversion == 'd' || d.m_cConversion == 'i') {
        strFormat += "ll";
        strFormat += d.m_cConversion;
        n = std::snprintf(out.data(), out.size(), strFormat.c_str(), nValue);
    } else {
        strFormat += "ll";
        strFormat += d.m_cConversion;
        n = std::snprintf(out.data(), out.size(), strFormat.c_str(),
                          static_cast<unsigned long long>(nValue));
    }
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

std::string FormatText(const CDirective& d, std::string_view text)
{
    if (d.m_bHasPrecision && d.m_nPrecision < text.size())
        text = text.substr(0, d.m_nPrecision);
    std::string out(text);
    if (d.m_bHasWidth && d.m_nWidth > out.size()) {
        const std::string strPad(d.m_nWidth - out.size(), ' ');
        out = d.m_strFlags.find('-') != std::string::npos ? out + strPad : strPad + out;
    }
    return out;
}

} // namespace

void CTemplateText::Append(bool bLiteral, std::string_view text)
{
    if (text.empty())
        return;
    if (!m_segments.empty() && m_segments.back().m_bLiteral == bLiteral)
        m_segments.back().m_strText.append(text);
    else
        m_segments.push_back({bLiteral, std::string(text)});
}

CTemplateText& CTemplateText::AppendLiteral(std::string_view text)
{
    Append(true, text);
    return *this;
}

CTemplateText& CTemplateText::AppendValue(std::string_view text)
{
    Append(false, text);
    return *this;
}

CTemplateText CTemplateText::Format(const std::vector<CTemplateArg>& args) const
{
    size_t nNextInt = 0;
    size_t nNextText = 0;
    auto takeArg = [&args](bool bText, size_t& nNext) -> const CTemplateArg* {
        while (nNext < args.size() && args[nNext].m_bText != bText)
            ++nNext;
        return nNext < args.size() ? &args[nNext++] : nullptr;
    };

    CTemplateText out;
    for (const Segment& segment : m_segments) {
        if (!segment.m_bLiteral) {
            out.AppendValue(segment.m_strText);
            continue;
        }
        const std::string_view s = segment.m_strText;
        size_t nCopyFrom = 0;
        size_t i = 0;
        while ((i = s.find('%', i)) != std::string_view::npos) {
            out.AppendLiteral(s.substr(nCopyFrom, i - nCopyFrom));
            if (i + 1 < s.size() && s[i + 1] == '%') {
                out.AppendLiteral("%");
                i += 2;
                nCopyFrom = i;
                continue;
            }
            const CDirective d = ParseDirective(s.substr(i));
            const std::string_view raw = s.substr(i, d.m_nLength);
            const CTemplateArg* pArg = nullptr;
            if (!d.m_bTooWide && IsIntegerConversion(d.m_cConversion))
                pArg = takeArg(false, nNextInt);
            else if (!d.m_bTooWide && d.m_cConversion == 's')
                pArg = takeArg(true, nNextText);
            if (!pArg)
                out.AppendLiteral(raw);
            else if (pArg->m_bText)
                out.AppendValue(FormatText(d, pArg->m_strText));
            else
                out.AppendValue(FormatInteger(d, pArg->m_nValue));
            i += d.m_nLength;
            nCopyFrom = i;
        }
        out.AppendLiteral(s.substr(nCopyFrom));
    }
    return out;
}

bool CTemplateText::LiteralContains(std::string_view part) const
{
    for (const Segment& segment : m_segments)
        if (segment.m_bLiteral && segment.m_strText.find(part) != std::string::npos)
            return true;
    return false;
}

std::string CTemplateText::ToString() const
{
    std::string out;
    for (const Segment& segment : m_segments)
        out += segment.m_strText;
    return out;
}

std::string FormatTemplate(std::string_view strTemplate, const std::vector<CTemplateArg>& args)
{
    return CTemplateText(strTemplate).Format(args).ToString();
}
