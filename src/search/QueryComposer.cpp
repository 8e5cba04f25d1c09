// SPDX-License-Identifier: MIT
#include "search/QueryComposer.h"

#include "platform/TextUtil.h"
#include "search/TemplateFormat.h"
#include "platform/Translate.h"

#include <string_view>

const char* const kSearchOptionTexts[3] = {
    N_("Page contains all of the words in any order"),
    N_("Page contains at least one of the words"),
    N_("Page contains entire phrase"),
};

namespace {

std::string EncodeQueryCharacters(const std::string& strQuery)
{
    static constexpr std::string_view kReserved = "%&#+=?;";
    std::string out;
    out.reserve(strQuery.size());
    for (const char c : strQuery) {
        if (kReserved.find(c) != std::string_view::npos)
            AppendPercentEncoded(out, static_cast<unsigned char>(c));
        else
            out += c;
    }
    return out;
}

std::string BlanksToPlus(std::string text)
{
    for (char& c : text)
        if (c == ' ')
            c = '+';
    return text;
}

// URL + prefix + term + suffix, the term kept apart from the template text.
CTemplateText FirstPageTemplate(const CSearchEngine& engine, const std::string& strTerm)
{
    CTemplateText t(engine.m_strUrl + engine.m_strPrefix);
    t.AppendValue(strTerm);
    t.AppendLiteral(engine.m_strSuffix);
    return t;
}

} // namespace

std::string ComposeQueryTerm(const std::string& strQuery, int nSearchOption)
{
    switch (nSearchOption) {
    case kOptionAllWords:
        return BlanksToPlus(EncodeQueryCharacters(strQuery));
    case kOptionAnyWord:
        return EncodeQueryCharacters(strQuery);
    case kOptionPhrase:
        return "\"" + BlanksToPlus(EncodeQueryCharacters(strQuery)) + "\"";
    default:
        return {};
    }
}

std::string BuildFirstPageAddress(const CSearchEngine& engine, const std::string& strTerm,
                                  int nHitLimit)
{
    const CTemplateText t = FirstPageTemplate(engine, strTerm);
    switch (engine.m_nSearchType) {
    case MultiplePages:
    case PagesFromOne:
        return t.Format({CTemplateArg::Int(1)}).ToString();
    case ResultCount:
        return t.Format({CTemplateArg::Int(nHitLimit)}).ToString();
    case StartNumber:
    case PagesFromZero:
        return t.Format({CTemplateArg::Int(0)}).ToString();
    default:
        return t.ToString();
    }
}

std::string BuildNextPageAddress(const CSearchEngine& engine, const std::string& strTerm,
                                 int nCount, const std::string& strCurrentHost, int nPages)
{
    switch (engine.m_nSearchType) {
    case MultiplePages: {
        // Host + next-page command; a %s in the command takes the term in a first
        // pass (a %%d written for the second pass becomes %d), then the count.
        CTemplateText t;
        t.AppendValue(strCurrentHost).AppendLiteral(engine.m_strNextPage);
        if (engine.m_strNextPage.find("%s") != std::string::npos)
            t = t.Format({CTemplateArg::Text(strTerm)});
        return t.Format({CTemplateArg::Int(nCount)}).ToString();
    }
    case StartNumber:
        return FirstPageTemplate(engine, strTerm).Format({CTemplateArg::Int(nCount)}).ToString();
    case SinglePage:
        return FormatTemplate(engine.m_strUrl + engine.m_strNextPage,
                              {CTemplateArg::Text(strTerm), CTemplateArg::Int(nCount + 1)});
    case PagesFromOne:
    case PagesFromZero: {
        // The term goes in as a value: its own '%' are never read as directives.
        CTemplateText t(engine.m_strUrl);
        t.AppendLiteral(engine.m_strNextPage);
        const int nPage = engine.m_nSearchType == PagesFromOne ? nPages + 1 : nPages;
        if (engine.m_strNextPage.find("%s") != std::string::npos)
            t = t.Format({CTemplateArg::Text(strTerm)});
        return t.Format({CTemplateArg::Int(nPage)}).ToString();
    }
    default:
        return FirstPageTemplate(engine, strTerm).ToString();
    }
}
