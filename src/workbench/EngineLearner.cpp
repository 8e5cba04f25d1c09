// SPDX-License-Identifier: MIT
#include "workbench/EngineLearner.h"

#include "workbench/PageLinks.h"

#include "platform/TextUtil.h"
#include "search/extract/HitExtraction.h"
#include "search/extract/HitLink.h"
#include "search/extract/HtmlText.h"
#include "search/QueryComposer.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <set>
#include <unordered_map>

namespace {

// ---------------------------------------------------------------------------
// The address

// Finds needle in text ignoring ASCII case; npos when absent.
size_t FindNoCase(std::string_view text, std::string_view needle)
{
    if (needle.empty() || needle.size() > text.size())
        return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, needle.size()), needle))
            return i;
    return std::string_view::npos;
}

// Every byte but the unreserved ones percent-encoded; blanks as given.
std::string PercentEncodeAll(std::string_view text, const char* pszBlank)
{
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ')
            out += pszBlank;
        else if (IsAsciiAlnum(c) || c == '-' ||
                 c == '_' || c == '.' || c == '~')
            out += c;
        else
            AppendPercentEncoded(out, u);
    }
    return out;
}

// The ways a browser may have written the query in the address, the program's own first.
std::vector<std::string> QueryForms(const std::string& strQuery)
{
    std::vector<std::string> forms;
    const std::string strTerm = ComposeQueryTerm(strQuery, kOptionAllWords);
    forms.push_back(strTerm);
    std::string strSpaced;
    for (const char c : strTerm)
        strSpaced += c == '+' ? std::string("%20") : std::string(1, c);
    forms.push_back(strSpaced);
    forms.push_back(PercentEncodeAll(strQuery, "+"));
    forms.push_back(PercentEncodeAll(strQuery, "%20"));
    forms.push_back(strQuery);
    return forms;
}

} // namespace

bool SplitAddressAroundQuery(const std::string& strAddress, const std::string& strQuery, CSearchEngine& engine)
{
    const std::string strAddressTrimmed = TrimWhiteSpace(strAddress);
    const size_t nSchemeEnd = strAddressTrimmed.find("://");
    const size_t nPathStart =
        nSchemeEnd == std::string::npos ? std::string::npos : strAddressTrimmed.find('/', nSchemeEnd + 3);
    if (nPathStart == std::string::npos)
        return false;
    auto split = [&](size_t nAt, size_t nLength) {
        const std::string strBefore = strAddressTrimmed.substr(0, nAt);
        size_t nSplit = strBefore.find('?');
        if (nSplit == std::string::npos)
            nSplit = strBefore.rfind('/');
        engine.m_strUrl = strBefore.substr(0, nSplit);
        engine.m_strPrefix = strBefore.substr(nSplit);
        engine.m_strSuffix = strAddressTrimmed.substr(nAt + nLength);
        const size_t nFragment = engine.m_strSuffix.find('#');
        if (nFragment != std::string::npos)
            engine.m_strSuffix.erase(nFragment);
        return true;
    };
    const std::string strTrimmedQuery = TrimWhiteSpace(strQuery);
    for (const std::string& strForm : QueryForms(strTrimmedQuery)) {
        const size_t nAt = FindNoCase(strAddressTrimmed, strForm);
        if (nAt != std::string::npos && nAt > nPathStart)
            return split(nAt, strForm.size());
    }
    // A parameter whose value, decoded, is the query (written as the browser
    // left it: "site:a.example/in", quotes, other scripts).
    const size_t nQuestion = strAddressTrimmed.find('?', nPathStart);
    if (nQuestion == std::string::npos || strTrimmedQuery.empty())
        return false;
    const std::string strWanted = ToLowerAscii(strTrimmedQuery);
    size_t i = nQuestion + 1;
    while (i < strAddressTrimmed.size()) {
        size_t nEnd = strAddressTrimmed.find_first_of("&#", i);
        if (nEnd == std::string::npos)
            nEnd = strAddressTrimmed.size();
        const size_t nEquals = strAddressTrimmed.find('=', i);
        if (nEquals != std::string::npos && nEquals < nEnd &&
            DecodeQueryValue(std::string_view(strAddressTrimmed).substr(nEquals + 1, nEnd - nEquals - 1)) == strWanted)
            return split(nEquals + 1, nEnd - nEquals - 1);
        if (strAddressTrimmed[nEnd == strAddressTrimmed.size() ? nEnd - 1 : nEnd] == '#')
            break;
        i = nEnd + 1;
    }
    return false;
}
