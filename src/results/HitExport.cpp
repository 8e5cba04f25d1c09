// SPDX-License-Identifier: MIT
#include "results/HitExport.h"

#include "platform/TextUtil.h"

#include <cstdio>

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

std::string HitJsonObject(const CSearchHit& hit)
{
    return "{\"description\":" + JsonString(hit.m_strDescription) + ",\"url\":" + JsonString(hit.m_strUrl) +
           ",\"engine\":" + JsonString(hit.m_strEngine) + "}";
}

std::string HitJsonItem(const CSearchHit& hit, const std::vector<CFoundBy>* pFoundBy)
{
    std::string strObject = HitJsonObject(hit);
    if (pFoundBy) {
        strObject.pop_back(); // the closing brace
        strObject += ",\"found_by\":[";
        for (size_t j = 0; j < pFoundBy->size(); ++j) {
            const CFoundBy& one = (*pFoundBy)[j];
            strObject += (j ? ",{\"engine\":" : "{\"engine\":") + JsonString(one.m_strEngine) +
                         ",\"position\":" + std::to_string(one.m_nPosition) + "}";
        }
        strObject += "]}";
    }
    return strObject;
}

std::string FormatHitsJson(const std::vector<CSearchHit>& hits, const std::vector<std::vector<CFoundBy>>* pFoundBy)
{
    std::string out = "[";
    for (size_t i = 0; i < hits.size(); ++i) {
        out += i ? ",\n " : "\n ";
        out += HitJsonItem(hits[i], pFoundBy && i < pFoundBy->size() ? &(*pFoundBy)[i] : nullptr);
    }
    return out + (hits.empty() ? "]\n" : "\n]\n");
}

namespace {

void AppendCsvField(std::string& out, std::string_view field)
{
    std::string strText = ToValidUtf8(field);
    if (!strText.empty() && (strText[0] == '=' || strText[0] == '+' || strText[0] == '-' || strText[0] == '@' ||
                             strText[0] == '\t' || strText[0] == '\r'))
        strText.insert(0, 1, '\'');
    if (strText.find_first_of(",\"\r\n") == std::string::npos) {
        out += strText;
        return;
    }
    out += '"';
    for (const char c : strText) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string FormatHitsCsv(const std::vector<CSearchHit>& hits)
{
    std::string out = "Description,URL,Engine\r\n";
    for (const CSearchHit& hit : hits) {
        AppendCsvField(out, hit.m_strDescription);
        out += ',';
        AppendCsvField(out, hit.m_strUrl);
        out += ',';
        AppendCsvField(out, hit.m_strEngine);
        out += "\r\n";
    }
    return out;
}

std::string OneLineField(std::string_view field)
{
    std::string strText = ToValidUtf8(field);
    for (char& c : strText)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return strText;
}

std::string FormatHitsLines(const std::vector<CSearchHit>& hits)
{
    std::string out;
    for (const CSearchHit& hit : hits)
        out += OneLineField(hit.m_strDescription) + '\t' + OneLineField(hit.m_strUrl) + '\t' +
               OneLineField(hit.m_strEngine) + '\n';
    return out;
}
