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
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t n = Utf8SequenceLength(text, i);
            if (n > 0) {
                out.append(text.substr(i, n));
                i += n;
            } else {
                // Latin-1: U+0080..U+00FF as two UTF-8 bytes.
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
                ++i;
            }
            continue;
        }
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
                out += static_cast<char>(c);
            }
        }
        ++i;
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

std::string FormatHitsJson(const std::vector<CSearchHit>& hits)
{
    std::string out = "[";
    for (size_t i = 0; i < hits.size(); ++i) {
        out += i ? ",\n " : "\n ";
        out += "{\"description\":" + JsonString(hits[i].m_strDescription) +
               ",\"url\":" + JsonString(hits[i].m_strUrl) +
               ",\"engine\":" + JsonString(hits[i].m_strEngine) + "}";
    }
    out += hits.empty() ? "]\n" : "\n]\n";
    return out;
}
