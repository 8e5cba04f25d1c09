// SPDX-License-Identifier: MIT
#pragma once

// Request addresses are made from engine texts that act as printf-style
// templates. They are formatted by this formatter, never by printf itself:
//  - an integer directive (%d %i %u %x %X %o %c, with flags, width, precision
//    and length modifiers) takes the next integer argument;
//  - %s takes the next text argument;
//  - %% gives %;
//  - a directive with no matching argument, or of another kind, is copied as written.
// Inserted values are kept apart from the template's literal text, so a query
// term's own characters are never read as directives, in any later pass.

#include <string>
#include <string_view>
#include <vector>

struct CTemplateArg
{
    bool m_bText = false;
    long long m_nValue = 0;
    std::string m_strText;

    static CTemplateArg Int(long long n) { return {false, n, {}}; }
    static CTemplateArg Text(std::string_view s) { return {true, 0, std::string(s)}; }
};

class CTemplateText
{
public:
    CTemplateText() = default;
    explicit CTemplateText(std::string_view literal) { AppendLiteral(literal); }

    CTemplateText& AppendLiteral(std::string_view text);
    CTemplateText& AppendValue(std::string_view text);

    // One formatting pass over the literal parts.
    CTemplateText Format(const std::vector<CTemplateArg>& args) const;

    bool LiteralContains(std::string_view part) const;
    std::string ToString() const;

private:
    struct Segment
    {
        bool m_bLiteral;
        std::string m_strText;
    };
    void Append(bool bLiteral, std::string_view text);
    std::vector<Segment> m_segments;
};

// Formats a literal template in one pass.
std::string FormatTemplate(std::string_view strTemplate, const std::vector<CTemplateArg>& args);
