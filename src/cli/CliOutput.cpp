// SPDX-License-Identifier: MIT
#include "cli/CliOutput.h"

#include <cstdio>

#include "platform/TextUtil.h"
#include "platform/Translate.h"

#include <algorithm>

namespace {

void AppendHexEscape(std::string& out, unsigned char c)
{
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

// Appends text with its controls escaped; pfnSpecial may write a byte its own way.
template <typename F>
void AppendEscaped(std::string& out, std::string_view text, F special)
{
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (special(out, text[i])) {
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            AppendHexEscape(out, c);
            ++i;
        } else if (c >= 0x80) {
            const size_t nLength = Utf8SequenceLength(text, i);
            // U+0080..U+009F are the C1 controls, encoded as C2 80..C2 9F.
            const bool bC1 = nLength == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
            if (nLength == 0 || bC1) {
                for (size_t k = 0; k < std::max<size_t>(nLength, 1); ++k)
                    AppendHexEscape(out, static_cast<unsigned char>(text[i + k]));
                i += std::max<size_t>(nLength, 1);
            } else {
                out.append(text.substr(i, nLength));
                i += nLength;
            }
        } else {
            out += text[i];
            ++i;
        }
    }
}

} // namespace

std::string EscapeControls(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text, [](std::string& o, char c) {
        if (c != '\t')
            return false;
        o += c;
        return true;
    });
    return out;
}

void PrintUsageError(const std::string& strError)
{
    std::fprintf(stderr, "questrel-cli: %s\n%s\n", EscapeControls(strError).c_str(), Tr("Try 'questrel-cli --help'."));
}

void PrintCliMessage(const std::string& strText)
{
    std::fprintf(stderr, "questrel: %s\n", EscapeControls(strText).c_str());
    std::fflush(stderr);
}

std::string EscapeTsvField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    AppendEscaped(out, field, [](std::string& o, char c) {
        switch (c) {
        case '\t': o += "\\t"; return true;
        case '\r': o += "\\r"; return true;
        case '\n': o += "\\n"; return true;
        case '\\': o += "\\\\"; return true;
        default: return false;
        }
    });
    return out;
}

std::string FormatHitsTsv(const std::vector<CSearchHit>& hits)
{
    std::string out;
    for (const CSearchHit& hit : hits) {
        out += EscapeTsvField(hit.m_strDescription);
        out += '\t';
        out += EscapeTsvField(hit.m_strUrl);
        out += '\t';
        out += EscapeTsvField(hit.m_strEngine);
        out += '\n';
    }
    return out;
}

CDocumentPrinter::CDocumentPrinter(bool bJson, std::function<void(const std::string&)> write)
    : m_bJson(bJson), m_write(std::move(write))
{
}

void CDocumentPrinter::Header(const CSearchDocumentData& data)
{
    std::string out;
    if (m_bJson) {
        out = "{\"maxHits\":" + std::to_string(data.m_nMaxHits) + ",\"searchOption\":" +
              std::to_string(data.m_nSearchOption) + ",\"criteria\":" + JsonString(data.m_strCriteria) +
              ",\"engines\":[";
        for (size_t i = 0; i < data.m_engines.size(); ++i)
            out += (i ? "," : "") + JsonString(data.m_engines[i]);
        out += "],\n \"hits\":[";
    } else {
        out = "Max Hits\t" + std::to_string(data.m_nMaxHits) + "\n";
        out += "Search Option\t" + std::to_string(data.m_nSearchOption) + "\n";
        out += "Criteria\t" + EscapeTsvField(data.m_strCriteria) + "\n";
        out += "Engines";
        for (const std::string& strName : data.m_engines)
            out += "\t" + EscapeTsvField(strName);
        out += "\n";
    }
    m_write(out);
}

void CDocumentPrinter::Hit(const CSearchHit& hit)
{
    if (m_bJson)
        m_write((m_nHits ? ",\n  " : "\n  ") + HitJsonObject(hit));
    else
        m_write(FormatHitsTsv({hit}));
    ++m_nHits;
}

void CDocumentPrinter::End()
{
    if (m_bJson)
        m_write(m_nHits ? "\n ]}\n" : "]}\n");
}

std::string FormatDocumentText(const CSearchDocumentData& data)
{
    return FormatDocument(data, false);
}

std::string FormatDocument(const CSearchDocumentData& data, bool bJson)
{
    std::string out;
    CDocumentPrinter printer(bJson, [&out](const std::string& strPart) { out += strPart; });
    printer.Header(data);
    for (const CSearchHit& hit : data.m_hits)
        printer.Hit(hit);
    printer.End();
    return out;
}
