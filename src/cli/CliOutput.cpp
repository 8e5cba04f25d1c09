#include "cli/CliOutput.h"

#include "platform/TextUtil.h"

#include <cstdio>


std::string EscapeTsvField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : ToValidUtf8(text)) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char sz[8];
                std::snprintf(sz, sizeof sz, "\\u%04x", c);
                out += sz;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
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

namespace {

std::string HitsJsonArray(const std::vector<CSearchHit>& hits, const char* pszIndent)
{
    std::string out = "[";
    for (size_t i = 0; i < hits.size(); ++i) {
        out += i ? ",\n" : "\n";
        out += pszIndent;
        out += " {\"description\":" + JsonString(hits[i].m_strDescription) +
               ",\"url\":" + JsonString(hits[i].m_strUrl) +
               ",\"engine\":" + JsonString(hits[i].m_strEngine) + "}";
    }
    if (!hits.empty())
        out += std::string("\n") + pszIndent;
    return out + "]";
}

} // namespace

std::string FormatHitsJson(const std::vector<CSearchHit>& hits)
{
    return HitsJsonArray(hits, "") + "\n";
}

std::string FormatDocumentText(const CSearchDocumentData& data)
{
    std::string out = "Max Hits\t" + std::to_string(data.m_nMaxHits) + "\n";
    out += "Search Option\t" + std::to_string(data.m_nSearchOption) + "\n";
    out += "Criteria\t" + EscapeTsvField(data.m_strCriteria) + "\n";
    out += "Engines";
    for (const std::string& strName : data.m_engines)
        out += "\t" + EscapeTsvField(strName);
    out += "\n";
    return out + FormatHitsTsv(data.m_hits);
}

std::string FormatDocumentJson(const CSearchDocumentData& data)
{
    std::string out = "{\"maxHits\":" + std::to_string(data.m_nMaxHits) +
                      ",\"searchOption\":" + std::to_string(data.m_nSearchOption) +
                      ",\"criteria\":" + JsonString(data.m_strCriteria) + ",\"engines\":[";
    for (size_t i = 0; i < data.m_engines.size(); ++i)
        out += (i ? "," : "") + JsonString(data.m_engines[i]);
    return out + "],\n \"hits\":" + HitsJsonArray(data.m_hits, " ") + "}\n";
}
