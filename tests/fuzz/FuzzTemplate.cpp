// SPDX-License-Identifier: MIT
// The template formatter and the addresses built from engine texts: any engine
// texts and any query, and the query's own characters are never formatted.

#include "search/QueryComposer.h"
#include "search/TemplateFormat.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string input(reinterpret_cast<const char*>(pData), nSize);
    // Fields separated by NUL: URL, prefix, suffix, next page, query.
    std::vector<std::string> fields(5);
    size_t nField = 0;
    for (const char c : input) {
        if (c == '\0' && nField + 1 < fields.size())
            ++nField;
        else
            fields[nField] += c;
    }
    FormatTemplate(input, {CTemplateArg::Int(nSize), CTemplateArg::Text(fields[4]), CTemplateArg::Int(-1)});

    CSearchEngine engine;
    engine.m_strUrl = fields[0];
    engine.m_strPrefix = fields[1];
    engine.m_strSuffix = fields[2];
    engine.m_strNextPage = fields[3];
    const std::string strMarker = "\x01QUERY%d%s%%\x02";
    for (int nType = -1; nType <= 4; ++nType) {
        engine.m_nSearchType = nType;
        for (int nOption = 0; nOption < 3; ++nOption) {
            const std::string strTerm = ComposeQueryTerm(fields[4], nOption);
            BuildFirstPageAddress(engine, strTerm, 2048);
            BuildNextPageAddress(engine, strTerm, 10, "host");
        }
        // A term with directives in it comes out whole, whatever the templates hold.
        if (fields[0].find('\x01') == std::string::npos && fields[1].find('\x01') == std::string::npos &&
            fields[2].find('\x01') == std::string::npos &&
            BuildFirstPageAddress(engine, strMarker, 5).find(strMarker) == std::string::npos)
            __builtin_trap();
    }
    return 0;
}
